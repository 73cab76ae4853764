#include "StartUp.h"

#include "dm_ListObjects.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

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

bool InstallQtTranslation()
{
    static QTranslator *installed = nullptr;
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    if (installed != nullptr && installed->parent() == app)
        return true;

    auto translator = std::make_unique<QTranslator>();
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString &folder : folders) {
        if (translator->load(QStringLiteral("qtbase_ru"), folder)
            && QCoreApplication::installTranslator(translator.get())) {
            installed = translator.release();
            installed->setParent(app);
            return true;
        }
    }
    return false;
}
