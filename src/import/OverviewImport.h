// Reading the game's "Обзор деревни" page as the player copies it from the
// browser: hourly production, stocks and capacities, the village name (while
// it has none), the main-building level and the next level of every listed
// building (levels the page shows as built leave the considered list), and
// the village's built list: every building of the page with its level.
#pragma once

#include "catalog/ResourceKind.h"

#include <QDebug>
#include <QList>
#include <QString>
#include <QStringList>

class TVillageData;
class TdmListObj;

// Splits a pasted text into lines at LF, CR LF and lone CR; a line break at
// the very end starts no further line.
QStringList SplitOverviewLines(const QString &text);

// The acceptance test: at least 15 lines and line 5 exactly "Ливарон". Here
// and in every line the import reads, blanks, tabs and no-break spaces at the
// end of a line (browsers add them when copying) do not count.
bool IsOverviewText(const QStringList &lines);
// Why the text fails the acceptance test ("Текст не распознан: меньше 15
// строк." / "Текст не распознан: в строке 5 нет слова «Ливарон»."); empty
// for an accepted text.
QString OverviewRejection(const QStringList &lines);
// The same test on the pasted text, without splitting all of it.
bool IsOverviewText(const QString &text);

// The village name the page carries (line 12, without the blanks at its
// end); empty for a text that fails the acceptance test.
QString OverviewVillageName(const QStringList &lines);

struct TOverviewImportResult
{
    bool Accepted = false;
    // Why the text was not accepted (OverviewRejection); empty otherwise.
    QString Error;
    // What an accepted text changed.
    bool Stocks = false;    // a stock line was found
    bool Capacity = false;  // some capacity of it was a number
    bool MainLevel = false; // the page listed the main building at level 1 or more
    bool Buildings = false; // a race was chosen, so the buildings were read
    int BuildingCount = 0;  // listed buildings whose next level was marked
    // The kinds whose stock on the stock line was no number: their stocks
    // stay as they were.
    QList<TResourceKind> UnreadStocks;
    // The page's one line: "Импортировано: запасы, производство,
    // вместимость, 4 строения." or, without a race, "Импортировано: ...
    // Строения не импортированы: не выбрана раса."; stocks that could not be
    // read are named after the list ("...; запасы не распознаны: железо.");
    // empty when not accepted.
    QString Report;

    friend bool operator==(const TOverviewImportResult &, const TOverviewImportResult &) = default;
};

QDebug operator<<(QDebug debug, const TOverviewImportResult &result);

// A page whose buildings line lists any building replaces the village's
// built list with the buildings it lists at level 1 or more, in its order.
// Applies an accepted text to the village and says what it took; nothing
// changes for a text that is not accepted. The caller recalculates after an
// accepted text.
TOverviewImportResult ImportOverviewText(const QStringList &lines, TVillageData &village,
                                         const TdmListObj &catalog);

// ImportOverviewText, telling only whether the text was accepted.
bool ParseOverviewText(const QStringList &lines, TVillageData &village, const TdmListObj &catalog);
