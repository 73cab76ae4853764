// What the file commands ask the player: the files to open, the file to save
// to, a yes/no question and a choice among named answers. The main window
// answers with the toolkit's dialogs; core tests answer from a script.
// Messages that need no answer go through MessageSeam.
#pragma once

#include <QString>
#include <QStringList>

class TFileQuestions
{
public:
    virtual ~TFileQuestions() = default;

    // Empty when cancelled.
    virtual QStringList ChooseFilesToOpen() = 0;
    // The save dialog with its title and preset name; empty when cancelled.
    virtual QString ChooseFileToSave(const QString &title, const QString &presetName) = 0;
    // A question whose default (Enter, Esc) is "Нет"; true for "Да".
    virtual bool Ask(const QString &question) = 0;
    // The position of the chosen answer; Enter and Esc give defaultAnswer.
    virtual int Choose(const QString &question, const QStringList &answers, int defaultAnswer) = 0;
};
