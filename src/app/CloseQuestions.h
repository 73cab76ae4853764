// The questions asked before changes are lost: when the main window closes
// with villages that are not safely stored, and when the tab of such a
// village closes. Which villages count and what is asked are decided here;
// the main window asks through its seam.
#pragma once

#include <QList>
#include <QString>

class TVillageData;

// "Не сохранены деревни: «A», «B». Закрыть программу без сохранения?" naming
// every unsaved village (TVillageData::IsUnsaved) in the given order; empty
// when none is unsaved.
QString CloseProgramQuestion(const QList<const TVillageData *> &villages);

// "Деревня «X» не сохранена. Закрыть вкладку без сохранения?"; empty when
// the village is not unsaved.
QString CloseTabQuestion(const TVillageData &village);

// How a village is named in these questions: its name in «», or "без
// названия" for a village without one.
QString VillageNameInQuestion(const TVillageData &village);
