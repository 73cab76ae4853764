// The key filters of the village page's level field and resource cells, as
// pure functions of the typed character.
#include "KeyFilters.h"

namespace {

constexpr char16_t Backspace = u'\b';
constexpr char16_t Enter = u'\r';

bool IsDecimalDigit(QChar ch)
{
    return ch.unicode() >= u'0' && ch.unicode() <= u'9';
}

} // namespace

bool AcceptMainLevelKey(QChar ch)
{
    return IsDecimalDigit(ch) || ch.unicode() == Backspace;
}

bool AcceptResourceKey(QChar ch)
{
    return IsDecimalDigit(ch) || ch.unicode() == Backspace || ch.unicode() == Enter;
}
