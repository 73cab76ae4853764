// Fuzzes the village file reader: arbitrary bytes as a .vlgdat file, read
// into a fresh village, then written and read back.

#include "FuzzSupport.h"

#include "rules/Planner.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SilenceMessages();
    const TdmListObj &catalog = FuzzCatalog();
    static const QString path = ScratchPath(".vlgdat");
    if (!WriteScratch(path, data, size))
        return 0;

    TVillageData village;
    TPlanner planner(village, catalog);
    village.FileName = path;
    const TFileResult read = ReadVillageFile(village, catalog);
    planner.RecalculateAvailable();
    if (!read.Ok)
        return 0;

    // What was read is written and reads back the same.
    village.FileName = path;
    if (!WriteVillageFile(village).Ok)
        return 0;
    TVillageData again;
    again.FileName = path;
    if (!ReadVillageFile(again, catalog).Ok)
        __builtin_trap();
    if (again.Name != village.Name || again.MainLevel != village.MainLevel
        || again.ResourceCollect != village.ResourceCollect || again.ResourceAdd != village.ResourceAdd
        || again.AvBuildings != village.AvBuildings || again.UnknownBuildings != village.UnknownBuildings
        || again.Capacity != village.Capacity || again.Queue != village.Queue)
        __builtin_trap();
    for (int i = 0; i < 5; ++i)
        planner.Tick();
    return 0;
}
