// What the village page's input fields take, as rules on the whole text (so
// that a paste is judged like typing): the level field one or two digits,
// a stock digits only, an income digits with an optional leading minus;
// every number within 32 bits. The empty text is taken (it counts as 0, or
// as level 1). The page's validators and the resource model use them; a
// refused input is dropped with the warning sound.
#pragma once

#include <QStringView>

bool AcceptMainLevelText(QStringView text);
bool AcceptStockText(QStringView text);
// A lone "-" is taken as the start of a negative income.
bool AcceptIncomeText(QStringView text);
