// The start-up sequence of the program: the application's metadata, the
// command line, then the catalog owner and the catalog that lies beside the
// executable, and only when that succeeds the main window. The window part
// is passed in, so that this sequence stays free of widgets and can be run by
// tests against any executable path and command line.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Sets the application's name, version and organisation (the settings file
// and the --version text follow them).
void SetApplicationMetadata();

// What the command line asks for: village files to open (made absolute
// against the current folder), or an end at once with a text for standard
// output (--help, --version) or standard error (an unknown option).
struct TCommandLine
{
    QStringList Files;
    bool ExitNow = false;
    int ExitStatus = 0;
    QString Output;
    QString Error;
};

// arguments as QCoreApplication::arguments() gives them, the program first.
TCommandLine ReadCommandLine(const QStringList &arguments);

// The command line without the options the toolkit takes for itself
// ("-platform offscreen", "-style=fusion", "--reverse" ...), as the
// application object would leave it: so that the program's own options, a
// wrong one included, are answered before a display is needed.
QStringList WithoutToolkitOptions(const QStringList &arguments);

// Returns the program's exit status: 1 when the catalog could not be loaded,
// otherwise what runMainWindow returns.
int RunStartUp(const QString &exePath, const std::function<int()> &runMainWindow);

// Installs Qt's own Russian translation (qtbase_ru), so that the toolkit's
// buttons, file dialogs and messages speak Russian whatever the system's
// language. Looked for in Qt's translations folder, then in a folder
// "translations" beside the executable. Installed once per application;
// true when it is installed.
bool InstallQtTranslation();
