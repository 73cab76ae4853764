// The time that passed while the program was closed: on Open the stocks of a
// village advance by what its incomes produced since the file was written,
// and the page shows one line about it. The village document calls it after a
// good read, with the moment the file gives and the Clock seam's now; the
// line's span is ElapsedText (TimeText).
#pragma once

#include <QDateTime>
#include <functional>
#include <QString>
#include <QtGlobal>

class TVillageData;

// Advances the stocks of the village over the seconds from saved to now:
// the exact rate, capped at known capacities, negative incomes down to 0,
// clamped to 32 bits. Only the stocks whose value changes get a new text (a
// decimal number); nothing else changes. Returns the line to show: "Запасы
// пересчитаны за 9 ч 12 мин с момента сохранения."; for a saved moment
// after now (a clock changed) nothing changes and the line says so; for an
// invalid saved moment, no time passed or a village without any income the
// line is empty and nothing changes.
QString CatchUpSinceSaved(TVillageData &village, const QDateTime &saved, const QDateTime &now);

// The same across the end of a construction that ended between saved and
// now: the stocks grow up to its end (ended, taken within saved and now) at
// the incomes before it, then finish changes the village (its incomes and
// capacities), then the stocks grow on to now. The line is the one for the
// whole span. For a saved moment that is invalid or after now, finish runs
// first and the line is CatchUpSinceSaved's.
QString CatchUpSinceSaved(TVillageData &village, const QDateTime &saved, const QDateTime &now,
                          const QDateTime &ended, const std::function<void()> &finish);
