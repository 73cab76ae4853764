// Every text the program makes of a span of seconds or of a moment, in one
// place: the table form of a duration ("01:23:45", "2 д 01:23:45"), the
// clock at which a span ends ("14:05", with its date on another day:
// "08.12 05:57", in another year "07.10.2027 22:47"), the two together
// ("01:23:45 (14:05)"), the spoken form of an elapsed time ("2 дн 3 ч 5 мин",
// "42 сек") and the way back from the table form to seconds.
//
// Used by the catalog's duration texts, the models of the village page and
// of all villages, the catch-up line and the notifications.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

// hh:mm:ss, and from 24 hours on the whole days in front ("28 д 07:00:00");
// a negative span has "-" in front. Spans beyond 32 bits are shown clamped
// to them. A text for people only: no file holds it.
QString DurationText(qint64 seconds);

// The time of day of a moment in the user's short time format without
// seconds; a moment on another day than `today` has its date in front
// ("dd.MM", and ".yyyy" in another year).
QString ClockText(const QDateTime &moment, const QDate &today);

// DurationText, then " (" + the clock at which the span ends, counted from
// `now`, + ")".
QString DurationWithEndText(qint64 seconds, const QDateTime &now);

// Days, hours and minutes with the parts that are 0 left out ("2 дн 3 ч",
// "5 мин"); under a minute the seconds ("42 сек").
QString ElapsedText(qint64 seconds);

// The seconds of a text "h:m:s" read part by part as whole numbers (a part
// that is none counts as 0), clamped to 32 bits; 0 for an empty text.
qint32 TextToSeconds(QStringView text);
