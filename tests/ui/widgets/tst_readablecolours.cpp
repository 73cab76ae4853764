// The colours of the program's coloured texts: the contrast ratio as WCAG
// computes it, the walk in lightness that makes a colour read on a
// background, and every coloured role at 4.5:1 or more under light and dark
// palettes, keeping its hue.
#include "ui/widgets/ReadableColours.h"

#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <memory>

using namespace ReadableColours;

namespace {

// A palette of a colour scheme: window, base, text and link colours.
QPalette SchemePalette(const QColor &window, const QColor &base, const QColor &text, const QColor &link)
{
    QPalette palette(text, window, window.lighter(), window.darker(), window.darker(150), text, text, base, window);
    palette.setColor(QPalette::Link, link);
    return palette;
}

QPalette FusionPalette()
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

} // namespace

class TestReadableColours : public QObject
{
    Q_OBJECT

private slots:
    void ContrastRatioOfTwoColours_data();
    void ContrastRatioOfTwoColours();
    void ReadableOnKeepsHueAndReachesTheContrast_data();
    void ReadableOnKeepsHueAndReachesTheContrast();
    void EveryRoleReadsUnderEveryPalette_data();
    void EveryRoleReadsUnderEveryPalette();
    void DarkPalettesAreTold_data();
    void DarkPalettesAreTold();
};

void TestReadableColours::ContrastRatioOfTwoColours_data()
{
    QTest::addColumn<QColor>("first");
    QTest::addColumn<QColor>("second");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black on white, the most") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
    QTest::newRow("a colour on itself, the least") << QColor(0x33, 0x66, 0x99) << QColor(0x33, 0x66, 0x99) << 1.0;
    QTest::newRow("order does not matter") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
    // Figures of WCAG's own examples.
    QTest::newRow("#777 on white just below AA") << QColor(0x77, 0x77, 0x77) << QColor(Qt::white) << 4.48;
    QTest::newRow("pure red on white below AA") << QColor(255, 0, 0) << QColor(Qt::white) << 4.0;
    QTest::newRow("pure blue on a dark base") << QColor(0, 0, 255) << QColor(0x2a, 0x2a, 0x2a) << 1.67;
}

void TestReadableColours::ContrastRatioOfTwoColours()
{
    QFETCH(QColor, first);
    QFETCH(QColor, second);
    QFETCH(double, ratio);
    QVERIFY2(std::abs(ContrastRatio(first, second) - ratio) < 0.01,
             qPrintable(QString::number(ContrastRatio(first, second))));
}

void TestReadableColours::ReadableOnKeepsHueAndReachesTheContrast_data()
{
    QTest::addColumn<QColor>("wanted");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("unchanged");
    QTest::newRow("dark red on white stays") << QColor(0xb0, 0, 0) << QColor(Qt::white) << true;
    QTest::newRow("pure red on white darkens") << QColor(255, 0, 0) << QColor(Qt::white) << false;
    QTest::newRow("pure red on a dark base lightens") << QColor(255, 0, 0) << QColor(0x2a, 0x2a, 0x2a) << false;
    QTest::newRow("blue on near black lightens") << QColor(0, 0, 255) << QColor(0x10, 0x10, 0x10) << false;
    QTest::newRow("gold on white darkens") << QColor(0xd4, 0xa0, 0x17) << QColor(Qt::white) << false;
    QTest::newRow("grey on mid grey, towards black") << QColor(0x80, 0x80, 0x80) << QColor(0x99, 0x99, 0x99)
                                                     << false;
}

void TestReadableColours::ReadableOnKeepsHueAndReachesTheContrast()
{
    QFETCH(QColor, wanted);
    QFETCH(QColor, background);
    QFETCH(bool, unchanged);
    const QColor readable = ReadableOn(wanted, background);
    QVERIFY2(ContrastRatio(readable, background) >= TextContrast, qPrintable(readable.name()));
    QCOMPARE(readable == wanted, unchanged);
    if (wanted.hslHue() >= 0 && readable.hslSaturation() > 0)
        QVERIFY2(std::abs(readable.hslHue() - wanted.hslHue()) <= 2, qPrintable(readable.name()));
}

void TestReadableColours::EveryRoleReadsUnderEveryPalette_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<TColourRole>("role");
    // Light: the toolkit's own; dark: the colours of common dark schemes,
    // one of them keeping the light scheme's blue link.
    const QList<QPair<QByteArray, QPalette>> palettes{
        {"Fusion light", FusionPalette()},
        {"white on black", SchemePalette(Qt::black, Qt::black, Qt::white, QColor(0, 0, 255))},
        {"Breeze Dark", SchemePalette(QColor(0x2a, 0x2e, 0x32), QColor(0x1b, 0x1e, 0x20), QColor(0xfc, 0xfc, 0xfc),
                                      QColor(0x1d, 0x99, 0xf3))},
        {"Adwaita dark, blue link", SchemePalette(QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a),
                                                  QColor(0xee, 0xee, 0xec), QColor(0, 0, 255))},
        {"light grey window", SchemePalette(QColor(0xd6, 0xd6, 0xd6), QColor(0xf4, 0xf4, 0xf4), Qt::black,
                                            QColor(0x29, 0x80, 0xb9))},
    };
    const QList<QPair<QByteArray, TColourRole>> roles{
        {"shortage", TColourRole::Shortage},   {"storage nearly full", TColourRole::StorageNearlyFull},
        {"storage full", TColourRole::StorageFull}, {"refusal", TColourRole::Refusal},
        {"link", TColourRole::Link},
    };
    for (const auto &[paletteName, palette] : palettes)
        for (const auto &[roleName, role] : roles)
            QTest::newRow(paletteName + ": " + roleName) << palette << role;
}

void TestReadableColours::EveryRoleReadsUnderEveryPalette()
{
    QFETCH(QPalette, palette);
    QFETCH(TColourRole, role);
    const TTextLook look = LookOf(role, palette);
    const double ratio = ContrastRatio(look.Text, look.Background);
    QVERIFY2(ratio >= TextContrast, qPrintable(QStringLiteral("%1 on %2: %3")
                                                   .arg(look.Text.name(), look.Background.name())
                                                   .arg(ratio)));
    // Texts on the palette's own background use that background.
    if (role == TColourRole::Shortage)
        QCOMPARE(look.Background, palette.color(QPalette::Base));
    if (role == TColourRole::Refusal || role == TColourRole::Link)
        QCOMPARE(look.Background, palette.color(QPalette::Window));
    // A red stays red, whatever the scheme.
    if (role == TColourRole::Shortage || role == TColourRole::Refusal || role == TColourRole::StorageFull) {
        const QColor red = role == TColourRole::StorageFull ? look.Background : look.Text;
        QVERIFY2(red.hslHue() <= 10 || red.hslHue() >= 350, qPrintable(red.name()));
        QVERIFY2(red.hslSaturation() > 100, qPrintable(red.name()));
    }
}

void TestReadableColours::DarkPalettesAreTold_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("dark");
    QTest::newRow("Fusion light") << FusionPalette() << false;
    QTest::newRow("Breeze Dark") << SchemePalette(QColor(0x2a, 0x2e, 0x32), QColor(0x1b, 0x1e, 0x20),
                                                  QColor(0xfc, 0xfc, 0xfc), QColor(0x1d, 0x99, 0xf3))
                                 << true;
}

void TestReadableColours::DarkPalettesAreTold()
{
    QFETCH(QPalette, palette);
    QFETCH(bool, dark);
    QCOMPARE(IsDark(palette), dark);
}

QTEST_MAIN(TestReadableColours)
#include "tst_readablecolours.moc"
