// One notification per village and tick: the village's name as the title,
// ended constructions, one line listing the buildings become affordable
// (with how many more past the first few), then the storages.
#include "notify/VillageNotice.h"

#include <QTest>

namespace {

TNotification Affordable(const QString &building)
{
    return {TNotificationKind::Affordable, building};
}

QList<TNotification> ManyAffordable(int count)
{
    QList<TNotification> notifications;
    for (int level = 1; level <= count; ++level)
        notifications.append(Affordable(QStringLiteral("Ферма (%1)").arg(level, 2)));
    return notifications;
}

} // namespace

class TestVillageNotice : public QObject
{
    Q_OBJECT

private slots:
    void notice_data();
    void notice();
};

void TestVillageNotice::notice_data()
{
    QTest::addColumn<QString>("village");
    QTest::addColumn<QList<TNotification>>("notifications");
    QTest::addColumn<TVillageNotice>("expected");

    const TNotification ended{TNotificationKind::ConstructionEnded, QStringLiteral("Строительство завершено: Склад ( 3)")};
    const TNotification full{TNotificationKind::StorageFull, QStringLiteral("Дерево: склад полон")};
    const TNotification nearly{TNotificationKind::StorageNearlyFull,
                               QStringLiteral("Зерно: амбар заполнится через 2 мин 22 сек")};

    QTest::newRow("nothing: no notice") << QStringLiteral("Северная") << QList<TNotification>{} << TVillageNotice{};
    QTest::newRow("one building") << QStringLiteral("Северная") << QList<TNotification>{Affordable(QStringLiteral("Ферма ( 5)"))}
                                  << TVillageNotice{QStringLiteral("Северная"), QStringLiteral("Можно строить: Ферма ( 5)")};
    QTest::newRow("five buildings: one line naming all")
        << QStringLiteral("Северная") << ManyAffordable(5)
        << TVillageNotice{QStringLiteral("Северная"),
                          QStringLiteral("Можно строить: Ферма ( 1), Ферма ( 2), Ферма ( 3), Ферма ( 4), Ферма ( 5)")};
    QTest::newRow("two hundred buildings: the first five and how many more")
        << QStringLiteral("Северная") << ManyAffordable(200)
        << TVillageNotice{QStringLiteral("Северная"), QStringLiteral("Можно строить: Ферма ( 1), Ферма ( 2), "
                                                                      "Ферма ( 3), Ферма ( 4), Ферма ( 5) и ещё 195")};
    QTest::newRow("every kind: ended, affordable, storages")
        << QStringLiteral("Северная") << QList<TNotification>{full, Affordable(QStringLiteral("Ферма ( 5)")), nearly, ended}
        << TVillageNotice{QStringLiteral("Северная"),
                          QStringLiteral("Строительство завершено: Склад ( 3)\nМожно строить: Ферма ( 5)\n"
                                         "Дерево: склад полон\nЗерно: амбар заполнится через 2 мин 22 сек")};
    QTest::newRow("a village without a name") << QString() << QList<TNotification>{full}
                                              << TVillageNotice{QStringLiteral("Без названия"),
                                                                QStringLiteral("Дерево: склад полон")};
}

void TestVillageNotice::notice()
{
    QFETCH(QString, village);
    QFETCH(QList<TNotification>, notifications);
    QFETCH(TVillageNotice, expected);
    const TVillageNotice notice = MakeVillageNotice(village, notifications);
    QCOMPARE(notice, expected);
    QCOMPARE(notice.IsEmpty(), notifications.isEmpty());
}

QTEST_GUILESS_MAIN(TestVillageNotice)
#include "tst_villagenotice.moc"
