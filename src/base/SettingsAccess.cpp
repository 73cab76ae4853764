// Whether the settings file can be used; see SettingsAccess.h.
#include "SettingsAccess.h"

#include "SettingsSeam.h"
#include "base/MessageSeam.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

bool &Reported()
{
    static bool reported = false;
    return reported;
}

} // namespace

QString SettingsProblem(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (info.exists() && info.isDir())
        return QStringLiteral("на месте файла «%1» папка").arg(shown);
    // Opened, a pipe would wait for a writer for ever.
    if (info.exists() && !info.isFile())
        return QStringLiteral("«%1» — не обычный файл").arg(shown);
    if (info.exists()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("файл «%1» не читается (%2)").arg(shown, file.errorString());
    }
    const QSettings settings(path, QSettings::IniFormat);
    if (settings.status() == QSettings::FormatError)
        return QStringLiteral("файл «%1» повреждён").arg(shown);
    if (settings.status() == QSettings::AccessError)
        return QStringLiteral("файл «%1» не читается").arg(shown);
    if (!settings.isWritable())
        return QStringLiteral("в «%1» нельзя записать").arg(shown);
    return {};
}

QString SettingsProblemMessage(const QString &problem)
{
    return QStringLiteral("Настройки недоступны: %1; сессия и настройки не сохранятся.").arg(problem);
}

bool ReportSettingsProblemOnce()
{
    if (Reported())
        return false;
    const QString problem = SettingsProblem(CurrentSettingsFile());
    if (problem.isEmpty())
        return false;
    Reported() = true;
    ShowMessage(TMessageKind::Warning, SettingsProblemMessage(problem));
    return true;
}

void ResetSettingsProblemReport()
{
    Reported() = false;
}
