// The seams through which the windows ask the user something: message boxes,
// yes/no questions and file dialogs. The program uses the toolkit's modal
// dialogs; GUI tests replace them so that nothing blocks.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace UiSeams {

// Each Set...Handler installs a replacement and returns the one it replaces;
// an empty function brings back the toolkit's dialog.

// Routes the logic's messages (MessageSeam) to QMessageBox.
void InstallMessageBoxes();

// The answers of a question; a question names the one its default button
// gives (Enter). Esc always answers "Нет".
enum class TAnswer { Yes, No };

// Asks a question with the buttons "Да" and "Нет"; true for "Да".
using TAskHandler = std::function<bool(QWidget *parent, const QString &question, TAnswer defaultAnswer)>;
TAskHandler SetAskHandler(TAskHandler handler);
bool Ask(QWidget *parent, const QString &question, TAnswer defaultAnswer);

// Asks a question with buttons of its own (answers, in their order): the
// position of the answer. Enter and Esc give defaultAnswer.
using TChooseHandler = std::function<int(QWidget *parent, const QString &question, const QStringList &answers,
                                         int defaultAnswer)>;
TChooseHandler SetChooseHandler(TChooseHandler handler);
int Choose(QWidget *parent, const QString &question, const QStringList &answers, int defaultAnswer);

// For the process-level tests only, which cannot click a box of another
// process: the program installs this when the environment variable
// JOR_TEST_ANSWERS is set (main.cpp). Every message and question is then
// written to standard error, one line each ("message: ..." and "question:
// ..."), instead of shown; each question takes the next of the answers
// (separated by "|", the button's text: "Да", "Восстановить", ...), or its
// default once they are used up; the save dialog writes "save: <title>"
// and is cancelled.
void InstallScriptedAnswers(const QString &answers);

// The open dialog: the chosen files, empty when cancelled.
using TOpenHandler = std::function<QStringList(QWidget *parent)>;
TOpenHandler SetOpenHandler(TOpenHandler handler);
QStringList ChooseFilesToOpen(QWidget *parent);

// The save dialog with its title and preset file name: the chosen path,
// empty when cancelled.
using TSaveHandler = std::function<QString(QWidget *parent, const QString &title, const QString &presetName)>;
TSaveHandler SetSaveHandler(TSaveHandler handler);
QString ChooseFileToSave(QWidget *parent, const QString &title, const QString &presetName);

// The save dialog of "Экспорт в CSV..." with its preset file name (".csv"
// added to a name typed without an extension): the chosen path, empty when
// cancelled.
using TExportHandler = std::function<QString(QWidget *parent, const QString &presetName)>;
TExportHandler SetExportHandler(TExportHandler handler);
QString ChooseExportFile(QWidget *parent, const QString &presetName);

// The system's warning sound for a refused key or a hidden word.
using TBeepHandler = std::function<void()>;
TBeepHandler SetBeepHandler(TBeepHandler handler);
void Beep();

} // namespace UiSeams
