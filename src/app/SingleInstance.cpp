// One running program per user; see SingleInstance.h.
//
// A start's message is a 32-bit length in network order followed by that
// many bytes: the files in UTF-8, each after the one before and a NUL (which
// no path holds); no bytes for no files. The running program answers
// one byte, '1', once it has the files, so that the later start ends only
// after its files are safe.
//
// The socket is the system's own (socket, bind, listen, accept), watched by
// the event loop; every connection is non-blocking and has a deadline.
#include "SingleInstance.h"

#include "base/ProcessLocks.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr char Confirmation = '1';
constexpr qsizetype LengthSize = 4;
// How long a later start waits between tries while the running program is
// still starting.
constexpr int RetryPauseMs = 50;
// How long accepting rests after the system ran out of descriptors.
constexpr int AcceptPauseMs = 200;

QByteArray Message(const QStringList &files)
{
    const QByteArray payload = files.join(QChar(u'\0')).toUtf8();
    QByteArray message(LengthSize, '\0');
    qToBigEndian(quint32(payload.size()), message.data());
    return message + payload;
}

int Remaining(const QDeadlineTimer &deadline)
{
    return int(std::max<qint64>(deadline.remainingTime(), 0));
}

// The socket's address; false when the path does not fit in it.
bool SocketAddress(const QString &path, sockaddr_un &address)
{
    const QByteArray name = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

// Whether the other end of a connected local socket runs as this user.
bool PeerIsThisUser(int fd)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::geteuid();
}

// Waits until fd is ready for events or the deadline passes.
bool WaitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, Remaining(deadline));
        if (ready > 0)
            return (entry.revents & events) != 0;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

struct TSingleInstance::TConnection
{
    QByteArray Received;
    QSocketNotifier *Notifier = nullptr;
    QTimer *Deadline = nullptr;
};

QDebug operator<<(QDebug debug, TInstanceRole role)
{
    QDebugStateSaver saver(debug);
    switch (role) {
    case TInstanceRole::Primary:
        return debug.nospace() << "Primary";
    case TInstanceRole::Forwarded:
        return debug.nospace() << "Forwarded";
    case TInstanceRole::Failed:
        return debug.nospace() << "Failed";
    case TInstanceRole::Alone:
        return debug.nospace() << "Alone";
    }
    return debug;
}

TSingleInstance::TSingleInstance(const QString &folder, QObject *parent)
    : QObject(parent), m_Folder(folder)
{
}

TSingleInstance::~TSingleInstance()
{
    while (!m_Connections.empty())
        Close(m_Connections.begin()->first);
    // The socket goes before the lock, so that a start that takes the lock
    // next finds no socket of this program.
    if (m_ListenFd >= 0) {
        delete m_ListenNotifier;
        ::close(m_ListenFd);
        ::unlink(QFile::encodeName(SocketPath(m_Folder)).constData());
    }
}

QString TSingleInstance::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString TSingleInstance::FolderRefusal(const QString &folder)
{
    if (folder.isEmpty())
        return QStringLiteral("нет личной папки для сокета программы (XDG_RUNTIME_DIR не задана)");
    const QString shown = QDir::toNativeSeparators(folder);
    struct stat status {};
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return QStringLiteral("«%1» — не папка").arg(shown);
    if (status.st_uid != ::geteuid())
        return QStringLiteral("папка «%1» принадлежит другому пользователю").arg(shown);
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QStringLiteral("папка «%1» открыта другим пользователям").arg(shown);
    return {};
}

QString TSingleInstance::LockPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("JorLivaronMng.lock"));
}

QString TSingleInstance::SocketPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("JorLivaronMng.socket"));
}

QStringList TSingleInstance::FilesOf(const QByteArray &payload)
{
    QStringList files;
    qsizetype start = 0;
    while (start < payload.size() && files.size() < MaxFilesPerMessage) {
        qsizetype end = payload.indexOf('\0', start);
        if (end < 0)
            end = payload.size();
        if (end > start)
            files.append(QString::fromUtf8(payload.constData() + start, end - start));
        start = end + 1;
    }
    return files;
}

