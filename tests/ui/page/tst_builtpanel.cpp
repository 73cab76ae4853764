// The village page's buildings group, wiring only: a finished warehouse
// reaches the page's capacity cell and the buildings table, and "В очередь"
// on a row queues that very building's next level.
#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "models/ResourceModel.h"
#include "record/VillageData.h"
#include "ui/page/f_Village.h"

#include <QPushButton>
#include <QTableView>
#include <QTest>

class TestBuiltPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void finishedWarehouseShowsItsCapacity();
    void enqueueTakesTheRowsBuilding();

private:
    TdmListObj m_Catalog;
};

void TestBuiltPanel::initTestCase()
{
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/effects_catalog.xml")));
}

void TestBuiltPanel::finishedWarehouseShowsItsCapacity()
{
    TVillageDocument document(m_Catalog);
    TFormVillage page(document);
    TVillageData &village = document.Village();
    for (const TResourceKind kind : AllResourceKinds)
        village.EditCapacity(kind, QStringLiteral("800"));
    village.SetBuilt(BuiltList(m_Catalog, QStringLiteral("Ферма 1")));
    village.SetConstruction(QStringLiteral("Склад ( 1)"), 10, 9);
    const auto *sgRes = page.findChild<QTableView *>(QStringLiteral("sgRes"));
    const auto *tvBuilt = page.findChild<QTableView *>(QStringLiteral("tvBuilt"));
    QVERIFY(sgRes && tvBuilt);
    const QModelIndex capacity = sgRes->model()->index(TResourceModel::CapacityRow, 0);
    QCOMPARE(capacity.data().toString(), QStringLiteral("800"));

    document.Tick();
    QCOMPARE(capacity.data().toString(), QStringLiteral("1200"));
    QCOMPARE(tvBuilt->model()->rowCount(), 2);
    QCOMPARE(tvBuilt->model()->index(1, 0).data().toString(), QStringLiteral("Склад"));
    QCOMPARE(tvBuilt->model()->index(1, 3).data().toString(), QStringLiteral("1200"));
}

void TestBuiltPanel::enqueueTakesTheRowsBuilding()
{
    TVillageDocument document(m_Catalog);
    TFormVillage page(document);
    TVillageData &village = document.Village();
    village.SetBuilt(BuiltList(m_Catalog, QStringLiteral("Склад 1; Лесопильный завод 2; Лесопильный завод 1")));
    auto *tvBuilt = page.findChild<QTableView *>(QStringLiteral("tvBuilt"));
    auto *btnBuiltEnqueue = page.findChild<QPushButton *>(QStringLiteral("btnBuiltEnqueue"));
    QVERIFY(tvBuilt && btnBuiltEnqueue);
    // Fields first: the second field is the table's second row.
    tvBuilt->setCurrentIndex(tvBuilt->model()->index(1, 0));
    QVERIFY(btnBuiltEnqueue->isEnabled());
    QTest::mouseClick(btnBuiltEnqueue, Qt::LeftButton);
    QCOMPARE(EntryTexts(village.Queue), QStringList{QStringLiteral("Лесопильный завод ( 2)")});
}

QTEST_MAIN(TestBuiltPanel)
#include "tst_builtpanel.moc"
