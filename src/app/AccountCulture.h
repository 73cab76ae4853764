// The account's culture: the culture points the player typed (with the
// moment they were typed) and the points the next village needs (typed
// too: they differ from server to server). The account is not one village,
// so they are kept in the program's settings (SettingsSeam), not in a
// village file. With the open villages it gives the forecast of the next
// village: the villages' culture points per day (their built lists) and
// the moment the points reach what is needed, counting what each queued
// building adds from its end (NextVillage.h).
//
// The culture dialog edits it, the window of all villages shows the
// forecast, and the next village's watch (NextVillageWatch.h) holds it and
// notifies when the moment comes.
#pragma once

#include <QDateTime>
#include <QDebug>
#include <QList>
#include <QString>

#include <optional>

class QSettings;
class TdmListObj;
class TPlanner;

struct TAccountCulture
{
    // The most points the dialog takes and the settings give back.
    static constexpr qint64 MaxPoints = 999'999'999;

    qint64 Points = 0;
    // When Points were typed; invalid while never typed.
    QDateTime TypedAt;
    // What the next village needs; 0 while not typed.
    qint64 Needed = 0;

    // Both typed: the forecast can be made.
    bool IsSet() const { return Needed > 0 && TypedAt.isValid(); }

    // The values after the player typed `points` and `needed` at `now`: the
    // points' moment becomes `now` when the points changed or none was kept;
    // typing only what the next village needs keeps it; zeros typed into
    // values never typed leave them never typed. Out-of-range values are
    // held to 0..MaxPoints.
    TAccountCulture Typed(qint64 points, qint64 needed, const QDateTime &now) const;

    // Reads the values; a missing, damaged or out-of-range value reads as
    // never typed.
    static TAccountCulture Load(const QSettings &settings);
    void Save(QSettings &settings) const;
    // The same with the program's settings file: nothing while the settings
    // are off; Save is false only when the file could not be written.
    static TAccountCulture Load();
    bool Save() const;

    friend bool operator==(const TAccountCulture &, const TAccountCulture &) = default;
};

QDebug operator<<(QDebug debug, const TAccountCulture &account);

struct TCultureForecast
{
    // The open villages' culture points per day, added up.
    qint64 PerDay = 0;
    // The account's points now (typed, and grown since at PerDay).
    qint64 PointsNow = 0;
    // Whether the account's values are typed; the rest is empty if not.
    bool Known = false;
    // Seconds until the next village can be founded: 0 when it can now,
    // none when culture does not grow.
    std::optional<qint64> Seconds;

    friend bool operator==(const TCultureForecast &, const TCultureForecast &) = default;
};

QDebug operator<<(QDebug debug, const TCultureForecast &forecast);

// The forecast for the account with these villages at `now`: each
// village's culture per day from its built list at its speed, and every
// coming construction's gain (ComingCultureGains) from the villages'
// latest evaluations.
TCultureForecast ForecastNextVillage(const TAccountCulture &account, const QList<const TPlanner *> &villages,
                                     const TdmListObj &catalog, const QDateTime &now);

// "введено 08.12 05:30, сейчас 1 250": when the account's points were typed
// and what they are at the forecast's moment; "ещё не введено" before.
QString TypedPointsText(const TAccountCulture &account, const TCultureForecast &forecast, const QDateTime &now);
// "Культура: 125 в день"
QString CulturePerDayText(qint64 perDay);
// The forecast's line: NextVillageText, or "Новая деревня: введите очки
// культуры (Сервис → Культура...)" while the account's values are not typed.
QString ForecastText(const TCultureForecast &forecast, const QDateTime &now);
