// Lock files and run keys; see ProcessLocks.h.
#include "ProcessLocks.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <optional>

namespace {

#ifdef Q_OS_LINUX
// The moment the process of this id started, in seconds since the epoch;
// none when no such process runs or /proc cannot tell.
std::optional<qint64> ProcessStart(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.read(4096);
    // The program's name (in brackets) may hold blanks: the fields are
    // counted after its closing bracket, where the third field begins.
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    constexpr int StartTimeField = 22 - 3;
    if (fields.size() <= StartTimeField)
        return std::nullopt;
    bool ok = false;
    const qint64 ticks = fields.at(StartTimeField).toLongLong(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (!ok || ticksPerSecond <= 0)
        return std::nullopt;

    QFile system(QStringLiteral("/proc/stat"));
    if (!system.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (;;) {
        const QByteArray systemLine = system.readLine(4096);
        if (systemLine.isEmpty())
            return std::nullopt;
        if (systemLine.startsWith("btime ")) {
            const qint64 boot = systemLine.mid(6).trimmed().toLongLong(&ok);
            if (!ok)
                return std::nullopt;
            return boot + ticks / ticksPerSecond;
        }
    }
}
#endif

} // namespace

bool HolderIdReused(const QString &lockPath)
{
#ifdef Q_OS_LINUX
    qint64 pid = 0;
    QString host;
    QString program;
    if (!QLockFile(lockPath).getLockInfo(&pid, &host, &program) || pid <= 0)
        return false;
    // A program on another machine sharing the folder is not looked at.
    if (host != QSysInfo::machineHostName())
        return false;
    const std::optional<qint64> start = ProcessStart(pid);
    const QDateTime written = QFileInfo(lockPath).lastModified();
    if (!start || !written.isValid())
        return false;
    // The boot moment is known to the second: a process that started in
    // the second the lock was written, or the next, may be its writer.
    return *start > written.toSecsSinceEpoch() + 1;
#else
    Q_UNUSED(lockPath);
    return false;
#endif
}

bool TryLockOnce(QLockFile &lock)
{
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError || !HolderIdReused(lock.fileName()))
        return false;
    lock.removeStaleLockFile();
    return lock.tryLock(0);
}

QString UniqueRunKey()
{
    return QString::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, u'0');
}

TLockFile::TLockFile(const QString &path) : m_Path(path)
{
}

TLockFile::~TLockFile()
{
    Unlock();
}

QByteArray TLockFile::Content()
{
    // Process id, the program's file name, the machine's name, its id and
    // the boot's id, one a line, as QLockFile writes them.
    QByteArray program;
#ifdef Q_OS_LINUX
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0) {
        program = QByteArray(target, length);
        if (program.endsWith(" (deleted)"))
            program.chop(10);
        program = QFile::encodeName(QFileInfo(QFile::decodeName(program)).fileName());
    }
#endif
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' + program + '\n'
        + QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n'
        + QSysInfo::bootUniqueId() + '\n';
}

bool TLockFile::TryLock()
{
    if (IsLocked())
        return true;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(m_Path);
    const int handle = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle >= 0) {
        // QLockFile's advisory lock too, for programs that look for it.
        ::flock(handle, LOCK_EX | LOCK_NB);
        const QByteArray content = Content();
        qsizetype written = 0;
        while (written < content.size()) {
            const ssize_t step = ::write(handle, content.constData() + written, size_t(content.size() - written));
            if (step < 0 && errno == EINTR)
                continue;
            if (step <= 0)
                break;
            written += step;
        }
        if (written == content.size()) {
            m_Handle = handle;
            m_Error = QLockFile::NoError;
            return true;
        }
        ::close(handle);
        ::unlink(name.constData());
        m_Error = QLockFile::UnknownError;
        return false;
    }
    if (errno != EEXIST) {
        m_Error = errno == EACCES || errno == EROFS || errno == EPERM ? QLockFile::PermissionError
                                                                       : QLockFile::UnknownError;
        return false;
    }
#endif
    auto lock = std::make_unique<QLockFile>(m_Path);
    if (TryLockOnce(*lock)) {
        m_TakenOver = std::move(lock);
        m_Error = QLockFile::NoError;
        return true;
    }
    m_Error = lock->error();
    return false;
}

bool TLockFile::IsLocked() const
{
    return m_Handle >= 0 || (m_TakenOver && m_TakenOver->isLocked());
}

void TLockFile::Unlock()
{
#ifdef Q_OS_UNIX
    if (m_Handle >= 0) {
        ::close(m_Handle);
        m_Handle = -1;
        ::unlink(QFile::encodeName(m_Path).constData());
    }
#endif
    m_TakenOver.reset();
}
