// The undo stacks of the villages: one QUndoStack per village page, fed by
// the village's history (src/app/VillageHistory) with one command per step.
// Undo writes the step's "before" state back, redo its "after" state; typing
// in the name, the main level or the comments merges into one step while
// the same field goes on changing.
//
// The village page makes its stack; the main window's "Правка" menu follows
// the stack of the active page through a QUndoGroup.
#pragma once

#include "app/VillageHistory.h"

#include <QUndoCommand>

class QUndoStack;

class TVillageUndoCommand : public QUndoCommand
{
public:
    TVillageUndoCommand(TVillageHistory &history, const TVillageStep &step);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    TVillageHistory &m_History;
    TVillageStep m_Step;
    // The step is made already when the command is pushed.
    bool m_Done = true;
};

// A stack that takes every step of the history and is cleared when the
// history forgets its steps (Open).
QUndoStack *MakeVillageUndoStack(TVillageHistory &history, QObject *parent);
