#include "SettingsSeam.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

const QString DialogFolderKey = QStringLiteral("Dialogs/LastFolder");

namespace {

qint64 &WriteCount()
{
    static qint64 count = 0;
    return count;
}

// The settings of the run. A change makes QSettings post itself an update
// request, once until it is written; the request is where the write is
// done and counted.
class TProgramSettings : public QSettings
{
public:
    using QSettings::QSettings;

    void Write()
    {
        sync();
        ++WriteCount();
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::UpdateRequest) {
            Write();
            return true;
        }
        return QSettings::event(event);
    }
};

QString &SettingsFile()
{
    static QString path;
    return path;
}

std::unique_ptr<TProgramSettings> &Settings()
{
    static std::unique_ptr<TProgramSettings> settings;
    return settings;
}

// Writes what is pending and lets the object go.
void CloseSettings()
{
    FlushSettings();
    Settings().reset();
}

} // namespace

QString SetSettingsFile(const QString &path)
{
    QString previous = SettingsFile();
    if (path != previous)
        CloseSettings();
    SettingsFile() = path;
    return previous;
}

QString CurrentSettingsFile()
{
    return SettingsFile();
}

QString UserSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/jorlivaron/JorLivaronMng.conf");
}

QSettings *OpenSettings()
{
    if (SettingsFile().isEmpty())
        return nullptr;
    if (!Settings()) {
        const QFileInfo info(SettingsFile());
        if (info.exists() && !info.isFile())
            return nullptr;
        Settings() = std::make_unique<TProgramSettings>(SettingsFile(), QSettings::IniFormat);
        // What is unwritten when the application ends is written then.
        static const bool closedAtExit = [] {
            qAddPostRoutine(CloseSettings);
            return true;
        }();
        (void)closedAtExit;
    }
    return Settings().get();
}

void StoreSetting(QSettings &settings, const QString &key, const QVariant &value)
{
    const QVariant stored = settings.value(key);
    if (stored.isValid()) {
        if (stored == value)
            return;
        // The file gives back texts: "true" for true, a one-item list as its item.
        if (value.typeId() == QMetaType::QStringList ? stored.toStringList() == value.toStringList()
                                                      : value.canConvert<QString>() && stored.typeId() == QMetaType::QString
                                                            && stored.toString() == value.toString())
            return;
    }
    settings.setValue(key, value);
}

bool FlushSettings()
{
    TProgramSettings *settings = Settings().get();
    if (settings == nullptr)
        return true;
    // The update request of the changes not written yet, if there are any.
    QCoreApplication::sendPostedEvents(settings, QEvent::UpdateRequest);
    return settings->status() == QSettings::NoError;
}

qint64 SettingsWriteCount()
{
    return WriteCount();
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
