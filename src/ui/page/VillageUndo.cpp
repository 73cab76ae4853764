// Undo commands of a village; see VillageUndo.h.
#include "ui/page/VillageUndo.h"

#include <QUndoStack>

namespace {

// Steps that may continue one another (TVillageHistory::Continues).
constexpr int ContinuingId = 1;

} // namespace

TVillageUndoCommand::TVillageUndoCommand(TVillageHistory &history, const TVillageStep &step)
    : QUndoCommand(step.Name), m_History(history), m_Step(step)
{
}

void TVillageUndoCommand::undo()
{
    m_History.Apply(m_Step.Before);
    m_Done = false;
}

void TVillageUndoCommand::redo()
{
    if (m_Done)
        return;
    m_History.Apply(m_Step.After);
    m_Done = true;
}

int TVillageUndoCommand::id() const
{
    return ContinuingId;
}

bool TVillageUndoCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const TVillageUndoCommand *>(other);
    if (&next->m_History != &m_History || !TVillageHistory::Continues(m_Step, next->m_Step))
        return false;
    m_Step.After = next->m_Step.After;
    m_Step.Made = next->m_Step.Made;
    return true;
}

QUndoStack *MakeVillageUndoStack(TVillageHistory &history, QObject *parent)
{
    auto *stack = new QUndoStack(parent);
    stack->setUndoLimit(TVillageHistory::StepLimit);
    QObject::connect(&history, &TVillageHistory::StepMade, stack, [stack, &history](const TVillageStep &step) {
        stack->push(new TVillageUndoCommand(history, step));
    });
    QObject::connect(&history, &TVillageHistory::Forgotten, stack, &QUndoStack::clear);
    return stack;
}
