// The village data file (".vlgdat"): UTF-8 XML with the root JorVillageData.
// WriteVillageFile stores the persistent fields of a village in a file;
// ReadVillageFile applies the file named by FileName to the village. The save commands and the automatic save write, Open reads.
// Failures are values; the main window and the page show them.
#pragma once

#include <QDateTime>
#include <QDebug>
#include <QByteArray>
#include <QString>

#include <functional>

class TVillageData;
class TdmListObj;

struct TFileResult
{
    bool Ok = true;
    // On failure: for writing, the message to show (in Russian, naming the
    // file and the system's reason); for reading, the reason ("Файл не
    // найден!", "Файл пустой!", "Ошибка структуры файла!" or the parser's
    // message with its line and column).
    QString Error;
    // The file that was read or written.
    QString Path;
    // A write left the file alone because another program changed it
    // while it was being written (the caller asks as for any outside change).
    bool ChangedOutside = false;

    friend bool operator==(const TFileResult &, const TFileResult &) = default;
};

QDebug operator<<(QDebug debug, const TFileResult &result);

// A construction found ended by a read: its display text and the moment
// its file gave for its end.
struct TEndedConstruction
{
    QString Name;
    QDateTime Ends;
};

// Writes the village to path atomically: a failed write leaves any previous
// file whole. Changes nothing in the village and shows nothing; the caller
// reports a failure with the message seam.
// The bytes written are stored in bytesWritten when given and the write
// succeeded, so that the caller can remember what the file holds without
// reading it back.
// unchangedSince, when given, is asked right before the new file replaces
// the old one (after the new bytes are on the disk): false keeps the file
// as another program has just written it, and the result says so.
TFileResult WriteVillageFile(const TVillageData &village, const QString &path, QByteArray *bytesWritten = nullptr,
                             const std::function<bool()> &unchangedSince = {});
// The same, to the village's FileName.
TFileResult WriteVillageFile(const TVillageData &village);

// Applies the file named by the village's FileName to the village. Shows
// nothing and does not recalculate: the caller recalculates after every
// read, whole or partial, and shows a failure (OpenFailureMessage). On
// failure what was applied stays, and the file name is forgotten when the
// file exists (so it is never overwritten with a partly read village).
// A construction of the file resumes with the time left until its end (by
// the Clock seam), or is cleared when that end has passed; the caller
// advances the stocks over the time since the moment of writing, which is
// stored in saved when given (invalid when the file gives none or no valid
// one). The bytes read are stored in bytesRead when given (empty when the
// file could not be read), so that the caller can remember what the file
// held without reading it again.
// A construction the file gave whose end had passed when it was read (and
// which the read cleared), stored in ended when given: its name and end;
// an empty name for none.
TFileResult ReadVillageFile(TVillageData &village, const TdmListObj &catalog, QDateTime *saved = nullptr,
                            QByteArray *bytesRead = nullptr, TEndedConstruction *ended = nullptr);

// A seam for the tests: runs in every write right before the final look at
// the file (with the path written), where another program's write is
// caught. Returns the one it replaces.
using TBeforeReplaceHook = std::function<void(const QString &path)>;
TBeforeReplaceHook SetBeforeReplaceHook(TBeforeReplaceHook hook);

// The text of the error box for a failed read: "Ошибка открытия файла!",
// the file's path and the reason, one to a line.
QString OpenFailureMessage(const TFileResult &result);

// The path by which a village file is told apart from the others: the
// canonical path (symbolic links, "." and ".." resolved) of an existing
// file, the cleaned absolute path of one that does not exist.
QString VillageFileIdentity(const QString &path);
// How many paths VillageFileIdentity has resolved in this run (each costs
// the file system a look at every folder of the path; the tests count them).
qint64 VillageFileIdentityCount();
// Whether two paths name the same file; letter case counts.
bool SameVillageFile(const QString &a, const QString &b);

// The path with ".vlgdat" appended unless its file name already ends in it
// (letter case ignored). The save dialog applies it to the names typed while
// village files are listed, since a name such as "Св. Анна" looks as if it
// had an extension already.
QString WithVillageFileExtension(const QString &path);

// The text of the Date element for a moment, in local time and the same
// under every locale: "05.03.2024 07:08:09"; the date alone at 00:00:00.
QString VillageFileDateText(const QDateTime &moment);