QStringList TSingleInstance::MissingFiles(const QStringList &files)
{
    QStringList missing;
    for (const QString &file : files) {
        if (!QFileInfo::exists(file))
            missing.append(file);
    }
    return missing;
}

QString TSingleInstance::MissingFilesMessage(const QStringList &files)
{
    QStringList lines{QStringLiteral("Файлы не найдены:")};
    for (const QString &file : files.first(std::min<qsizetype>(files.size(), MaxNamedMissing)))
        lines.append(QDir::toNativeSeparators(file));
    if (files.size() > MaxNamedMissing)
        lines.append(QStringLiteral("и ещё %1").arg(files.size() - MaxNamedMissing));
    return lines.join(QStringLiteral("\r\n"));
}

TInstanceRole TSingleInstance::Start(const QStringList &files, int timeoutMs)
{
    m_Error.clear();
    const auto alone = [this](const QString &reason) {
        m_Error = QStringLiteral("Программа работает без передачи файлов от следующих запусков: %1.").arg(reason);
        return TInstanceRole::Alone;
    };
    // A folder of this user's is made private to the user.
    if (!m_Folder.isEmpty() && !QFileInfo::exists(m_Folder)) {
        if (!QDir().mkpath(m_Folder)) {
            m_Error = QStringLiteral("Не удалось создать папку «%1».").arg(QDir::toNativeSeparators(m_Folder));
            return TInstanceRole::Failed;
        }
        ::chmod(QFile::encodeName(m_Folder).constData(), S_IRWXU);
    }
    if (const QString refusal = FolderRefusal(m_Folder); !refusal.isEmpty())
        return alone(refusal);
    sockaddr_un address{};
    if (!SocketAddress(SocketPath(m_Folder), address))
        return alone(QStringLiteral("путь к сокету слишком длинный"));

    m_Lock = std::make_unique<QLockFile>(LockPath(m_Folder));
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        // A lock is stale only when the program that holds it is gone
        // (also under an id a later process took), however long it has run.
        if (TryLockOnce(*m_Lock)) {
            if (Listen())
                return TInstanceRole::Primary;
            return TInstanceRole::Failed;
        }
        if (m_Lock->error() != QLockFile::LockFailedError) {
            m_Error = QStringLiteral("Не удалось создать файл «%1».")
                          .arg(QDir::toNativeSeparators(LockPath(m_Folder)));
            return TInstanceRole::Failed;
        }
        // Another program holds the lock; it listens once it has started.
        if (Forward(SocketPath(m_Folder), files, std::min(Remaining(deadline), 1000)))
            return TInstanceRole::Forwarded;
        if (deadline.hasExpired())
            break;
        QThread::msleep(RetryPauseMs);
    }
    m_Error = QStringLiteral("Программа уже запущена, но не отвечает.");
    return TInstanceRole::Failed;
}

