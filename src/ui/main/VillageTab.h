// One tab of the main window. It holds its village's document and undo
// stack from the start, and makes the village page (TFormVillage) only the
// first time the tab is shown, or when a command asks for the page (a tab
// shown with the window at start makes it at the next pass of the event
// loop, so that files opened right after leave it unmade when they take
// their own tab forward). A
// village whose tab has not been shown thus costs no controls: its
// document ticks, notifies and saves as any other.
#pragma once

#include "record/VillageFile.h"

#include <QWidget>

class QUndoStack;
class QVBoxLayout;
class TFormVillage;
class TVillageDocument;

class TVillageTab : public QWidget
{
    Q_OBJECT

public:
    explicit TVillageTab(TVillageDocument &document, QWidget *parent = nullptr);
    ~TVillageTab() override;

    TVillageDocument &Document() const { return m_Document; }
    // The village's undo stack: one step per change the player makes,
    // whether the page exists or not.
    QUndoStack *UndoStack() const { return m_UndoStack; }

    // The page, made now when it was not made before.
    TFormVillage *Page();
    // The page when it has been made; null before.
    TFormVillage *BuiltPage() const { return m_Page; }

    // Reads the village from its file name; a page already made shows
    // what the file resumed or could not understand.
    TFileResult LoadFromFile();

signals:
    // The page has just been made.
    void PageBuilt(TFormVillage *page);

protected:
    void showEvent(QShowEvent *event) override;

private:
    TVillageDocument &m_Document;
    QUndoStack *m_UndoStack = nullptr;
    QVBoxLayout *m_Layout = nullptr;
    TFormVillage *m_Page = nullptr;
};
