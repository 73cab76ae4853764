// The start-up sequence of the program: create the catalog owner, load the
// catalog that lies beside the executable, and only when that succeeds run
// the main window. The window part is passed in, so that this sequence stays
// free of widgets and can be run by tests against any executable path.
#pragma once

#include <QString>

#include <functional>

// Returns the program's exit status: 1 when the catalog could not be loaded,
// otherwise what runMainWindow returns.
int RunStartUp(const QString &exePath, const std::function<int()> &runMainWindow);

// Installs Qt's own Russian translation (qtbase_ru), so that the toolkit's
// buttons, file dialogs and messages speak Russian whatever the system's
// language. Looked for in Qt's translations folder, then in a folder
// "translations" beside the executable. Installed once per application;
// true when it is installed.
bool InstallQtTranslation();
