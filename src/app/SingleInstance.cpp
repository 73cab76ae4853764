// One running program per user; see SingleInstance.h.
//
// A start's message is a 32-bit length in network order followed by that
// many bytes: the files in UTF-8, each after the one before and a NUL (which
// no path holds); no bytes for no files. The running program answers
// one byte, '1', once it has the files, so that the later start ends only
// after its files are safe.
#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>

namespace {

constexpr char Confirmation = '1';
constexpr qsizetype LengthSize = 4;
// How long a later start waits between tries while the running program is
// still starting.
constexpr int RetryPauseMs = 50;

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

} // namespace

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
    }
    return debug;
}

TSingleInstance::TSingleInstance(const QString &folder, QObject *parent)
    : QObject(parent), m_Folder(folder)
{
}

TSingleInstance::~TSingleInstance()
{
    // The socket goes before the lock, so that a start that takes the lock
    // next finds no socket of this program.
    if (m_Server)
        m_Server->close();
}

QString TSingleInstance::DefaultFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString TSingleInstance::LockPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("JorLivaronMng.lock"));
}

QString TSingleInstance::SocketPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("JorLivaronMng.socket"));
}

TInstanceRole TSingleInstance::Start(const QStringList &files, int timeoutMs)
{
    m_Error.clear();
    if (!QDir().mkpath(m_Folder)) {
        m_Error = QStringLiteral("Не удалось создать папку «%1».").arg(QDir::toNativeSeparators(m_Folder));
        return TInstanceRole::Failed;
    }
    m_Lock = std::make_unique<QLockFile>(LockPath(m_Folder));
    // A lock is stale only when the program that holds it is gone, however
    // long it has run.
    m_Lock->setStaleLockTime(0);

    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (m_Lock->tryLock(0)) {
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
    // Left by a program that ended without closing it; the lock says that
    // no live program listens there.
    QLocalServer::removeServer(path);
    m_Server = new QLocalServer(this);
    m_Server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_Server->listen(path)) {
        m_Error = QStringLiteral("Не удалось открыть сокет «%1»: %2")
                      .arg(QDir::toNativeSeparators(path), m_Server->errorString());
        return false;
    }
    connect(m_Server, &QLocalServer::newConnection, this, &TSingleInstance::ServerNewConnection);
    return true;
}

void TSingleInstance::ServerNewConnection()
{
    while (QLocalSocket *socket = m_Server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { SocketReadyRead(socket); });
        if (socket->bytesAvailable() > 0)
            SocketReadyRead(socket);
    }
}

void TSingleInstance::SocketReadyRead(QLocalSocket *socket)
{
    if (socket->bytesAvailable() < LengthSize)
        return;
    QByteArray length(LengthSize, '\0');
    socket->peek(length.data(), LengthSize);
    const quint32 size = qFromBigEndian<quint32>(length.constData());
    if (size > MaxMessageSize) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < LengthSize + qint64(size))
        return;
    socket->skip(LengthSize);
    const QByteArray payload = socket->read(size);
    const QStringList files =
        payload.isEmpty() ? QStringList() : QString::fromUtf8(payload).split(QChar(u'\0'));
    socket->write(&Confirmation, 1);
    socket->flush();
    // The files are opened after this handler, which may show message boxes.
    QMetaObject::invokeMethod(this, [this, files] { emit FilesReceived(files); }, Qt::QueuedConnection);
}

bool TSingleInstance::Forward(const QString &socketPath, const QStringList &files, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(Remaining(deadline)))
        return false;
    const QByteArray message = Message(files);
    if (socket.write(message) != message.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(Remaining(deadline)))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(Remaining(deadline)))
            return false;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == Confirmation;
}
