// One running program per user. The first start takes a lock in the user's
// runtime folder and listens on a local socket beside it; a later start finds
// the lock taken and hands its command-line files (none: "show yourself") to
// the running program through the socket, then ends. A lock left by a program
// that died is taken over and its socket removed, so the next start runs.
//
// The socket is a plain local socket of the system (no Qt Network: the
// start-up does not load it). What arrives is not trusted: only a folder of
// this user's that no one else may enter (mode 0700) holds the lock and
// the socket, and only a peer of this user is heard; empty names are
// dropped, at most MaxFilesPerMessage names are taken from one message, and
// a connection that has not sent its message within ConnectionTimeoutMs is
// closed. Without such a folder the program runs without the hand-over
// (Alone) and says so.
//
// main uses it before the catalog is read; tests drive it with folders of
// their own. Links Qt Core only.
#pragma once

#include <QDebug>
#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class QLockFile;
class QSocketNotifier;
class QTimer;

// What a start is to do.
enum class TInstanceRole {
    Primary,   // this start runs the program and receives later starts' files
    Forwarded, // a running program took the files; this start ends with 0
    Failed,    // neither: Error says why
    Alone      // no private folder: this start runs without the hand-over; Error says why
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

    // The user's runtime folder ($XDG_RUNTIME_DIR, or the one Qt makes for
    // the user); never the shared temporary folder. Empty where there is
    // none.
    static QString DefaultFolder();
    // Why folder may not hold the lock and the socket: not a folder (a
    // link counts as none), not this user's, or open to others. Empty when
    // it may.
    static QString FolderRefusal(const QString &folder);
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
    // The most names taken from one message; the rest are dropped.
    static constexpr int MaxFilesPerMessage = 200;
    // A connection that has not sent its whole message by then is closed.
    static constexpr int ConnectionTimeoutMs = 3000;
    // The most connections served at once; more are closed at once.
    static constexpr int MaxConnections = 64;

    // The files of one hand-over that are not there (none of them gets a
    // tab; all are named in one box), in their order.
    static QStringList MissingFiles(const QStringList &files);
    // "Файлы не найдены:" and the files, one to a line; the first
    // MaxNamedMissing, then "и ещё N".
    static QString MissingFilesMessage(const QStringList &files);
    static constexpr int MaxNamedMissing = 10;

    // The names a message's payload carries: split at NULs, empty names
    // dropped, at most MaxFilesPerMessage.
    static QStringList FilesOf(const QByteArray &payload);

signals:
    // A later start's files (absolute paths), empty when it only asks the
    // program to show itself.
    void FilesReceived(const QStringList &files);

private:
    struct TConnection;

    bool Listen();
    void Accept();
    void ReadFrom(int fd);
    void Close(int fd);

    QString m_Folder;
    QString m_Error;
    std::unique_ptr<QLockFile> m_Lock;
    int m_ListenFd = -1;
    QSocketNotifier *m_ListenNotifier = nullptr;
    std::map<int, std::unique_ptr<TConnection>> m_Connections;
};
