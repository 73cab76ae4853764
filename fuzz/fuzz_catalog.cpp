// Fuzzes the catalog loader: arbitrary bytes as the catalog file.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SilenceMessages();
    static const QString exe = ScratchPath("-exe");
    if (!WriteScratch(exe + QStringLiteral(".xml"), data, size))
        return 0;
    TdmListObj catalog;
    if (catalog.LoadCatalog(exe).Ok) {
        for (qint32 i = 0; i < catalog.Count(); ++i) {
            const QString text = catalog.Object(i).DisplayText();
            if (catalog.FindByDisplayText(text) > i)
                __builtin_trap(); // the first entry of a text is found first
            catalog.FindNextLevel(i);
        }
        for (qint32 level = -1; level <= 21; ++level)
            catalog.MainBuildingPercent(level);
    }
    return 0;
}
