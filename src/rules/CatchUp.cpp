// The catch-up of the stocks on Open; see CatchUp.h.
#include "CatchUp.h"

#include "rules/Production.h"
#include "record/VillageData.h"
#include "base/TimeText.h"

QString CatchUpSinceSaved(TVillageData &village, const QDateTime &saved, const QDateTime &now)
{
    if (!saved.isValid() || !now.isValid())
        return {};
    const qint64 seconds = saved.secsTo(now);
    if (seconds < 0)
        return QStringLiteral("Время сохранения файла позже текущего: запасы не пересчитаны.");

    const TResourceAmounts stocks = village.Stocks();
    const TResourceAmounts advanced = CatchUpStocks(stocks, village.Incomes(), village.Capacities(), seconds);
    for (const TResourceKind kind : AllResourceKinds) {
        if (advanced[KindIndex(kind)] != stocks[KindIndex(kind)])
            village.SetResourceCollect(kind, QString::number(advanced[KindIndex(kind)]));
    }
    return QStringLiteral("Запасы пересчитаны за %1 с момента сохранения.").arg(ElapsedText(seconds));
}
