// "Экспорт в CSV...": asks for the file (UiSeams::ChooseExportFile) and
// writes the tables' CSV text there as UTF-8 with a byte-order mark; a write
// that fails is shown with its reason and leaves an older file whole.
//
// The main window exports the active village's tables with it, the window
// of all villages its summary.
#pragma once

#include <QString>

class QWidget;

// True when written; false when cancelled or failed (the failure shown).
bool ExportCsv(QWidget *parent, const QString &presetName, const QString &csvText);
