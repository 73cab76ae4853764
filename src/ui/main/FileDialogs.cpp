#include "ui/main/FileDialogs.h"

#include "ui/widgets/UiSeams.h"

#include "app/VillageDocument.h"
#include "app/VillageFiles.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

QStringList TFileDialogs::ChooseFilesToOpen()
{
    return UiSeams::ChooseFilesToOpen(m_Parent);
}

QString TFileDialogs::ChooseFileToSave(const QString &title, const QString &presetName)
{
    return UiSeams::ChooseFileToSave(m_Parent, title, presetName);
}

bool TFileDialogs::Ask(const QString &question)
{
    return UiSeams::Ask(m_Parent, question, UiSeams::TAnswer::No);
}

int TFileDialogs::Choose(const QString &question, const QStringList &answers, int defaultAnswer)
{
    return UiSeams::Choose(m_Parent, question, answers, defaultAnswer);
}

void FillRecentFilesMenu(QMenu &menu, TVillageFiles &files)
{
    menu.clear();
    const QStringList recent = files.RecentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        const QString file = recent.at(i);
        // The number is the item's key; an "&" in the path is shown as it is.
        QString number = QString::number(i + 1);
        number.insert(number.size() - 1, QLatin1Char('&'));
        const QString caption = number + QLatin1Char(' ')
            + QDir::toNativeSeparators(file).replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *item = menu.addAction(caption);
        item->setObjectName(QStringLiteral("mmiRecentFile%1").arg(i + 1));
        item->setData(file);
        QObject::connect(item, &QAction::triggered, &files, [&files, file] { files.OpenRecentFile(file); });
    }
    if (recent.isEmpty())
        menu.addAction(QStringLiteral("(нет)"))->setEnabled(false);
}

QStringList DroppedVillageFiles(const QMimeData &data)
{
    QStringList files;
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".vlgdat"), Qt::CaseInsensitive))
            files.append(url.toLocalFile());
    }
    return files;
}
