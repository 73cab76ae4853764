// The catch-up of the stocks on Open; see CatchUp.h.
#include "CatchUp.h"

#include "rules/Production.h"
#include "record/VillageData.h"
#include "rules/VillageSnapshot.h"

#include <algorithm>

namespace {

constexpr qint64 SecondsPerMinute = 60;
constexpr qint64 SecondsPerHour = 3600;
constexpr qint64 SecondsPerDay = 86400;

} // namespace

QString ElapsedText(qint64 seconds)
{
    if (seconds < SecondsPerMinute)
        return QStringLiteral("%1 сек").arg(std::max<qint64>(seconds, 0));
    const qint64 days = seconds / SecondsPerDay;
    const qint64 hours = seconds % SecondsPerDay / SecondsPerHour;
    const qint64 minutes = seconds % SecondsPerHour / SecondsPerMinute;
    QStringList parts;
    if (days > 0)
        parts.append(QStringLiteral("%1 дн").arg(days));
    if (hours > 0)
        parts.append(QStringLiteral("%1 ч").arg(hours));
    if (minutes > 0)
        parts.append(QStringLiteral("%1 мин").arg(minutes));
    return parts.join(u' ');
}

QString CatchUpSinceSaved(TVillageData &village, const QDateTime &saved, const QDateTime &now)
{
    if (!saved.isValid() || !now.isValid())
        return {};
    const qint64 seconds = saved.secsTo(now);
    if (seconds < 0)
        return QStringLiteral("Время сохранения файла позже текущего: запасы не пересчитаны.");

    const TResourceAmounts stocks = StocksOf(village);
    const TResourceAmounts advanced =
        CatchUpStocks(stocks, IncomesOf(village), CapacitiesOf(village), seconds);
    for (const TResourceKind kind : AllResourceKinds) {
        if (advanced[KindIndex(kind)] != stocks[KindIndex(kind)])
            village.SetResourceCollect(kind, QString::number(advanced[KindIndex(kind)]));
    }
    return QStringLiteral("Запасы пересчитаны за %1 с момента сохранения.").arg(ElapsedText(seconds));
}
