// The undo steps of one village; see VillageHistory.h.
#include "VillageHistory.h"

#include "base/Clock.h"

#include "record/VillageData.h"

#include "base/NextPass.h"

TVillageHistory::TVillageHistory(TVillageData &village, QObject *parent)
    : QObject(parent), m_Village(village), m_Settled(TakeVillageState(village))
{
    for (const auto signal : {&TVillageData::ResourcesChanged, &TVillageData::AvBuildingsChanged,
                              &TVillageData::CommentsChanged, &TVillageData::QueueChanged, &TVillageData::DeliveriesChanged,
                              &TVillageData::ConstructionChanged})
        connect(&village, signal, this, &TVillageHistory::ScheduleSettle);
    connect(&village, &TVillageData::NameChanged, this, &TVillageHistory::ScheduleSettle);
    connect(&village, &TVillageData::RaceChanged, this, &TVillageHistory::ScheduleSettle);
    connect(&village, &TVillageData::MainLevelChanged, this, &TVillageHistory::ScheduleSettle);
    connect(&village, &TVillageData::ServerSpeedChanged, this, &TVillageHistory::ScheduleSettle);
    connect(&village, &TVillageData::BuiltChanged, this, &TVillageHistory::ScheduleSettle);
    connect(&village, &TVillageData::CoordinatesChanged, this, &TVillageHistory::ScheduleSettle);
    connect(&village, &TVillageData::TradersChanged, this, &TVillageHistory::ScheduleSettle);
}

void TVillageHistory::ScheduleSettle()
{
    m_Changed = true;
    if (m_SettlePosted)
        return;
    m_SettlePosted = true;
    CallAtNextPass(this, [this] { Settle(); });
}

void TVillageHistory::Settle()
{
    m_SettlePosted = false;
    // Nothing announced since the last step (the tick's growth is taken in
    // without one): nothing to compare.
    if (!m_Changed)
        return;
    m_Changed = false;
    TVillageState current = TakeVillageState(m_Village);
    if (current == m_Settled)
        return;
    QString name = StepName(m_Settled, current);
    if (!name.isEmpty() && !m_NextName.isEmpty())
        name = m_NextName;
    m_NextName.clear();
    TVillageStep step{name, std::move(m_Settled), current, CurrentDateTime()};
    m_Settled = std::move(current);
    if (!step.Name.isEmpty())
        emit StepMade(step);
}

void TVillageHistory::NameNextStep(const QString &name)
{
    m_NextName = name;
}

void TVillageHistory::TakeIn()
{
    m_Settled = TakeVillageState(m_Village);
    m_Changed = false;
}

void TVillageHistory::Forget()
{
    m_NextName.clear();
    TakeIn();
    emit Forgotten();
}

void TVillageHistory::MakeStep(const QString &name, const TVillageState &before)
{
    TakeIn();
    if (before == m_Settled)
        return;
    emit StepMade({name, before, m_Settled});
}

void TVillageHistory::Apply(const TVillageState &state)
{
    ApplyVillageState(m_Village, state);
    TakeIn();
    emit Applied();
}

bool TVillageHistory::Continues(const TVillageStep &earlier, const TVillageStep &later)
{
    if (earlier.Name != later.Name)
        return false;
    if (earlier.Name == u"название" || earlier.Name == u"уровень главного здания" || earlier.Name == u"комментарии")
        return true;
    return earlier.Name == u"импорт" && earlier.Made.isValid() && later.Made.isValid()
        && earlier.Made.secsTo(later.Made) >= 0 && earlier.Made.secsTo(later.Made) <= ImportMergeSeconds;
}
