// JorLivaronMng: a planner for players of the browser game Ливарон.
// The entry point is the start-up sequence: the application, the catalog
// beside the executable, and only with a usable catalog the main window.

#include "catalog/StartUp.h"
#include "catalog/dm_ListObjects.h"
#include "ui/UiSeams.h"
#include "ui/f_Main.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The interface is Russian, so the toolkit's own dialogs speak Russian
    // too when Qt's translations are installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    UiSeams::InstallMessageBoxes();
    return RunStartUp(QCoreApplication::applicationFilePath(), [] {
        TFormMain window(*dmListObj);
        window.show();
        return QApplication::exec();
    });
}
