#include "SettingsSeam.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

const QString DialogFolderKey = QStringLiteral("Dialogs/LastFolder");

namespace {

QString &SettingsFile()
{
    static QString path;
    return path;
}

} // namespace

QString SetSettingsFile(const QString &path)
{
    QString previous = SettingsFile();
    SettingsFile() = path;
    return previous;
}

QString UserSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/jorlivaron/JorLivaronMng.conf");
}

std::unique_ptr<QSettings> OpenSettings()
{
    if (SettingsFile().isEmpty())
        return nullptr;
    return std::make_unique<QSettings>(SettingsFile(), QSettings::IniFormat);
}

QString DialogStartFolder(const QString &remembered)
{
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}
