// The account's culture and the next village's forecast; see AccountCulture.h.
#include "AccountCulture.h"

#include "base/SettingsSeam.h"
#include "base/TimeText.h"
#include "record/VillageData.h"
#include "rules/BuiltFigures.h"
#include "rules/NextVillage.h"
#include "rules/Planner.h"

#include <QSettings>

#include <algorithm>

namespace {

const QString PointsKey = QStringLiteral("Culture/Points");
const QString TypedAtKey = QStringLiteral("Culture/TypedAt");
const QString NeededKey = QStringLiteral("Culture/Needed");

// The latest moment the settings give back: the end of the year 9999.
constexpr qint64 LatestMoment = 253402300799;

qint64 HeldToRange(qint64 points)
{
    return std::clamp<qint64>(points, 0, TAccountCulture::MaxPoints);
}

// A whole number as written by Save or by hand; none for anything else.
std::optional<qint64> ReadNumber(const QSettings &settings, const QString &key, qint64 least, qint64 most)
{
    bool ok = false;
    const qint64 value = settings.value(key).toString().trimmed().toLongLong(&ok);
    if (!ok || value < least || value > most)
        return std::nullopt;
    return value;
}

} // namespace

TAccountCulture TAccountCulture::Typed(qint64 points, qint64 needed, const QDateTime &now) const
{
    TAccountCulture typed = *this;
    points = HeldToRange(points);
    // Nothing typed into nothing kept stays never typed.
    const bool typedNothing = !TypedAt.isValid() && points == 0 && needed <= 0;
    if ((points != Points || !TypedAt.isValid()) && !typedNothing) {
        typed.Points = points;
        typed.TypedAt = now;
    }
    typed.Needed = HeldToRange(needed);
    return typed;
}

TAccountCulture TAccountCulture::Load(const QSettings &settings)
{
    TAccountCulture account;
    const std::optional<qint64> points = ReadNumber(settings, PointsKey, 0, MaxPoints);
    const std::optional<qint64> typedAt = ReadNumber(settings, TypedAtKey, 0, LatestMoment);
    if (points && typedAt) {
        account.Points = *points;
        account.TypedAt = QDateTime::fromSecsSinceEpoch(*typedAt);
    }
    account.Needed = ReadNumber(settings, NeededKey, 0, MaxPoints).value_or(0);
    return account;
}

void TAccountCulture::Save(QSettings &settings) const
{
    if (TypedAt.isValid()) {
        StoreSetting(settings, PointsKey, Points);
        StoreSetting(settings, TypedAtKey, TypedAt.toSecsSinceEpoch());
    } else {
        settings.remove(PointsKey);
        settings.remove(TypedAtKey);
    }
    StoreSetting(settings, NeededKey, Needed);
}

TAccountCulture TAccountCulture::Load()
{
    const QSettings *settings = OpenSettings();
    return settings ? Load(*settings) : TAccountCulture();
}

bool TAccountCulture::Save() const
{
    QSettings *settings = OpenSettings();
    if (!settings)
        return true;
    Save(*settings);
    return FlushSettings();
}

QDebug operator<<(QDebug debug, const TAccountCulture &account)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TAccountCulture(" << account.Points << " at " << account.TypedAt << ", needed "
                    << account.Needed << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const TCultureForecast &forecast)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TCultureForecast(" << forecast.PerDay << " a day, now " << forecast.PointsNow << ", known "
                    << forecast.Known << ", seconds " << forecast.Seconds.value_or(-1) << ')';
    return debug;
}

TCultureForecast ForecastNextVillage(const TAccountCulture &account, const QList<const TPlanner *> &villages,
                                     const TdmListObj &catalog, const QDateTime &now)
{
    TCultureForecast forecast;
    QList<TCultureGain> gains;
    for (const TPlanner *planner : villages) {
        const TVillageData &village = planner->Village();
        forecast.PerDay += BuiltTotalsOf(catalog, village.Built, village.ServerSpeedValue()).Culture;
        gains.append(ComingCultureGains(catalog, village, planner->Evaluation().Queue));
    }
    forecast.Known = account.IsSet();
    if (!forecast.Known)
        return forecast;
    forecast.PointsNow = PointsAt(account.Points, account.TypedAt, now, forecast.PerDay);
    forecast.Seconds = SecondsToNextVillage(forecast.PointsNow, account.Needed, forecast.PerDay, gains);
    return forecast;
}

QString TypedPointsText(const TAccountCulture &account, const TCultureForecast &forecast, const QDateTime &now)
{
    if (!account.TypedAt.isValid())
        return QStringLiteral("ещё не введено");
    return QStringLiteral("введено %1, сейчас %2")
        .arg(ClockText(account.TypedAt, now.date()))
        .arg(PointsAt(account.Points, account.TypedAt, now, forecast.PerDay));
}

QString CulturePerDayText(qint64 perDay)
{
    return QStringLiteral("Культура: %1 в день").arg(perDay);
}

QString ForecastText(const TCultureForecast &forecast, const QDateTime &now)
{
    if (!forecast.Known)
        return QStringLiteral("Новая деревня: введите очки культуры (Сервис → Культура...)");
    return NextVillageText(forecast.Seconds, now);
}
