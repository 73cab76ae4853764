// The changes a player makes to one village, cut into undo steps. It follows
// the record's announcements and, once per pass of the event loop (or when
// asked), compares the village with the state the last step left: a
// difference is one step, named by what changed or by the command that
// made it ("импорт"). The tick's growth and the catch-up after Open are
// taken in without a step; undo and redo write a state back without one.
//
// The village document owns it; the main window's undo stacks turn its
// steps into QUndoCommands (src/ui/VillageUndo).
#pragma once

#include "record/VillageState.h"

#include <QDateTime>
#include <QObject>

class TVillageData;

// One step: its name and the village's editable fields before and after it.
struct TVillageStep
{
    QString Name;
    TVillageState Before;
    TVillageState After;
    // When it was made (the Clock seam).
    QDateTime Made = {};
};

class TVillageHistory : public QObject
{
    Q_OBJECT

public:
    explicit TVillageHistory(TVillageData &village, QObject *parent = nullptr);

    // Makes the step of whatever changed since the last one, now.
    void Settle();
    // The name of the step the next changes make (until the next Settle).
    void NameNextStep(const QString &name);
    // Takes the village as it stands as the state of the last step, without
    // a step: after the tick's growth.
    void TakeIn();
    // The village is another one now (Open): no step before this undoes
    // into it.
    void Forget();
    // Makes a step of this name from `before` to the village as it stands,
    // taken as the last step's state: a change made while the village was
    // being taken in (a construction that Open found ended).
    void MakeStep(const QString &name, const TVillageState &before);
    // Writes a step's state back (undo, redo); that is no new step.
    void Apply(const TVillageState &state);

    const TVillageState &Settled() const { return m_Settled; }

    // The most steps kept for one village: the oldest go first, so that a
    // page pasted every few seconds for hours does not grow without end.
    static constexpr int StepLimit = 100;
    // How close two imports follow each other to be one step.
    static constexpr qint64 ImportMergeSeconds = 120;
    // Whether later continues earlier as one step: typing in the same field,
    // or another import of the village within ImportMergeSeconds of the
    // last.
    static bool Continues(const TVillageStep &earlier, const TVillageStep &later);

signals:
    void StepMade(const TVillageStep &step);
    // The steps made so far no longer fit the village.
    void Forgotten();
    // A step's state was written back (undo, redo).
    void Applied();

private:
    void ScheduleSettle();

    TVillageData &m_Village;
    TVillageState m_Settled;
    QString m_NextName;
    bool m_SettlePosted = false;
    // Whether the village announced a change since the last step or TakeIn.
    bool m_Changed = false;
};
