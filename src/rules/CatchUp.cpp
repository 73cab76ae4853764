// The catch-up of the stocks on Open; see CatchUp.h.
#include "CatchUp.h"

#include "rules/Production.h"
#include "record/VillageData.h"
#include "base/TimeText.h"

#include <algorithm>

namespace {

QString CatchUpLine(qint64 seconds)
{
    return QStringLiteral("Запасы пересчитаны за %1 с момента сохранения.").arg(ElapsedText(seconds));
}

} // namespace

QString CatchUpSinceSaved(TVillageData &village, const QDateTime &saved, const QDateTime &now)
{
    if (!saved.isValid() || !now.isValid())
        return {};
    const qint64 seconds = saved.secsTo(now);
    if (seconds < 0)
        return QStringLiteral("Время сохранения файла позже текущего: запасы не пересчитаны.");
    // Nothing could grow: no time passed, or the village has no income.
    const TResourceAmounts &incomes = village.Incomes();
    if (seconds == 0 || std::all_of(incomes.begin(), incomes.end(), [](qint32 income) { return income == 0; }))
        return {};

    const TResourceAmounts stocks = village.Stocks();
    const TResourceAmounts advanced = CatchUpStocks(stocks, incomes, village.Capacities(), seconds);
    for (const TResourceKind kind : AllResourceKinds) {
        if (advanced[KindIndex(kind)] != stocks[KindIndex(kind)])
            village.SetResourceCollect(kind, QString::number(advanced[KindIndex(kind)]));
    }
    return CatchUpLine(seconds);
}

QString CatchUpSinceSaved(TVillageData &village, const QDateTime &saved, const QDateTime &now,
                          const QDateTime &ended, const std::function<void()> &finish)
{
    if (!saved.isValid() || !now.isValid() || saved > now) {
        finish();
        return CatchUpSinceSaved(village, saved, now);
    }
    const QDateTime end = ended.isValid() ? std::clamp(ended, saved, now) : saved;
    const QString before = CatchUpSinceSaved(village, saved, end);
    finish();
    const QString after = CatchUpSinceSaved(village, end, now);
    return before.isEmpty() && after.isEmpty() ? QString() : CatchUpLine(saved.secsTo(now));
}
