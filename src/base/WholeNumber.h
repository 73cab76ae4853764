// The one rule by which the program reads a number out of a text: cells,
// fields, catalog and village file attributes and pasted text all go through
// ParseWholeNumber. A whole number is optional leading blanks, an optional
// "+" or "-", then decimal digits or one of the prefixes "$", "x", "X", "0x",
// "0X" followed by hexadecimal digits, nothing after, within signed 32 bits.
// An empty text is no whole number.
//
// Also the arithmetic helpers that keep every computation of the program
// free of signed overflow: compute wide, clamp to 32 bits.
#pragma once

#include <QStringView>
#include <QtGlobal>

#include <limits>
#include <optional>

std::optional<qint32> ParseWholeNumber(QStringView text);

// The value of text by ParseWholeNumber, or fallback when it is no whole number.
qint32 WholeNumberOr(QStringView text, qint32 fallback);

inline bool IsWholeNumber(QStringView text)
{
    return ParseWholeNumber(text).has_value();
}

constexpr qint32 ClampToInt32(qint64 value)
{
    if (value > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    if (value < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(value);
}
