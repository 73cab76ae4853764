// Every catalog entry as a check list in the order of the building selection
// dialog (display text, letter case ignored; equal texts in catalog order).
// The selection dialog shows it; the overview import fills and checks it
// without showing it. The checked items become a village's considered
// buildings.
#pragma once

#include "record/VillageData.h"

#include <QList>

class TdmListObj;

enum class TCheckMode { cmCheckAll = 0, cmUncheckAll = 1, cmInvert = 2 };

struct TCandidate
{
    TAvBuildingEntry Entry;
    bool Checked = false;
};

class TCandidateList
{
public:
    // Empties the list, then adds every catalog entry, unchecked, sorted.
    void FillFromCatalog(const TdmListObj &catalog);
    void SetChecks(TCheckMode mode);
    // Checks the first item whose text equals text, letter case ignored;
    // false when no item has that text.
    bool CheckByText(QStringView text);
    void SetChecked(int position, bool checked);

    int Count() const { return int(m_Items.size()); }
    const TCandidate &Item(int position) const { return m_Items.at(position); }
    // The checked items in list order.
    QList<TAvBuildingEntry> CheckedEntries() const;

private:
    QList<TCandidate> m_Items;
};
