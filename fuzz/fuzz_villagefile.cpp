// Fuzzes the village file reader: arbitrary bytes as a .vlgdat file, read
// into a fresh village, then written and read back. What was read must read
// back the same, content this version does not use included, and write the
// same bytes again: a file keeps what it carries.

#include "FuzzSupport.h"

#include "base/Clock.h"
#include "rules/Planner.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"

#include <QFile>

namespace {

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool SameVillage(const TVillageData &a, const TVillageData &b)
{
    return a.Name == b.Name && a.Race == b.Race && a.MainLevel == b.MainLevel
        && a.ResourceCollect == b.ResourceCollect && a.ResourceAdd == b.ResourceAdd
        && a.AvBuildings == b.AvBuildings && a.UnknownBuildings == b.UnknownBuildings && a.Comments == b.Comments
        && a.Capacity == b.Capacity && a.Queue == b.Queue && a.BuildName == b.BuildName
        && a.BuildTotal == b.BuildTotal && a.BuildElapsed == b.BuildElapsed && a.KeptFileContent == b.KeptFileContent;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SilenceMessages();
    // One moment for the whole round trip, so that the written moments and
    // the construction's time left come back the same.
    static const bool pinned = [] {
        SetClock([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 23, 21), Qt::UTC); });
        return true;
    }();
    (void)pinned;
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
    const QByteArray written = FileBytes(path);
    TVillageData again;
    again.FileName = path;
    if (!ReadVillageFile(again, catalog).Ok)
        __builtin_trap();
    if (!SameVillage(again, village))
        __builtin_trap();
    // And it writes the same bytes again.
    if (!WriteVillageFile(again).Ok)
        return 0;
    if (FileBytes(path) != written)
        __builtin_trap();
    for (int i = 0; i < 5; ++i)
        planner.Tick();
    return 0;
}
