// Reading the game's "Обзор деревни" page as the player copies it from the
// browser: hourly production, stocks, the village name (while it has none)
// and the next level of every listed building.
#pragma once

#include <QStringList>

class TVillageData;
class TdmListObj;

// Splits a pasted text into lines at LF, CR LF and lone CR; a line break at
// the very end starts no further line.
QStringList SplitOverviewLines(const QString &text);

// The acceptance test: at least 15 lines and line 5 exactly "Ливарон".
bool IsOverviewText(const QStringList &lines);
// The same test on the pasted text, without splitting all of it.
bool IsOverviewText(const QString &text);

// Applies an accepted text to the village; false (nothing changed) otherwise.
// The caller recalculates after an accepted text.
bool ParseOverviewText(const QStringList &lines, TVillageData &village, const TdmListObj &catalog);
