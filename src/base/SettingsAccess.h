// Whether the settings file can be used: read at start, written at exit.
// When it cannot (a file without read access, a folder in its place, a
// folder that cannot be written), the program says so once per run, so that
// the player knows that the session and the settings will not be kept. The
// main window asks when it opens the session and when it closes.
#pragma once

#include <QString>

// Why the settings file at path cannot be read or written; empty when it
// can (also when it does not exist yet and can be made).
QString SettingsProblem(const QString &path);

// "Настройки недоступны: <problem>; сессия и настройки не сохранятся."
QString SettingsProblemMessage(const QString &problem);

// Looks at the settings file in use (none: nothing to say) and shows the
// message through the message seam, once per run; true when it was shown
// now.
bool ReportSettingsProblemOnce();
// Lets the next call report again (tests).
void ResetSettingsProblemReport();
