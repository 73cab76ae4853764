// Which typed characters the village page's input fields accept. The page
// drops a refused character with the system's warning sound.
#pragma once

#include <QChar>

// The main-building level field: digits and Backspace.
bool AcceptMainLevelKey(QChar ch);

// The stock and production cells: digits, Backspace and Enter.
bool AcceptResourceKey(QChar ch);
