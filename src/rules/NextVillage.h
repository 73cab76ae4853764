// When the account can found its next village. Culture points grow at the
// villages' culture points per day (BuiltFigures) from the moment the
// player typed the account's points; each building that is to end (the
// construction in progress, the scheduled items of the queue) adds its
// level's culture from its end: EK(L) − EK(L − 1), since the figure of a
// level is the building's whole output at that level. Whole numbers only:
// points are kept × 86400 so that a day's fraction loses nothing.
//
// For the culture line of the village page and of all villages, and the
// notification when the moment comes.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

class TdmListObj;
class TVillageData;
struct TQueueProjection;

// Culture per day added from a moment on (seconds from now).
struct TCultureGain
{
    qint64 FromSeconds = 0;
    qint64 PerDay = 0;

    friend bool operator==(const TCultureGain &, const TCultureGain &) = default;
};

// The culture per day building the catalog entry at index adds: its EK less
// that of the level below (all of it at level 1); 0 outside the catalog.
qint32 CultureGainOf(const TdmListObj &catalog, qint32 index);

// The gains of one village's coming constructions: the one in progress at
// its end, then every scheduled item of the projection at its end.
QList<TCultureGain> ComingCultureGains(const TdmListObj &catalog, const TVillageData &village,
                                       const TQueueProjection &projection);

// The points at `now`: the typed points and what perDay added since the
// moment they were typed (nothing for a moment after now or none).
qint64 PointsAt(qint64 typedPoints, const QDateTime &typedAt, const QDateTime &now, qint64 perDay);

// Seconds from now until the points reach `needed` at perDay plus the
// gains from their moments on: 0 when reached already, none when they never
// do (no culture grows).
std::optional<qint64> SecondsToNextVillage(qint64 pointsNow, qint64 needed, qint64 perDay,
                                           QList<TCultureGain> gains);

// "Новая деревня: через 3 д 04:10 (11.12 02:30)", "Новая деревня: можно
// основать" for 0, "Новая деревня: культура не растёт" for none.
QString NextVillageText(std::optional<qint64> seconds, const QDateTime &now);
