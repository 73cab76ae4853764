// The catch-up of the stocks on Open; see CatchUp.h.
#include "CatchUp.h"

#include "rules/Production.h"
#include "record/VillageData.h"
#include "base/TimeText.h"

#include <algorithm>

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
    return QStringLiteral("Запасы пересчитаны за %1 с момента сохранения.").arg(ElapsedText(seconds));
}
