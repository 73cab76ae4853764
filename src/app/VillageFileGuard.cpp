// The lock and the remembered state of an open village file; see
// VillageFileGuard.h.
#include "VillageFileGuard.h"

#include "record/VillageFileAccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

TFileStamp FileStampNow(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
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
    m_Lock = std::make_unique<QLockFile>(LockPath(path));
    // Only a dead holder makes a lock stale: a program may keep a village
    // open for days.
    m_Lock->setStaleLockTime(0);
    TryAgain();
}

TVillageFileGuard::~TVillageFileGuard() = default;

bool TVillageFileGuard::TryAgain()
{
    if (!m_Lock)
        return false;
    if (m_Lock->isLocked())
        return true;
    const bool locked = m_Lock->tryLock(0);
    m_HeldElsewhere = !locked && m_Lock->error() == QLockFile::LockFailedError;
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
