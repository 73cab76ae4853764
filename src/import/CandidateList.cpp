// The check list of every catalog entry behind the building selection dialog
// and the overview import.
#include "CandidateList.h"

#include "base/TextCompare.h"
#include "catalog/dm_ListObjects.h"

#include <algorithm>

void TCandidateList::FillFromCatalog(const TdmListObj &catalog)
{
    m_Items.clear();
    const qint32 count = catalog.Count();
    m_Items.reserve(count);
    for (qint32 index = 0; index < count; ++index)
        m_Items.append(TCandidate{TAvBuildingEntry{catalog.Object(index).DisplayText(), index}, false});
    // Stable, so that equal texts keep their catalog order.
    std::stable_sort(m_Items.begin(), m_Items.end(), [](const TCandidate &a, const TCandidate &b) {
        return TextLess(a.Entry.Text, b.Entry.Text);
    });
}

void TCandidateList::SetChecks(TCheckMode mode)
{
    for (TCandidate &item : m_Items) {
        switch (mode) {
        case TCheckMode::cmCheckAll:
            item.Checked = true;
            break;
        case TCheckMode::cmUncheckAll:
            item.Checked = false;
            break;
        case TCheckMode::cmInvert:
            item.Checked = !item.Checked;
            break;
        default:
            // Any other mode value changes nothing.
            return;
        }
    }
}

bool TCandidateList::CheckByText(QStringView text)
{
    // The list is sorted by the same comparison, so the first equal item is
    // found by halving: the import checks one item per building of a long
    // pasted line, against a catalog of any size.
    const auto first = std::lower_bound(m_Items.begin(), m_Items.end(), text,
                                        [](const TCandidate &item, QStringView wanted) {
                                            return TextLess(item.Entry.Text, wanted);
                                        });
    if (first == m_Items.end() || !SameText(first->Entry.Text, text))
        return false;
    first->Checked = true;
    return true;
}

void TCandidateList::SetChecked(int position, bool checked)
{
    if (position >= 0 && position < m_Items.size())
        m_Items[position].Checked = checked;
}

QList<TAvBuildingEntry> TCandidateList::CheckedEntries() const
{
    QList<TAvBuildingEntry> entries;
    for (const TCandidate &item : m_Items) {
        if (item.Checked)
            entries.append(item.Entry);
    }
    return entries;
}