bool TSingleInstance::Listen()
{
    const QString path = SocketPath(m_Folder);
    sockaddr_un address{};
    SocketAddress(path, address);
    const auto failed = [this, &path](int error) {
        m_Error = QStringLiteral("Не удалось открыть сокет «%1»: %2")
                      .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)));
        if (m_ListenFd >= 0)
            ::close(m_ListenFd);
        m_ListenFd = -1;
        return false;
    };
    // Left by a program that ended without closing it; the lock says that
    // no live program listens there.
    ::unlink(address.sun_path);
    m_ListenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_ListenFd < 0)
        return failed(errno);
    if (::bind(m_ListenFd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return failed(errno);
    ::chmod(address.sun_path, S_IRUSR | S_IWUSR);
    if (::listen(m_ListenFd, SOMAXCONN) != 0)
        return failed(errno);
    m_ListenNotifier = new QSocketNotifier(qintptr(m_ListenFd), QSocketNotifier::Read, this);
    connect(m_ListenNotifier, &QSocketNotifier::activated, this, &TSingleInstance::Accept);
    return true;
}

void TSingleInstance::Accept()
{
    for (;;) {
        const int fd = ::accept4(m_ListenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: the socket stays, and accepting
                // starts again after a pause instead of spinning.
                m_ListenNotifier->setEnabled(false);
                QTimer::singleShot(AcceptPauseMs, this, [this] { m_ListenNotifier->setEnabled(true); });
            }
            return;
        }
        if (!PeerIsThisUser(fd) || m_Connections.size() >= size_t(MaxConnections)) {
            ::close(fd);
            continue;
        }
        auto connection = std::make_unique<TConnection>();
        connection->Notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
        connect(connection->Notifier, &QSocketNotifier::activated, this, [this, fd] { ReadFrom(fd); });
        connection->Deadline = new QTimer(this);
        connection->Deadline->setSingleShot(true);
        connect(connection->Deadline, &QTimer::timeout, this, [this, fd] { Close(fd); });
        connection->Deadline->start(ConnectionTimeoutMs);
        m_Connections[fd] = std::move(connection);
        ReadFrom(fd);
    }
}

void TSingleInstance::ReadFrom(int fd)
{
    const auto found = m_Connections.find(fd);
    if (found == m_Connections.end())
        return;
    TConnection &connection = *found->second;
    char buffer[16384];
    for (;;) {
        const ssize_t size = ::read(fd, buffer, sizeof buffer);
        if (size > 0) {
            connection.Received.append(buffer, qsizetype(size));
            if (connection.Received.size() > LengthSize + MaxMessageSize)
                return Close(fd);
            continue;
        }
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // The other end went, or failed, before its whole message.
        return Close(fd);
    }
    if (connection.Received.size() < LengthSize)
        return;
    const quint32 length = qFromBigEndian<quint32>(connection.Received.constData());
    if (length > MaxMessageSize)
        return Close(fd);
    if (connection.Received.size() < LengthSize + qsizetype(length))
        return;
    const QStringList files = FilesOf(connection.Received.mid(LengthSize, length));
    (void)::send(fd, &Confirmation, 1, MSG_NOSIGNAL);
    Close(fd);
    // The files are opened after this handler, which may show message boxes.
    QMetaObject::invokeMethod(this, [this, files] { emit FilesReceived(files); }, Qt::QueuedConnection);
}

void TSingleInstance::Close(int fd)
{
    const auto found = m_Connections.find(fd);
    if (found == m_Connections.end())
        return;
    // Deleted later: the notifier or the timer may be the caller.
    found->second->Notifier->setEnabled(false);
    found->second->Notifier->deleteLater();
    found->second->Deadline->stop();
    found->second->Deadline->deleteLater();
    m_Connections.erase(found);
    ::close(fd);
}

bool TSingleInstance::Forward(const QString &socketPath, const QStringList &files, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    sockaddr_un address{};
    if (!SocketAddress(socketPath, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const auto done = [fd](bool result) {
        ::close(fd);
        return result;
    };
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN)
            return done(false);
        int error = 0;
        socklen_t size = sizeof error;
        if (!WaitFor(fd, POLLOUT, deadline) || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
            return done(false);
    }
    // A socket someone else planted gets no path of this user's.
    if (!PeerIsThisUser(fd))
        return done(false);
    const QByteArray message = Message(files);
    qsizetype sent = 0;
    while (sent < message.size()) {
        const ssize_t size = ::send(fd, message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
        if (size > 0) {
            sent += size;
        } else if (size < 0 && errno == EINTR) {
            continue;
        } else if (size < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, deadline))
                return done(false);
        } else {
            return done(false);
        }
    }
    for (;;) {
        if (!WaitFor(fd, POLLIN, deadline))
            return done(false);
        char answer = 0;
        const ssize_t size = ::read(fd, &answer, 1);
        if (size < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        return done(size == 1 && answer == Confirmation);
    }
}
