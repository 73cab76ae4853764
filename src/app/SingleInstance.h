// One running program per user. The first start takes a lock in the user's
// runtime folder and listens on a local socket beside it; a later start finds
// the lock taken and hands its command-line files (none: "show yourself") to
// the running program through the socket, then ends. A lock left by a program
// that died is taken over and its socket removed, so the next start runs.
//
// main uses it before the catalog is read; tests drive it with folders of
// their own. Links Qt Core and Qt Network only.
#pragma once

#include <QDebug>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// What a start is to do.
enum class TInstanceRole {
    Primary,   // this start runs the program and receives later starts' files
    Forwarded, // a running program took the files; this start ends with 0
    Failed     // neither: Error says why
};

QDebug operator<<(QDebug debug, TInstanceRole role);

class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    // folder: where the lock and the socket live (the user's runtime folder
    // by default, see DefaultFolder).
    explicit TSingleInstance(const QString &folder = DefaultFolder(), QObject *parent = nullptr);
    ~TSingleInstance() override;

    // The user's runtime folder ($XDG_RUNTIME_DIR); the temporary folder
    // where there is none.
    static QString DefaultFolder();
    // The lock file and the socket's full name in folder.
    static QString LockPath(const QString &folder);
    static QString SocketPath(const QString &folder);

    // Becomes the running program (listening, a stale socket removed) or
    // hands files to the running one, waiting at most timeoutMs for it to
    // take them.
    TInstanceRole Start(const QStringList &files, int timeoutMs = 5000);
    // Why Start failed, in the program's words.
    QString Error() const { return m_Error; }

    // Hands files to the program listening at socketPath; true when it
    // confirmed them within timeoutMs.
    static bool Forward(const QString &socketPath, const QStringList &files, int timeoutMs);

    // A message longer than this is no start's command line and is dropped.
    static constexpr qint64 MaxMessageSize = 1024 * 1024;

signals:
    // A later start's files (absolute paths), empty when it only asks the
    // program to show itself.
    void FilesReceived(const QStringList &files);

private:
    bool Listen();
    void ServerNewConnection();
    void SocketReadyRead(QLocalSocket *socket);

    QString m_Folder;
    QString m_Error;
    std::unique_ptr<QLockFile> m_Lock;
    QLocalServer *m_Server = nullptr;
};
