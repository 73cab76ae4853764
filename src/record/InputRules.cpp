// The rules of the village page's number fields.
#include "InputRules.h"

#include "base/WholeNumber.h"

namespace {

bool AllDecimalDigits(QStringView text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < u'0' || ch.unicode() > u'9')
            return false;
    }
    return true;
}

} // namespace

bool AcceptMainLevelText(QStringView text)
{
    return text.size() <= 2 && AllDecimalDigits(text);
}

bool AcceptStockText(QStringView text)
{
    return text.isEmpty() || (AllDecimalDigits(text) && IsWholeNumber(text));
}

bool AcceptIncomeText(QStringView text)
{
    if (text == u"-")
        return true;
    const QStringView digits = text.startsWith(u'-') ? text.mid(1) : text;
    return text.isEmpty() || (!digits.isEmpty() && AllDecimalDigits(digits) && IsWholeNumber(text));
}
