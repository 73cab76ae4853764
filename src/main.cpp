// JorLivaronMng: a planner for players of the browser game Ливарон.
// The entry point is the start-up sequence: the application, the catalog
// beside the executable, and only with a usable catalog the main window.

#include "catalog/StartUp.h"
#include "catalog/dm_ListObjects.h"
#include "ui/UiSeams.h"
#include "ui/f_Main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The interface is Russian, so the toolkit's own dialogs speak Russian
    // too, whatever the system's language.
    InstallQtTranslation();
    UiSeams::InstallMessageBoxes();
    return RunStartUp(QCoreApplication::applicationFilePath(), [] {
        TFormMain window(*dmListObj);
        window.show();
        return QApplication::exec();
    });
}
