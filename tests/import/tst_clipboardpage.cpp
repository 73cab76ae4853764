// The clipboard route's decision: which open village a copied overview page
// belongs to, and which pages are ignored.
#include "import/ClipboardPage.h"
#include "import/OverviewImport.h"

#include <QTest>

namespace {

// A page of 15 lines carrying the village name on line 12.
QString Page(const QString &name, const QString &production = QStringLiteral("10"))
{
    QStringList lines(15);
    lines[4] = QStringLiteral("Ливарон");
    lines[11] = name;
    lines[13] = QStringLiteral("Производство:");
    lines[14] = production;
    return lines.join(u'\n');
}

} // namespace

class TestClipboardPage : public QObject
{
    Q_OBJECT

private slots:
    void decide_data();
    void decide();
};

void TestClipboardPage::decide_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<TClipboardVillage>>("villages");
    QTest::addColumn<TClipboardAction>("action");
    QTest::addColumn<int>("village");
    QTest::addColumn<QString>("name");

    const QString north = Page(QStringLiteral("Северная"));
    const QList<TClipboardVillage> open{{QStringLiteral("Южная"), {}}, {QStringLiteral("Северная"), {}}};

    QTest::newRow("no overview page") << QStringLiteral("Северная") << open << TClipboardAction::Ignore << -1 << QString();
    QTest::newRow("empty clipboard") << QString() << open << TClipboardAction::Ignore << -1 << QString();
    QTest::newRow("the name of an open village") << north << open << TClipboardAction::Import << 1
                                                 << QStringLiteral("Северная");
    QTest::newRow("letter case ignored") << Page(QStringLiteral("СЕВЕРНАЯ")) << open << TClipboardAction::Import << 1
                                         << QStringLiteral("СЕВЕРНАЯ");
    QTest::newRow("blanks after the name")
        << Page(QStringLiteral("Северная \t\u00A0")) << open << TClipboardAction::Import << 1 << QStringLiteral("Северная");
    QTest::newRow("the first of two villages of that name")
        << north << QList<TClipboardVillage>{{QStringLiteral("северная"), {}}, {QStringLiteral("Северная"), {}}}
        << TClipboardAction::Import << 0 << QStringLiteral("Северная");
    QTest::newRow("the same page as last imported")
        << north << QList<TClipboardVillage>{{QStringLiteral("Северная"), SplitOverviewLines(north)}}
        << TClipboardAction::Ignore << -1 << QString();
    QTest::newRow("the same page with CR LF breaks")
        << QString(north).replace(u'\n', QStringLiteral("\r\n"))
        << QList<TClipboardVillage>{{QStringLiteral("Северная"), SplitOverviewLines(north)}} << TClipboardAction::Ignore
        << -1 << QString();
    QTest::newRow("a newer page of the same village")
        << Page(QStringLiteral("Северная"), QStringLiteral("20"))
        << QList<TClipboardVillage>{{QStringLiteral("Северная"), SplitOverviewLines(north)}}
        << TClipboardAction::Import << 0 << QStringLiteral("Северная");
    QTest::newRow("a village that is not open") << Page(QStringLiteral("Западная")) << open << TClipboardAction::Offer
                                                << -1 << QStringLiteral("Западная");
    QTest::newRow("no village open") << north << QList<TClipboardVillage>{} << TClipboardAction::Offer << -1
                                     << QStringLiteral("Северная");
    QTest::newRow("a page without a village name") << Page(QString()) << open << TClipboardAction::Ignore << -1
                                                   << QString();
    QTest::newRow("an unnamed open village takes no page")
        << Page(QStringLiteral("Северная")) << QList<TClipboardVillage>{{QString(), {}}} << TClipboardAction::Offer << -1
        << QStringLiteral("Северная");
}

void TestClipboardPage::decide()
{
    QFETCH(QString, text);
    QFETCH(QList<TClipboardVillage>, villages);
    QFETCH(TClipboardAction, action);
    QFETCH(int, village);
    QFETCH(QString, name);

    const TClipboardDecision decision = DecideClipboardPage(text, villages);
    QCOMPARE(decision.Action, action);
    QCOMPARE(decision.Village, village);
    QCOMPARE(decision.Name, name);
    QCOMPARE(decision.Lines, action == TClipboardAction::Ignore ? QStringList() : SplitOverviewLines(text));
}

QTEST_GUILESS_MAIN(TestClipboardPage)
#include "tst_clipboardpage.moc"
