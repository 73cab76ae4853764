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
    // folded character (here its two halves, one unit longer).
    qsizetype pairs = 0;
    char16_t last = 0;
    for (const QChar ch : text) {
        if (ch.isLowSurrogate() && QChar::isHighSurrogate(last))
            ++pairs;
        last = ch.unicode();
    }
    QString folded(text.size() + pairs, Qt::Uninitialized);
    char16_t *target = reinterpret_cast<char16_t *>(folded.data());
    last = 0;
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last)) {
            const char32_t character = QChar::toCaseFolded(QChar::surrogateToUcs4(last, unit));
            *target++ = QChar::highSurrogate(character);
            *target++ = QChar::lowSurrogate(character);
        } else {
            *target++ = char16_t(QChar::toCaseFolded(char32_t(unit)));
        }
        last = unit;
    }
    return folded;
}
