#include "StartUp.h"

#include "MessageSeam.h"
#include "dm_ListObjects.h"

#include <memory>

int RunStartUp(const QString &exePath, const std::function<int()> &runMainWindow)
{
    auto catalog = std::make_unique<TdmListObj>();
    dmListObj = catalog.get();
    int status = 1;
    const TCatalogResult loaded = catalog->LoadCatalog(exePath);
    if (loaded)
        status = runMainWindow();
    else if (!loaded.Error.isEmpty())
        ShowMessage(TMessageKind::Error, loaded.Error);
    dmListObj = nullptr;
    return status;
}
