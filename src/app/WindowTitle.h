// The main window's title: the active village's name and file, then the
// program's caption, with Qt's "[*]" placeholder where the marker for changes
// not yet written appears. Used by the main window whenever the tab, the name,
// the file or the changed state of the active village changes.
#pragma once

#include <QString>

// The program's caption, the title's last part.
extern const QString ProgramCaption;

// "Северная — Северная.vlgdat[*] — Менеджер для игры Ливарон"; the name or the
// file is left out when empty, and with neither the caption alone carries the
// placeholder. fileName may be a full path: only its last part is shown. A
// "[*]" inside the name or the file name is shown as it stands.
QString WindowTitle(const QString &villageName, const QString &fileName);
