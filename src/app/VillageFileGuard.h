// What the program holds on one open village file: the lock beside it that
// tells other programs the file is open for writing here, and what the file
// held when it was last read or written here, so that a change made by
// another program is noticed before anything overwrites it.
//
// The lock is a hidden file beside the village file, named after it:
// ".Северная.vlgdat.lock" beside "Северная.vlgdat". A lock left by a
// program that died is taken over; one held by a running program (also on
// another machine sharing the folder) leaves the file read-only here. A
// folder where no lock can be made (no write access) gives no lock and no
// refusal: the write itself says why it fails. The lock is made without
// waiting for the disk (TLockFile).
//
// The village document keeps one for its file.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class TLockFile;

// What a file held, by a hash of its bytes; a missing file is a state of
// its own.
struct TFileStamp
{
    bool Exists = false;
    QByteArray Hash;

    friend bool operator==(const TFileStamp &, const TFileStamp &) = default;
};

// Which file a path names and when it last changed, from the file system
// alone (device, inode, size, modification and change times): cheap
// enough to look at right before a write replaces the file.
struct TFileLook
{
    bool Exists = false;
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 Size = 0;
    qint64 Modified = 0; // nanoseconds
    qint64 Changed = 0;  // nanoseconds

    friend bool operator==(const TFileLook &, const TFileLook &) = default;
    static TFileLook Now(const QString &path);
};

// The file's stamp as it is on disk now.
TFileStamp FileStampNow(const QString &path);
// How many times FileStampNow has read a file in this run (the tests count
// the reads by it).
qint64 FileStampReadCount();
// The stamp of a file that holds these bytes.
TFileStamp FileStampOf(const QByteArray &bytes);

class TVillageFileGuard
{
public:
    // Locks path (nothing for an empty path).
    explicit TVillageFileGuard(const QString &path = QString());
    ~TVillageFileGuard();
    TVillageFileGuard(const TVillageFileGuard &) = delete;
    TVillageFileGuard &operator=(const TVillageFileGuard &) = delete;

    const QString &Path() const { return m_Path; }
    // Another running program holds the file's lock.
    bool HeldElsewhere() const { return m_HeldElsewhere; }
    // Tries once more to take a lock held elsewhere (that program may have
    // closed the file since); true when this program holds it now.
    bool TryAgain();

    // Takes the file as it is now as what was last read or written here.
    void Remember();
    // Takes these bytes, just read from the file, as what was last read:
    // no second read, and no change between the read and the look missed.
    void Remember(const QByteArray &bytesRead);
    // Takes this stamp as what was last read or written here (a recovered
    // village: the file as the crashed run last saw it).
    void Remember(const TFileStamp &stamp) { m_Remembered = stamp; }
    const TFileStamp &Remembered() const { return m_Remembered; }
    // The file differs from what was last read or written here; a file that
    // has gone counts as unchanged (writing it again loses nothing).
    bool ChangedOnDisk() const;

    // The lock file of a village file.
    static QString LockPath(const QString &path);

private:
    QString m_Path;
    std::unique_ptr<TLockFile> m_Lock;
    bool m_HeldElsewhere = false;
    TFileStamp m_Remembered;
};
