// The lock and the remembered state of an open village file; see
// VillageFileGuard.h.
#include "VillageFileGuard.h"

#include "base/ProcessLocks.h"
#include "record/VillageFileAccess.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

TFileLook TFileLook::Now(const QString &path)
{
    TFileLook look;
#ifdef Q_OS_UNIX
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return look;
    constexpr qint64 Nano = 1000 * 1000 * 1000;
    look.Exists = true;
    look.Device = quint64(status.st_dev);
    look.Inode = quint64(status.st_ino);
    look.Size = qint64(status.st_size);
    look.Modified = qint64(status.st_mtim.tv_sec) * Nano + status.st_mtim.tv_nsec;
    look.Changed = qint64(status.st_ctim.tv_sec) * Nano + status.st_ctim.tv_nsec;
#else
    const QFileInfo info(path);
    look.Exists = info.exists();
    look.Size = info.size();
    look.Modified = info.lastModified().toMSecsSinceEpoch();
#endif
    return look;
}

namespace {

std::atomic<qint64> StampReads{0};

} // namespace

qint64 FileStampReadCount()
{
    return StampReads.load();
}

TFileStamp FileStampNow(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    ++StampReads;
    const TBoundedRead read = ReadBounded(path);
    // A file that cannot be read (or is no longer a village file) counts by
    // its reason, so that it differs from anything read before.
    return FileStampOf(read.Ok ? read.Data : read.Error.toUtf8());
}

TFileStamp FileStampOf(const QByteArray &bytes)
{
    return {true, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)};
}

QString TVillageFileGuard::LockPath(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".lock"));
}

TVillageFileGuard::TVillageFileGuard(const QString &path) : m_Path(path)
{
    if (path.isEmpty())
        return;
    m_Lock = std::make_unique<TLockFile>(LockPath(path));
    TryAgain();
}

TVillageFileGuard::~TVillageFileGuard() = default;

bool TVillageFileGuard::TryAgain()
{
    if (!m_Lock)
        return false;
    if (m_Lock->IsLocked())
        return true;
    // Only a holder that is gone makes a lock stale, also one whose
    // process id a later process took: a program may keep a village open
    // for days.
    const bool locked = m_Lock->TryLock();
    m_HeldElsewhere = !locked && m_Lock->Error() == QLockFile::LockFailedError;
    return locked;
}

void TVillageFileGuard::Remember()
{
    m_Remembered = FileStampNow(m_Path);
}

void TVillageFileGuard::Remember(const QByteArray &bytesRead)
{
    m_Remembered = FileStampOf(bytesRead);
}

bool TVillageFileGuard::ChangedOnDisk() const
{
    if (m_Path.isEmpty())
        return false;
    const TFileStamp now = FileStampNow(m_Path);
    return now.Exists && now != m_Remembered;
}
