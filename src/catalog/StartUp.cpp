#include "StartUp.h"

#include "dm_ListObjects.h"

#include <memory>

int RunStartUp(const QString &exePath, const std::function<int()> &runMainWindow)
{
    auto catalog = std::make_unique<TdmListObj>();
    dmListObj = catalog.get();
    int status = 1;
    if (catalog->LoadCatalog(exePath))
        status = runMainWindow();
    dmListObj = nullptr;
    return status;
}
