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

QString FoldedText(QStringView text)
{
    // As Qt's comparison folds: a unit at a time, the high half of a
    // surrogate pair standing for itself and the low half for the whole
    // folded character (here its two halves).
    QString folded;
    folded.reserve(text.size());
    char16_t last = 0;
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last)) {
            const char32_t character = QChar::toCaseFolded(QChar::surrogateToUcs4(last, unit));
            folded.append(QChar(QChar::highSurrogate(character)));
            folded.append(QChar(QChar::lowSurrogate(character)));
        } else {
            folded.append(QChar(char16_t(QChar::toCaseFolded(char32_t(unit)))));
        }
        last = unit;
    }
    return folded;
}
