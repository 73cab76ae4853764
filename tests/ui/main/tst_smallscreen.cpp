// Small and scaled screens: the fitting of a window to a screen's available
// area, and the main window on a 1920 × 1080 screen at 200 % (960 × 540
// logical pixels; the offscreen platform is given that screen by the test's
// configuration file): it lies on the screen with its menu bar, keeps five
// rows in its tables and gives the chart a plot that can be read.
#include "TestSupport.h"

#include "ui/chart/QueueChart.h"
#include "ui/chart/QueueChartLoader.h"
#include "ui/widgets/ScreenFit.h"
#include "ui/main/f_Main.h"
#include "ui/page/f_Village.h"
#include "base/SettingsSeam.h"

#include <QAction>
#include <QChart>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QTableView>
#include <QValueAxis>

class TestSmallScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fitClientSize_data();
    void fitClientSize();
    void fitClientGeometry_data();
    void fitClientGeometry();
    void windowLiesOnTheScreen();
    void chartAndTablesStayReadable();

private:
    static void VerifyOnScreen(const TFormMain &window);

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    QString m_PreviousSettings;
};

void TestSmallScreen::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    // The chart linked in, rather than the plug-in beside the program.
    SetQueueChartFactory(&TQueueChart::Factory());
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
    // The screen of the configuration file, scaled by two.
    QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(960, 540));
}

void TestSmallScreen::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    m_PreviousSettings = SetSettingsFile(m_Dir->filePath(QStringLiteral("JorLivaronMng.conf")));
}

void TestSmallScreen::cleanup()
{
    SetSettingsFile(m_PreviousSettings);
    m_Dir.reset();
}

void TestSmallScreen::fitClientSize_data()
{
    QTest::addColumn<QSize>("design");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QSize>("fitted");
    QTest::newRow("room for the design: kept") << QSize(700, 570) << QRect(0, 0, 1920, 1050) << QMargins(4, 30, 4, 4)
                                               << QSize(700, 570);
    QTest::newRow("too low: the available height less the frame")
        << QSize(700, 570) << QRect(0, 32, 960, 508) << QMargins(4, 30, 4, 4) << QSize(700, 474);
    QTest::newRow("too narrow and too low") << QSize(700, 570) << QRect(0, 0, 640, 480) << QMargins()
                                            << QSize(640, 480);
    QTest::newRow("a frame larger than the screen: one pixel")
        << QSize(700, 570) << QRect(0, 0, 20, 20) << QMargins(20, 20, 20, 20) << QSize(1, 1);
}

void TestSmallScreen::fitClientSize()
{
    QFETCH(QSize, design);
    QFETCH(QRect, available);
    QFETCH(QMargins, frame);
    QFETCH(QSize, fitted);
    QCOMPARE(FitClientSize(design, available, frame), fitted);
}

void TestSmallScreen::fitClientGeometry_data()
{
    QTest::addColumn<QRect>("wanted");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<bool>("centre");
    QTest::addColumn<QRect>("fitted");
    const QRect screen(0, 0, 960, 540);
    QTest::newRow("on the screen: left where it is") << QRect(100, 50, 400, 300) << screen << false
                                                     << QRect(100, 50, 400, 300);
    QTest::newRow("centred") << QRect(0, 0, 400, 300) << screen << true << QRect(280, 133, 400, 300);
    QTest::newRow("past the bottom right: moved in") << QRect(800, 400, 400, 300) << screen << false
                                                     << QRect(556, 236, 400, 300);
    QTest::newRow("larger than the screen: shrunk, top left on it")
        << QRect(-50, -40, 712, 620) << screen << false << QRect(4, 30, 712, 506);
    QTest::newRow("larger and centred: fills the screen") << QRect(0, 0, 1200, 900) << screen << true
                                                          << QRect(4, 30, 952, 506);
    QTest::newRow("a panel at the top: below it") << QRect(0, 0, 400, 300) << QRect(0, 32, 960, 508) << false
                                                  << QRect(4, 62, 400, 300);
}

void TestSmallScreen::fitClientGeometry()
{
    QFETCH(QRect, wanted);
    QFETCH(QRect, available);
    QFETCH(bool, centre);
    QFETCH(QRect, fitted);
    const QMargins frame(4, 30, 4, 4);
    const QRect result = FitClientGeometry(wanted, available, frame, centre);
    QCOMPARE(result, fitted);
    QVERIFY(available.contains(result.marginsAdded(frame)));
}

void TestSmallScreen::VerifyOnScreen(const TFormMain &window)
{
    const QRect available = window.screen()->availableGeometry();
    QVERIFY2(available.contains(window.frameGeometry()),
             qPrintable(QStringLiteral("window %1,%2 %3x%4 on %5x%6")
                            .arg(window.frameGeometry().x())
                            .arg(window.frameGeometry().y())
                            .arg(window.frameGeometry().width())
                            .arg(window.frameGeometry().height())
                            .arg(available.width())
                            .arg(available.height())));
    const QMenuBar *menu = window.menuBar();
    QVERIFY(available.contains(QRect(menu->mapToGlobal(QPoint(0, 0)), menu->size())));
}

void TestSmallScreen::windowLiesOnTheScreen()
{
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    VerifyOnScreen(window);
    QVERIFY(window.minimumHeight() < 570);
    // A restored size from a larger screen is fitted too.
    window.resize(1400, 1000);
    window.hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    VerifyOnScreen(window);
}

void TestSmallScreen::chartAndTablesStayReadable()
{
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QAction *>(QStringLiteral("actViewChart"))->trigger();
    const auto *chart = window.ActivePage()->findChild<TQueueChart *>(QStringLiteral("QueueChart"));
    QVERIFY(chart);
    QTRY_VERIFY(chart->isVisible());
    VerifyOnScreen(window);

    // The plot has room for several lines of its labels, and the legend lies
    // inside the chart.
    const QList<QAbstractAxis *> axes = chart->chart()->axes(Qt::Vertical);
    QVERIFY(!axes.isEmpty());
    const QAbstractAxis *stockAxis = axes.constFirst();
    const int labelLine = QFontMetrics(stockAxis->labelsFont()).height();
    QTRY_VERIFY2(chart->chart()->plotArea().height() >= 5 * labelLine,
                 qPrintable(QString::number(chart->chart()->plotArea().height())));
    QVERIFY(chart->chart()->rect().contains(chart->chart()->legend()->geometry()));

    // Each table shows five rows at least.
    for (const char *name : {"sgCalc", "sgQueue"}) {
        const auto *table = window.ActivePage()->findChild<QTableView *>(QLatin1String(name));
        QVERIFY(table);
        QVERIFY2(table->viewport()->height() >= 5 * table->verticalHeader()->defaultSectionSize(),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(name)).arg(table->viewport()->height())));
    }
}

QTEST_MAIN(TestSmallScreen)
#include "tst_smallscreen.moc"
