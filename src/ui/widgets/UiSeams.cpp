#include "ui/widgets/UiSeams.h"

#include "base/MessageSeam.h"
#include "base/SettingsSeam.h"
#include "record/VillageFile.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <memory>

namespace UiSeams {

namespace {

const QString FileFilters = QStringLiteral("Данные Ливарон (*.vlgdat);;Все файлы (*)");

// Where the file dialogs start: the folder of the last file chosen in one of
// them, remembered between runs; the first time, the user's documents folder.
QString &RememberedFolder()
{
    static QString folder = [] {
        const auto settings = OpenSettings();
        return settings ? settings->value(DialogFolderKey).toString() : QString();
    }();
    return folder;
}

QString DialogFolder()
{
    return DialogStartFolder(RememberedFolder());
}

void RememberFolder(const QString &file)
{
    RememberedFolder() = QFileInfo(file).absolutePath();
    if (const auto settings = OpenSettings())
        StoreSetting(*settings, DialogFolderKey, RememberedFolder());
}

bool AskWithMessageBox(QWidget *parent, const QString &question, TAnswer defaultAnswer)
{
    const QString title = parent && !parent->window()->windowTitle().isEmpty()
        ? parent->window()->windowTitle()
        : QGuiApplication::applicationDisplayName();
    QMessageBox box(QMessageBox::Question, title, question, QMessageBox::NoButton, parent);
    // The title as the window shows it, with the "*" of unwritten edits.
    box.setWindowModified(parent && parent->window()->isWindowModified());
    QPushButton *yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(defaultAnswer == TAnswer::Yes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

int ChooseWithMessageBox(QWidget *parent, const QString &question, const QStringList &answers, int defaultAnswer)
{
    const QString title = parent && !parent->window()->windowTitle().isEmpty()
        ? parent->window()->windowTitle()
        : QGuiApplication::applicationDisplayName();
    QMessageBox box(QMessageBox::Question, title, question, QMessageBox::NoButton, parent);
    // The title as the window shows it, with the "*" of unwritten edits.
    box.setWindowModified(parent && parent->window()->isWindowModified());
    QList<QPushButton *> buttons;
    for (const QString &answer : answers)
        buttons.append(box.addButton(answer, QMessageBox::AcceptRole));
    if (defaultAnswer < 0 || defaultAnswer >= buttons.size())
        return defaultAnswer;
    box.setDefaultButton(buttons.at(defaultAnswer));
    box.setEscapeButton(buttons.at(defaultAnswer));
    box.exec();
    const auto chosen = buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    return chosen >= 0 ? int(chosen) : defaultAnswer;
}

QStringList OpenWithFileDialog(QWidget *parent)
{
    QFileDialog dialog(parent, QStringLiteral("Открыть"), DialogFolder(), FileFilters);
    dialog.setObjectName(QStringLiteral("dlgOpen"));
    // Qt's own dialog speaks the program's Russian; a native one would speak
    // the system's language.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    RememberFolder(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles();
}

QString SaveWithFileDialog(QWidget *parent, const QString &title, const QString &presetName)
{
    QFileDialog dialog(parent, title, DialogFolder(), FileFilters);
    dialog.setObjectName(QStringLiteral("dlgSave"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("vlgdat"));
    if (!presetName.isEmpty())
        dialog.selectFile(presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().constFirst();
    // While village files are listed, a name gets their extension even when
    // it holds a dot of its own; the dialog asked about overwriting the name
    // as typed, so a file that the extension leads to is asked about here.
    if (dialog.selectedNameFilter() == FileFilters.section(QStringLiteral(";;"), 0, 0)) {
        const QString withExtension = WithVillageFileExtension(path);
        if (withExtension != path && QFileInfo::exists(withExtension)
            && !Ask(parent, QStringLiteral("Файл «%1» уже существует. Заменить его?")
                                .arg(QDir::toNativeSeparators(withExtension)),
                    TAnswer::Yes))
            return {};
        path = withExtension;
    }
    RememberFolder(path);
    return path;
}

QString ExportWithFileDialog(QWidget *parent, const QString &presetName)
{
    QFileDialog dialog(parent, QStringLiteral("Экспорт в CSV"), DialogFolder(),
                       QStringLiteral("Таблицы CSV (*.csv);;Все файлы (*)"));
    dialog.setObjectName(QStringLiteral("dlgExport"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (!presetName.isEmpty())
        dialog.selectFile(presetName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    RememberFolder(path);
    return path;
}

TExportHandler &ExportHandler()
{
    static TExportHandler handler = ExportWithFileDialog;
    return handler;
}

TBeepHandler &BeepHandler()
{
    static TBeepHandler handler = [] { QApplication::beep(); };
    return handler;
}

TAskHandler &AskHandler()
{
    static TAskHandler handler = AskWithMessageBox;
    return handler;
}

TChooseHandler &ChooseHandler()
{
    static TChooseHandler handler = ChooseWithMessageBox;
    return handler;
}

TOpenHandler &OpenHandler()
{
    static TOpenHandler handler = OpenWithFileDialog;
    return handler;
}

TSaveHandler &SaveHandler()
{
    static TSaveHandler handler = SaveWithFileDialog;
    return handler;
}

} // namespace

void InstallMessageBoxes()
{
    SetMessageHandler([](TMessageKind kind, const QString &text) {
        const bool error = kind == TMessageKind::Error;
        QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Warning,
                        error ? QStringLiteral("Error") : QStringLiteral("Warning"), text,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}

TAskHandler SetAskHandler(TAskHandler handler)
{
    TAskHandler previous = std::move(AskHandler());
    AskHandler() = handler ? std::move(handler) : TAskHandler(AskWithMessageBox);
    return previous;
}

bool Ask(QWidget *parent, const QString &question, TAnswer defaultAnswer)
{
    return AskHandler()(parent, question, defaultAnswer);
}

TChooseHandler SetChooseHandler(TChooseHandler handler)
{
    TChooseHandler previous = std::move(ChooseHandler());
    ChooseHandler() = handler ? std::move(handler) : TChooseHandler(ChooseWithMessageBox);
    return previous;
}

int Choose(QWidget *parent, const QString &question, const QStringList &answers, int defaultAnswer)
{
    return ChooseHandler()(parent, question, answers, defaultAnswer);
}

void InstallScriptedAnswers(const QString &answers)
{
    auto remaining = std::make_shared<QStringList>(answers.split(QLatin1Char('|'), Qt::SkipEmptyParts));
    const auto line = [](const QString &kind, const QString &text) {
        std::fputs((kind + QStringLiteral(": ") + QString(text).replace(u'\r', u' ').replace(u'\n', u' ') + u'\n')
                       .toUtf8()
                       .constData(),
                   stderr);
        std::fflush(stderr);
    };
    const auto next = [remaining] { return remaining->isEmpty() ? QString() : remaining->takeFirst(); };
    SetMessageHandler([line](TMessageKind, const QString &text) { line(QStringLiteral("message"), text); });
    SetAskHandler([line, next](QWidget *, const QString &question, TAnswer defaultAnswer) {
        line(QStringLiteral("question"), question);
        const QString answer = next();
        return answer.isEmpty() ? defaultAnswer == TAnswer::Yes : answer == QStringLiteral("Да");
    });
    SetSaveHandler([line](QWidget *, const QString &title, const QString &) {
        line(QStringLiteral("save"), title);
        return QString();
    });
    SetChooseHandler([line, next](QWidget *, const QString &question, const QStringList &choices, int defaultAnswer) {
        line(QStringLiteral("question"), question);
        const auto chosen = choices.indexOf(next());
        return chosen >= 0 ? int(chosen) : defaultAnswer;
    });
}

TOpenHandler SetOpenHandler(TOpenHandler handler)
{
    TOpenHandler previous = std::move(OpenHandler());
    OpenHandler() = handler ? std::move(handler) : TOpenHandler(OpenWithFileDialog);
    return previous;
}

QStringList ChooseFilesToOpen(QWidget *parent)
{
    return OpenHandler()(parent);
}

TSaveHandler SetSaveHandler(TSaveHandler handler)
{
    TSaveHandler previous = std::move(SaveHandler());
    SaveHandler() = handler ? std::move(handler) : TSaveHandler(SaveWithFileDialog);
    return previous;
}

QString ChooseFileToSave(QWidget *parent, const QString &title, const QString &presetName)
{
    return SaveHandler()(parent, title, presetName);
}

TExportHandler SetExportHandler(TExportHandler handler)
{
    TExportHandler previous = std::move(ExportHandler());
    ExportHandler() = handler ? std::move(handler) : TExportHandler(ExportWithFileDialog);
    return previous;
}

QString ChooseExportFile(QWidget *parent, const QString &presetName)
{
    return ExportHandler()(parent, presetName);
}

TBeepHandler SetBeepHandler(TBeepHandler handler)
{
    TBeepHandler previous = std::move(BeepHandler());
    BeepHandler() = handler ? std::move(handler) : TBeepHandler([] { QApplication::beep(); });
    return previous;
}

void Beep()
{
    BeepHandler()();
}

} // namespace UiSeams
