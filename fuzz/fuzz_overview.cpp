// Fuzzes the overview import: arbitrary bytes as the pasted page, split into
// lines and applied to a village with a race, then recalculated.

#include "FuzzSupport.h"

#include "import/OverviewImport.h"
#include "rules/Planner.h"
#include "record/VillageData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SilenceMessages();
    const TdmListObj &catalog = FuzzCatalog();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = SplitOverviewLines(text);

    TVillageData village;
    TPlanner planner(village, catalog);
    village.SetRace(1);
    const bool accepted = ParseOverviewText(lines, village, catalog);
    if (accepted != IsOverviewText(lines))
        __builtin_trap();
    if (accepted) {
        planner.RecalculateAvailable();
        for (int i = 0; i < 3; ++i)
            planner.Tick();
        if (!planner.Available().isEmpty() && !village.AvBuildings.isEmpty()) {
            planner.Build(0);
        }
    }
    return 0;
}
