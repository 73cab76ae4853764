// The file commands' questions (TFileQuestions) as the toolkit's dialogs over
// a window, through UiSeams so that GUI tests answer them; the menu of
// recent files and the village files of a drop.
#pragma once

#include "app/FileQuestions.h"

class QMenu;
class QMimeData;
class QWidget;
class TVillageFiles;

// Fills the menu with the recent files, numbered as their keys, each opening
// its file; "(нет)" when there is none.
void FillRecentFilesMenu(QMenu &menu, TVillageFiles &files);

// The local .vlgdat files among dropped URLs.
QStringList DroppedVillageFiles(const QMimeData &data);

class TFileDialogs : public TFileQuestions
{
public:
    explicit TFileDialogs(QWidget *parent) : m_Parent(parent) {}

    QStringList ChooseFilesToOpen() override;
    QString ChooseFileToSave(const QString &title, const QString &presetName) override;
    bool Ask(const QString &question) override;
    int Choose(const QString &question, const QStringList &answers, int defaultAnswer) override;

private:
    QWidget *m_Parent;
};
