// Comparison of texts without regard to letter case, shared by the considered
// buildings of a village and the candidate list of the selection dialog and
// the overview import.
#include "TextCompare.h"

int CompareText(QStringView a, QStringView b)
{
    // Qt folds the case of each character (independent of the locale) and
    // then compares by code unit, so a blank sorts before digits.
    return a.compare(b, Qt::CaseInsensitive);
}
