// The village data file (".vlgdat"): UTF-8 XML with the root JorVillageData.
// WriteVillageFile stores the persistent fields of a village under its
// FileName; ReadVillageFile applies the file named by FileName to the
// village. The save commands and the automatic save write, Open reads.
#pragma once

#include <QDebug>
#include <QString>

class TVillageData;
class TPlanner;
class TdmListObj;

struct TFileResult
{
    bool Ok = true;
    // On failure: for writing, the message to show (in Russian, naming the
    // file and the system's reason); for reading, the reason ("Файл не
    // найден!", "Файл пустой!", "Ошибка структуры файла!" or the parser's).
    QString Error;

    friend bool operator==(const TFileResult &, const TFileResult &) = default;
};

QDebug operator<<(QDebug debug, const TFileResult &result);

// Writes atomically: a failed write leaves any previous file whole. Shows
// nothing; the caller reports a failure with the message seam.
TFileResult WriteVillageFile(const TVillageData &village);

// Applies the file to the village and recalculates. On failure shows the
// error box "Ошибка открытия файла!", keeps what was applied, and forgets
// the file name when the file exists (so it is never overwritten with a
// partly read village).
TFileResult ReadVillageFile(TVillageData &village, TPlanner &planner, const TdmListObj &catalog);

// The path with ".vlgdat" appended unless its file name already ends in it
// (letter case ignored). The save dialog applies it to the names typed while
// village files are listed, since a name such as "Св. Анна" looks as if it
// had an extension already.
QString WithVillageFileExtension(const QString &path);

// The text of the Date element for a moment: short date, a blank, long time;
// the date alone at 00:00:00.
QString VillageFileDateText(const class QDateTime &moment);
