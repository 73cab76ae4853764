// The program's icon for its windows and its tray icon: the PNG sizes
// rendered from packaging/jorlivaronmng.svg (tools/make-icons.sh), kept in
// the program's resources, so that no image plug-in is loaded to show it.
#pragma once

#include <QIcon>

QIcon ProgramIcon();
