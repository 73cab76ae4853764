// How village files are reached on disk: which files are refused before a
// byte is read (anything but a regular file, and files above a size limit),
// a read that never blocks on a pipe or a device and never goes past the
// limit, and the words for a write that failed and for a file that is open
// already. The village file reader and writer and the main window's Open
// use it; everything here is a value, shown by the callers.
#pragma once

#include <QByteArray>
#include <QString>

// The largest village file the program reads, and so the largest it
// writes: a file the reader would refuse is never written (the save is
// refused instead). A village with 500 considered buildings and a long
// comment takes about 40 KB, so 16 MiB is far above any real village, and
// reading it stays well under a second.
constexpr qint64 MaxVillageFileSize = 16 * 1024 * 1024;

// Why the file at path is not to be read as a village file: a folder, a
// pipe, a device or a socket (also when reached through a symbolic link), or
// a file larger than maxSize. Empty when it may be read, and when it does
// not exist (the reader says so in its own words).
QString RefusalBeforeReading(const QString &path, qint64 maxSize = MaxVillageFileSize);

struct TBoundedRead
{
    bool Ok = false;
    QByteArray Data;
    // On failure: the reason, in the program's words or the system's.
    QString Error;
};

// The whole file at path, read only when it is a regular file of at most
// maxSize bytes; checked on the opened file itself, so that a file replaced
// by a pipe in between can neither block nor feed the reader for ever.
TBoundedRead ReadBounded(const QString &path, qint64 maxSize = MaxVillageFileSize);

// Why a village of size bytes is not written: the reader would refuse the
// file. Empty when it may be written.
QString RefusalBeforeWriting(qint64 size, qint64 maxSize = MaxVillageFileSize);

// The reason given for a failed write: "Недостаточно места на диске" when
// the disk (or the user's quota) is full, else the system's own text.
QString WriteFailureReason(int systemError, const QString &systemText);

// "Файл уже открыт!" and, on a line of its own, the file.
QString AlreadyOpenMessage(const QString &path);
