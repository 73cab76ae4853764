// The development-plan dialog's wiring: the targets show the village's
// buildings, "Все поля до уровня" and "Найти порядок" reach the search in
// its thread, the result shows in the table and the line, "Заменить
// очередь" writes the queue as one undo step; a village without buildings
// gets the line that says what to do. The plan itself is tested in the core.

#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageHistory.h"
#include "rules/DevelopmentPlan.h"
#include "ui/dialogs/DevelopmentPlanDialog.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

class TestDevelopmentPlanDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void findAndReplaceQueueWithUndo();
    void villageWithoutBuildings();

private:
    TdmListObj m_Catalog;
};

void TestDevelopmentPlanDialog::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)).Ok);
}

void TestDevelopmentPlanDialog::findAndReplaceQueueWithUndo()
{
    TPinnedClock clock(QDateTime(QDate(2026, 12, 13), QTime(20, 0)));
    TVillageDocument document(m_Catalog);
    TVillageData &village = document.Village();
    for (const TResourceKind kind : AllResourceKinds) {
        village.EditResourceCollect(kind, QStringLiteral("500"));
        village.EditResourceAdd(kind, QStringLiteral("100"));
    }
    for (const QString &name : {QStringLiteral("Лесопильный завод"), QStringLiteral("Глиняный карьер")})
        village.AddBuilt(BuiltBuildingOf(m_Catalog, name, QStringLiteral("1")));
    Settle();
    document.History().TakeIn();
    QList<TVillageStep> steps;
    connect(&document.History(), &TVillageHistory::StepMade, this,
            [&steps](const TVillageStep &step) { steps.append(step); });

    TDevelopmentPlanDialog dialog(document);
    dialog.show();
    auto *targets = dialog.findChild<QTableView *>(QStringLiteral("tvPlanTargets"));
    QVERIFY(targets);
    // Two fields and the main building.
    QCOMPARE(targets->model()->rowCount(), 3);
    dialog.findChild<QSpinBox *>(QStringLiteral("sePlanAllFields"))->setValue(3);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnPlanAllFields")), Qt::LeftButton);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("btnPlanFind")), Qt::LeftButton);
    auto *replace = dialog.findChild<QPushButton *>(QStringLiteral("btnPlanReplace"));
    QTRY_VERIFY(replace->isEnabled());
    QVERIFY(!dialog.IsSearching());

    // Each field from level 1 to level 3: four steps.
    const QAbstractItemModel *result = dialog.findChild<QTableView *>(QStringLiteral("tvPlanResult"))->model();
    QCOMPARE(result->rowCount(), 4);
    const QString summary = dialog.findChild<QLabel *>(QStringLiteral("lblPlanSummary"))->text();
    QVERIFY2(summary.startsWith(QStringLiteral("Цель будет достигнута ")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("в порядке каталога")), qPrintable(summary));

    QTest::mouseClick(replace, Qt::LeftButton);
    Settle();
    QCOMPARE(village.Queue.size(), 4);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(village.Queue.at(row).Text, result->index(row, 0).data().toString());
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.constFirst().Name, QStringLiteral("план развития"));
    QVERIFY(!dialog.isVisible());

    // Undo: the queue as it was.
    document.History().Apply(steps.constFirst().Before);
    Settle();
    QVERIFY(village.Queue.isEmpty());
}

void TestDevelopmentPlanDialog::villageWithoutBuildings()
{
    TVillageDocument document(m_Catalog);
    TDevelopmentPlanDialog dialog(document);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblPlanSummary"))->text(), NoBuiltListText());
    QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("btnPlanFind"))->isEnabled());
}

QTEST_MAIN(TestDevelopmentPlanDialog)
#include "tst_developmentplandialog.moc"
