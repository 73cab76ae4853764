// JorLivaronMng: a planner for players of the browser game Ливарон.
// The entry point is the start-up sequence: the application with its
// metadata and command line, one running program per user (a later start
// hands its files to it and ends), the catalog beside the executable, and
// only with a usable catalog the main window, which opens the last session's
// villages and the files named on the command line.

#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "app/VillageRecovery.h"
#include "base/MessageSeam.h"
#include "app/StartUp.h"
#include "catalog/dm_ListObjects.h"
#include "ui/widgets/ProgramIcon.h"
#include "ui/widgets/UiSeams.h"
#include "ui/main/f_Main.h"
#include "base/SettingsSeam.h"

#include <QApplication>

#include <cstdio>

namespace {

// The name, version, menu entry and icon by which the desktop knows the
// program; what it remembers goes to the user's settings file.
void SetDesktopIdentity()
{
    SetApplicationMetadata();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.jorlivaron.JorLivaronMng"));
    QApplication::setWindowIcon(ProgramIcon());
    SetSettingsFile(UserSettingsFile());
    SetRecoveryFolder(TRecoveryStore::DefaultFolder());
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

// The command line as the program was given it, before the application
// object has taken the toolkit's own options out of it.
QStringList RawArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    // --help, --version and a wrong option answer before the application
    // object is made, so that they work without a display and never reach a
    // running program.
    SetApplicationMetadata();
    const TCommandLine early = ReadCommandLine(WithoutToolkitOptions(RawArguments(argc, argv)));
    if (early.ExitNow) {
        ActOnCommandLine(early);
        return early.ExitStatus;
    }

    QApplication app(argc, argv);
    // The interface is Russian, so the toolkit's own dialogs speak Russian
    // too, whatever the system's language.
    InstallQtTranslation();
    SetDesktopIdentity();
    const TCommandLine commandLine = ReadCommandLine(QCoreApplication::arguments());
    if (!ActOnCommandLine(commandLine))
        return commandLine.ExitStatus;
    UiSeams::InstallMessageBoxes();
    // The process-level tests answer the program's questions (UiSeams.h).
    if (qEnvironmentVariableIsSet("JOR_TEST_ANSWERS"))
        UiSeams::InstallScriptedAnswers(qEnvironmentVariable("JOR_TEST_ANSWERS"));

    // A program of this user runs already: it opens the files (or shows
    // itself), and this start ends.
    TSingleInstance instance;
    switch (instance.Start(commandLine.Files)) {
    case TInstanceRole::Forwarded:
        return 0;
    case TInstanceRole::Failed:
        ShowMessage(TMessageKind::Error, instance.Error());
        return 1;
    case TInstanceRole::Alone:
        // No private folder for the socket: said once, and the program runs.
        ShowMessage(TMessageKind::Warning, instance.Error());
        break;
    case TInstanceRole::Primary:
        break;
    }

    return RunStartUp(QCoreApplication::applicationFilePath(), [&commandLine, &instance] {
        TFormMain window(*dmListObj);
        // Told to end by the system (logout, shutdown, kill): at once, the
        // unwritten villages kept for the next start. Ctrl+C in a terminal:
        // as Файл → Выход.
        TQuitSignals quitSignals;
        QObject::connect(&quitSignals, &TQuitSignals::EndRequested, &window, &TFormMain::EndAtOnce);
        QObject::connect(&quitSignals, &TQuitSignals::QuitRequested, &window, &TFormMain::QuitProgram);
        QObject::connect(&instance, &TSingleInstance::FilesReceived, &window, [&window](const QStringList &files) {
            // The files that are not there are named together, in one box.
            const QStringList missing = TSingleInstance::MissingFiles(files);
            QStringList present = files;
            present.removeIf([&missing](const QString &file) { return missing.contains(file); });
            window.OpenFiles(present);
            window.ShowWindow();
            if (!missing.isEmpty())
                ShowMessage(TMessageKind::Error, TSingleInstance::MissingFilesMessage(missing));
        });
        window.show();
        window.RestoreSession();
        window.OfferRecovery();
        window.OpenFiles(commandLine.Files);
        return QApplication::exec();
    });
}
