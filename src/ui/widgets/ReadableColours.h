// The colours of the program's coloured texts, chosen against the palette in
// use so that each keeps a contrast of at least 4.5:1 (WCAG AA) against what
// it is drawn on, in light and dark colour schemes alike: the contrast ratio
// of two colours, a colour moved in lightness (its hue kept) until it reads
// on a background, and the look of each coloured role of the program.
//
// Used by the available table's shortage look, the stock cells of a full
// storage, the import dialog's refusal text, the About box's links and the
// queue chart.
#pragma once

#include <QColor>
#include <QDebug>
#include <QPalette>

namespace ReadableColours {

// WCAG AA for text, and for graphical objects such as the chart's lines.
constexpr double TextContrast = 4.5;
constexpr double GraphicsContrast = 3.0;

// The relative luminance of a colour (0 black, 1 white) as WCAG defines it.
double Luminance(const QColor &colour);

// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(const QColor &first, const QColor &second);

// Whether a palette is a dark one: its text lighter than its base.
bool IsDark(const QPalette &palette);

// `wanted` when it reads on `background` with at least `minimum`; else the
// colour of its hue and saturation nearest in lightness that does (lighter
// on a dark background, darker on a light one).
QColor ReadableOn(const QColor &wanted, const QColor &background, double minimum = TextContrast);

// The coloured texts of the program.
enum class TColourRole {
    Shortage,          // a cost above the stock, in the available table
    StorageNearlyFull, // a stock cell whose storage is full within the hour
    StorageFull,       // a stock cell whose storage is full
    Refusal,           // why the import dialog does not take the text
    Link,              // the About box's addresses
};

QDebug operator<<(QDebug debug, TColourRole role);

// A text colour and what it is drawn on.
struct TTextLook
{
    QColor Text;
    QColor Background;

    friend bool operator==(const TTextLook &, const TTextLook &) = default;
};

// The look of a role under a palette: on the palette's base (tables) or
// window (dialogs), or on a background of its own (the storage cells).
TTextLook LookOf(TColourRole role, const QPalette &palette);

} // namespace ReadableColours
