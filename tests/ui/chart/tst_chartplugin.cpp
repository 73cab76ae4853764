// The queue's chart as the program gets it: from the chart plug-in beside
// the executable, loaded the first time a page shows its chart; without the
// plug-in the chart group says why and the page works on. This suite links
// no chart, as the program does not.

#include "TestSupport.h"

#include "ui/chart/QueueChartLoader.h"
#include "ui/main/f_Main.h"
#include "ui/page/f_Village.h"
#include "models/QueueModel.h"
#include "record/VillageData.h"
#include "rules/Planner.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>

class TestChartPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void chartLoadedOnFirstShow_data();
    void chartLoadedOnFirstShow();

private:
    TdmListObj m_Catalog;
};

void TestChartPlugin::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
}

void TestChartPlugin::chartLoadedOnFirstShow_data()
{
    QTest::addColumn<bool>("pluginThere");
    QTest::newRow("plug-in beside the program") << true;
    QTest::newRow("plug-in missing") << false;
}

void TestChartPlugin::chartLoadedOnFirstShow()
{
    QFETCH(bool, pluginThere);
    const QTemporaryDir empty;
    SetQueueChartPluginFolder(pluginThere ? QStringLiteral(JOR_CHART_PLUGIN_DIR) : empty.path());
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TFormVillage *page = window.ActivePage();
    QVERIFY(page);
    const QString saw = QStringLiteral("Лесопильный завод ( 1)");
    page->Village().SetRace(1);
    page->Village().ReplaceAvBuildings({{saw, m_Catalog.FindByDisplayText(saw)}});
    QVERIFY(page->Planner().Enqueue(m_Catalog.FindByDisplayText(saw)));
    auto *actViewChart = window.findChild<QAction *>(QStringLiteral("actViewChart"));
    QVERIFY(actViewChart);
    actViewChart->trigger();
    auto *group = page->findChild<QGroupBox *>(QStringLiteral("gbChart"));
    QVERIFY(group && group->isVisible());
    auto *chart = group->findChild<QWidget *>(QStringLiteral("QueueChart"));
    auto *missing = group->findChild<QLabel *>(QStringLiteral("lbChartMissing"));
    if (pluginThere) {
        QVERIFY(chart && chart->isVisible());
        QCOMPARE(chart->metaObject()->className(), "TQueueChart");
        QVERIFY(!missing);
    } else {
        QVERIFY(!chart);
        QVERIFY(missing && missing->isVisible());
        QVERIFY(missing->text().startsWith(QStringLiteral("График недоступен")));
        QVERIFY(missing->text().contains(QueueChartPluginFileName()));
        // The queue goes on without it, and the view toggle still hides it.
        QCOMPARE(page->QueueModel().rowCount(), 1);
        actViewChart->trigger();
        QVERIFY(!group->isVisible());
    }
    page->Village().SetModified(false);
    SetQueueChartPluginFolder({});
}

QTEST_MAIN(TestChartPlugin)
#include "tst_chartplugin.moc"
