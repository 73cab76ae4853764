// The next village's moment; see NextVillage.h.
#include "NextVillage.h"

#include "base/TimeText.h"
#include "catalog/dm_ListObjects.h"
#include "record/VillageData.h"
#include "rules/BuildingEffects.h"
#include "rules/QueueProjection.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 SecondsPerDay = 86400;

} // namespace

qint32 CultureGainOf(const TdmListObj &catalog, qint32 index)
{
    if (index < 0 || index >= catalog.Count())
        return 0;
    const qint32 below = LevelBelow(catalog, index);
    return qint32(catalog.Object(index).EK) - (below >= 0 ? qint32(catalog.Object(below).EK) : 0);
}

QList<TCultureGain> ComingCultureGains(const TdmListObj &catalog, const TVillageData &village,
                                       const TQueueProjection &projection)
{
    QList<TCultureGain> gains;
    if (village.BuildTotal > 0) {
        const qint64 remaining = std::max<qint64>(qint64(village.BuildTotal) - village.BuildElapsed, 0);
        gains.append({remaining, CultureGainOf(catalog, catalog.FindByDisplayText(village.BuildName))});
    }
    for (const TProjectedItem &item : projection.Items) {
        if (item.IsScheduled())
            gains.append({item.End, CultureGainOf(catalog, item.CatalogIndex)});
    }
    return gains;
}

qint64 PointsAt(qint64 typedPoints, const QDateTime &typedAt, const QDateTime &now, qint64 perDay)
{
    if (!typedAt.isValid() || !now.isValid() || typedAt >= now || perDay <= 0)
        return typedPoints;
    // Whole days and the day's rest apart: ten thousand years of seconds
    // times a 32-bit rate would not fit in 64 bits, a day's rest times it does.
    const qint64 seconds = std::min<qint64>(typedAt.secsTo(now), qint64(10000) * 365 * SecondsPerDay);
    const qint64 rate = std::min<qint64>(perDay, std::numeric_limits<qint32>::max());
    return typedPoints + rate * (seconds / SecondsPerDay) + rate * (seconds % SecondsPerDay) / SecondsPerDay;
}

std::optional<qint64> SecondsToNextVillage(qint64 pointsNow, qint64 needed, qint64 perDay, QList<TCultureGain> gains)
{
    if (pointsNow >= needed)
        return 0;
    std::stable_sort(gains.begin(), gains.end(),
                     [](const TCultureGain &a, const TCultureGain &b) { return a.FromSeconds < b.FromSeconds; });
    // Points × 86400 still missing, and the rate in those units a second.
    qint64 missing = (needed - pointsNow) * SecondsPerDay;
    qint64 rate = perDay;
    qint64 at = 0;
    for (const TCultureGain &gain : gains) {
        const qint64 from = std::max(gain.FromSeconds, at);
        if (rate > 0) {
            const qint64 wait = (missing + rate - 1) / rate;
            if (wait <= from - at)
                return at + wait;
            missing -= rate * (from - at);
        }
        at = from;
        rate += gain.PerDay;
    }
    if (rate <= 0)
        return std::nullopt;
    return at + (missing + rate - 1) / rate;
}

QString NextVillageText(std::optional<qint64> seconds, const QDateTime &now)
{
    const QString title = QStringLiteral("Новая деревня: ");
    if (!seconds)
        return title + QStringLiteral("культура не растёт");
    if (*seconds <= 0)
        return title + QStringLiteral("можно основать");
    const qint64 days = *seconds / SecondsPerDay;
    const qint64 rest = *seconds % SecondsPerDay;
    const QString span = (days > 0 ? QStringLiteral("%1 д ").arg(days) : QString())
        + QStringLiteral("%1:%2").arg(rest / 3600, 2, 10, QLatin1Char('0')).arg(rest % 3600 / 60, 2, 10, QLatin1Char('0'));
    return title + QStringLiteral("через %1 (%2)").arg(span, ClockText(now.addSecs(*seconds), now.date()));
}
