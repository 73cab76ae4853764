// The questions asked before changes are lost: when the main window closes
// with villages whose edits are not written, and when the tab of such a
// village closes. Which villages count and what is asked are decided here;
// the main window asks through its seam.
#pragma once

#include <QList>
#include <QString>

class TVillageData;
class TVillageDocument;

// "Не сохранены деревни: «A», «B». Закрыть программу без сохранения?" naming
// every village with unwritten edits (TVillageDocument::HasUnwrittenEdits)
// in the given order; empty when there is none.
QString CloseProgramQuestion(const QList<const TVillageDocument *> &villages);

// "Деревня «X» не сохранена. Закрыть вкладку без сохранения?"; empty when
// the village has no unwritten edits.
QString CloseTabQuestion(const TVillageDocument &village);

// How a village is named in these questions: its name in «», or "без
// названия" for a village without one.
QString VillageNameInQuestion(const TVillageData &village);
