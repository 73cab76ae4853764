// Undo commands of a village; see VillageUndo.h.
#include "ui/page/VillageUndo.h"

#include <QUndoStack>

namespace {

// Steps of a typed field: the next one of the same field continues it.
bool IsTypingStep(const QString &name)
{
    return name == u"название" || name == u"уровень главного здания" || name == u"комментарии";
}

constexpr int TypingId = 1;

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
    return IsTypingStep(m_Step.Name) ? TypingId : -1;
}

bool TVillageUndoCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const TVillageUndoCommand *>(other);
    if (next->m_Step.Name != m_Step.Name || &next->m_History != &m_History)
        return false;
    m_Step.After = next->m_Step.After;
    return true;
}

QUndoStack *MakeVillageUndoStack(TVillageHistory &history, QObject *parent)
{
    auto *stack = new QUndoStack(parent);
    QObject::connect(&history, &TVillageHistory::StepMade, stack, [stack, &history](const TVillageStep &step) {
        stack->push(new TVillageUndoCommand(history, step));
    });
    QObject::connect(&history, &TVillageHistory::Forgotten, stack, &QUndoStack::clear);
    return stack;
}
