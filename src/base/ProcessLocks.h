// Lock files that name the program holding them (QLockFile: process id,
// program, machine) and what is unique to one run of the program. The
// village files' locks (TLockFile), the single-instance lock and the
// recovery folder use them.
//
// A process id alone does not tell a run apart: a program restarted in a
// container, or as the first process of a namespace, gets the id of the
// run that crashed before it, and QLockFile takes that run's lock for a
// live one. A lock is therefore also stale when the process that has its
// id now started after the lock was written.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Takes the lock at once when it is free, left by a program that is gone,
// or left under a process id that a later process has taken since; false
// when a live program holds it or it cannot be made (lock.error() says).
// The lock is stale only by its holder, never by its age.
bool TryLockOnce(QLockFile &lock);

// Whether the lock file at path names a process of this machine that
// started after the file was written: its holder is gone.
bool HolderIdReused(const QString &lockPath);

// A key unique to one use in one run of the program (random; no two runs,
// nor two uses in one run, share it), for names in shared folders.
QString UniqueRunKey();

// A lock file as QLockFile makes it (the same content, so that QLockFile
// and older runs of the program read it), made without syncing the disk:
// QLockFile waits for the new file to reach the disk (fdatasync), tens to
// hundreds of milliseconds on a busy disk, for a file only running programs
// read. A lock file that is there already goes through QLockFile and
// TryLockOnce: a lock left by a program that is gone is taken over there.
class TLockFile
{
public:
    explicit TLockFile(const QString &path);
    ~TLockFile();
    TLockFile(const TLockFile &) = delete;
    TLockFile &operator=(const TLockFile &) = delete;

    // Takes the lock at once when it can (TryLockOnce's rules); true when
    // this program holds it.
    bool TryLock();
    bool IsLocked() const;
    // Why the last TryLock failed; LockFailedError: a live program holds it.
    QLockFile::LockError Error() const { return m_Error; }
    void Unlock();

    // What QLockFile writes into a lock file of this process.
    static QByteArray Content();

private:
    QString m_Path;
    int m_Handle = -1;
    std::unique_ptr<QLockFile> m_TakenOver;
    QLockFile::LockError m_Error = QLockFile::NoError;
};
