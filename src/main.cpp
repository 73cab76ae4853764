// JorLivaronMng: a planner for players of the browser game Ливарон.
// The entry point is the start-up sequence: the application with its
// metadata and command line, the catalog beside the executable, and only with
// a usable catalog the main window, which opens the last session's villages
// and the files named on the command line.

#include "catalog/StartUp.h"
#include "catalog/dm_ListObjects.h"
#include "ui/UiSeams.h"
#include "ui/f_Main.h"
#include "base/SettingsSeam.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

namespace {

// The name, version, menu entry and icon by which the desktop knows the
// program; what it remembers goes to the user's settings file.
void SetDesktopIdentity()
{
    SetApplicationMetadata();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.jorlivaron.JorLivaronMng"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/jorlivaronmng.svg")));
    SetSettingsFile(UserSettingsFile());
}

// Prints what --help, --version or a wrong option asks for; false when the
// program is to end at once.
bool ActOnCommandLine(const TCommandLine &commandLine)
{
    if (!commandLine.Output.isEmpty())
        std::fputs(commandLine.Output.toLocal8Bit().constData(), stdout);
    if (!commandLine.Error.isEmpty())
        std::fputs(commandLine.Error.toLocal8Bit().constData(), stderr);
    return !commandLine.ExitNow;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The interface is Russian, so the toolkit's own dialogs speak Russian
    // too, whatever the system's language.
    InstallQtTranslation();
    SetDesktopIdentity();
    const TCommandLine commandLine = ReadCommandLine(QCoreApplication::arguments());
    if (!ActOnCommandLine(commandLine))
        return commandLine.ExitStatus;
    UiSeams::InstallMessageBoxes();
    return RunStartUp(QCoreApplication::applicationFilePath(), [&commandLine] {
        TFormMain window(*dmListObj);
        window.show();
        window.RestoreSession();
        window.OpenFiles(commandLine.Files);
        return QApplication::exec();
    });
}
