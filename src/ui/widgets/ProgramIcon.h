// The program's icon for its windows and its tray icon: the PNG sizes
// rendered from packaging/jorlivaronmng.svg (tools/make-icons.sh), kept in
// the program's resources, so that no image plug-in is loaded to show it.
// A size is read when it is first drawn, and only the one that serves
// (the program starts without reading any where nothing shows its icon).
#pragma once

#include <QIcon>

QIcon ProgramIcon();
