// Colours that read on the palette in use; see ReadableColours.h.
#include "ui/widgets/ReadableColours.h"

#include <algorithm>
#include <cmath>

namespace ReadableColours {

namespace {

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// The colours the roles want, before they are fitted to a background: the
// shortage red of the design, the refusal red, and the storage cells' amber
// and red (deeper in a dark scheme, so that a cell does not glare).
const QColor ShortageRed(255, 0, 0);
const QColor RefusalRed(0xc6, 0x28, 0x28);
const QColor AmberLight(0xff, 0xc1, 0x07);
const QColor AmberDark(0x8c, 0x66, 0x00);
const QColor FullRedLight(0xe5, 0x39, 0x35);
const QColor FullRedDark(0x9b, 0x1c, 0x1c);

// A background of its own: the text black or white, whichever reads better;
// the background moved away from the text if even that is not enough.
TTextLook OnOwnBackground(const QColor &background)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor text = ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
    return {text, ReadableOn(background, text)};
}

} // namespace

double Luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor &first, const QColor &second)
{
    const double a = Luminance(first);
    const double b = Luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool IsDark(const QPalette &palette)
{
    return Luminance(palette.color(QPalette::Text)) > Luminance(palette.color(QPalette::Base));
}

QColor ReadableOn(const QColor &wanted, const QColor &background, double minimum)
{
    if (ContrastRatio(wanted, background) >= minimum)
        return wanted;
    // Towards white or black, whichever stands further from the background;
    // one of them reaches 4.5:1 against any colour, so the walk ends there at
    // the latest.
    const bool lighter = ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background);
    const QColor hsl = wanted.toHsl();
    const float hue = std::max(0.0f, hsl.hslHueF());
    const float saturation = hsl.hslSaturationF();
    float lightness = hsl.lightnessF();
    QColor candidate = wanted;
    for (int step = 0; step < 100 && ContrastRatio(candidate, background) < minimum; ++step) {
        lightness = std::clamp(lightness + (lighter ? 0.01f : -0.01f), 0.0f, 1.0f);
        candidate = QColor::fromHslF(hue, saturation, lightness).toRgb();
    }
    return candidate;
}

QDebug operator<<(QDebug debug, TColourRole role)
{
    QDebugStateSaver saver(debug);
    switch (role) {
    case TColourRole::Shortage:
        return debug.nospace() << "Shortage";
    case TColourRole::StorageNearlyFull:
        return debug.nospace() << "StorageNearlyFull";
    case TColourRole::StorageFull:
        return debug.nospace() << "StorageFull";
    case TColourRole::Refusal:
        return debug.nospace() << "Refusal";
    case TColourRole::Link:
        return debug.nospace() << "Link";
    }
    return debug;
}

TTextLook LookOf(TColourRole role, const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor window = palette.color(QPalette::Window);
    const bool dark = IsDark(palette);
    switch (role) {
    case TColourRole::Shortage:
        return {ReadableOn(ShortageRed, base), base};
    case TColourRole::StorageNearlyFull:
        return OnOwnBackground(dark ? AmberDark : AmberLight);
    case TColourRole::StorageFull:
        return OnOwnBackground(dark ? FullRedDark : FullRedLight);
    case TColourRole::Refusal:
        return {ReadableOn(RefusalRed, window), window};
    case TColourRole::Link:
        return {ReadableOn(palette.color(QPalette::Link), window), window};
    }
    return {palette.color(QPalette::Text), base};
}

} // namespace ReadableColours
