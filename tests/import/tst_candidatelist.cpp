// The candidate list behind the building selection dialog and the overview
// import: every catalog entry, sorted by text without regard to letter case
// (equal texts in catalog order), with check marks.
#include "TestSupport.h"

#include "import/CandidateList.h"
#include "base/TextCompare.h"

#include <QTest>

#include <limits>
#include <memory>

namespace {

// Catalog order on purpose unsorted, with letter case mixed, a duplicate
// entry and two texts that differ only in letter case.
QByteArray CandidateCatalogXml()
{
    return CatalogXml(R"(
<Object Name="Склад"><Level ID="10"/><Level ID="9"/></Object>
<Object Name="ферма"><Level ID="1"/></Object>
<Object Name="Амбар"><Level ID="1"/><Level ID="2"/></Object>
<Object Name="Ферма"><Level ID="1"/><Level ID="2"/></Object>
<Object Name="Амбар"><Level ID="1"/></Object>
)");
}

QStringList ItemTexts(const TCandidateList &list)
{
    QStringList texts;
    for (int i = 0; i < list.Count(); ++i)
        texts.append(list.Item(i).Entry.Text);
    return texts;
}

QList<qint32> ItemIndices(const TCandidateList &list)
{
    QList<qint32> indices;
    for (int i = 0; i < list.Count(); ++i)
        indices.append(list.Item(i).Entry.CatalogIndex);
    return indices;
}

QList<bool> Checks(const TCandidateList &list)
{
    QList<bool> checks;
    for (int i = 0; i < list.Count(); ++i)
        checks.append(list.Item(i).Checked);
    return checks;
}

} // namespace

class TestCandidateList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void fillListsEveryEntrySorted();
    void refillStartsUnchecked();
    void emptyCatalog();
    void shippedCatalog();

    void setChecks_data();
    void setChecks();
    void checkByText_data();
    void checkByText();
    void setCheckedOutsideListIgnored();
    void checkedEntriesInListOrder();

private:
    std::unique_ptr<TTestCatalog> m_Catalog;
};

void TestCandidateList::initTestCase()
{
    m_Catalog = std::make_unique<TTestCatalog>(CandidateCatalogXml());
    QVERIFY(m_Catalog->Loaded);
    QCOMPARE(m_Catalog->Catalog.Count(), 8);
}

void TestCandidateList::fillListsEveryEntrySorted()
{
    TCandidateList list;
    list.FillFromCatalog(m_Catalog->Catalog);
    // Letter case ignored ("ферма" with "Ферма"), a blank before digits
    // ("Склад ( 9)" before "Склад (10)"), equal texts in catalog order.
    QCOMPARE(ItemTexts(list), QStringList({QStringLiteral("Амбар ( 1)"), QStringLiteral("Амбар ( 1)"),
                                           QStringLiteral("Амбар ( 2)"), QStringLiteral("Склад ( 9)"),
                                           QStringLiteral("Склад (10)"), QStringLiteral("ферма ( 1)"),
                                           QStringLiteral("Ферма ( 1)"), QStringLiteral("Ферма ( 2)")}));
    QCOMPARE(ItemIndices(list), QList<qint32>({3, 7, 4, 1, 0, 2, 5, 6}));
    QCOMPARE(Checks(list), QList<bool>(8, false));
    // Each item names its own catalog entry.
    for (int i = 0; i < list.Count(); ++i) {
        const TAvBuildingEntry &entry = list.Item(i).Entry;
        QCOMPARE(entry.Text, m_Catalog->Catalog.Object(entry.CatalogIndex).DisplayText());
    }
}

void TestCandidateList::refillStartsUnchecked()
{
    TCandidateList list;
    list.FillFromCatalog(m_Catalog->Catalog);
    list.SetChecks(TCheckMode::cmCheckAll);
    list.FillFromCatalog(m_Catalog->Catalog);
    QCOMPARE(list.Count(), 8);
    QCOMPARE(Checks(list), QList<bool>(8, false));
    QVERIFY(list.CheckedEntries().isEmpty());
}

void TestCandidateList::emptyCatalog()
{
    TTestCatalog empty(CatalogXml(""));
    QVERIFY(empty.Loaded);
    TCandidateList list;
    list.FillFromCatalog(m_Catalog->Catalog);
    list.FillFromCatalog(empty.Catalog);
    QCOMPARE(list.Count(), 0);
    list.SetChecks(TCheckMode::cmInvert);
    list.CheckByText(u"Амбар ( 1)");
    QVERIFY(list.CheckedEntries().isEmpty());
}

void TestCandidateList::shippedCatalog()
{
    TRecordedMessages messages;
    TdmListObj catalog;
    QVERIFY(LoadShippedCatalog(catalog).Ok);
    QVERIFY(messages.Messages.isEmpty());

    TCandidateList list;
    list.FillFromCatalog(catalog);
    QCOMPARE(list.Count(), catalog.Count());
    QList<bool> seen(catalog.Count(), false);
    for (int i = 0; i < list.Count(); ++i) {
        const TAvBuildingEntry &entry = list.Item(i).Entry;
        QVERIFY(!seen.at(entry.CatalogIndex));
        seen[entry.CatalogIndex] = true;
        if (i > 0) {
            const TAvBuildingEntry &previous = list.Item(i - 1).Entry;
            QVERIFY2(CompareText(previous.Text, entry.Text) < 0
                         || (SameText(previous.Text, entry.Text) && previous.CatalogIndex < entry.CatalogIndex),
                     qPrintable(previous.Text + QStringLiteral(" / ") + entry.Text));
        }
    }
    // The levels of one building follow each other in numeric order.
    const int nine = int(ItemTexts(list).indexOf(QStringLiteral("Ферма ( 9)")));
    QVERIFY(nine >= 0);
    QCOMPARE(list.Item(nine + 1).Entry.Text, QStringLiteral("Ферма (10)"));
}

void TestCandidateList::setChecks_data()
{
    QTest::addColumn<QList<bool>>("before");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<bool>>("after");

    const QList<bool> two{true, false, false, true, false, false, false, false};
    QTest::newRow("check all") << two << int(TCheckMode::cmCheckAll) << QList<bool>(8, true);
    QTest::newRow("uncheck all") << two << int(TCheckMode::cmUncheckAll) << QList<bool>(8, false);
    QTest::newRow("invert") << two << int(TCheckMode::cmInvert)
                            << QList<bool>{false, true, true, false, true, true, true, true};
    QTest::newRow("invert all checked") << QList<bool>(8, true) << int(TCheckMode::cmInvert) << QList<bool>(8, false);
    QTest::newRow("unknown mode 3") << two << 3 << two;
    QTest::newRow("unknown mode -1") << two << -1 << two;
}

void TestCandidateList::setChecks()
{
    QFETCH(QList<bool>, before);
    QFETCH(int, mode);
    QFETCH(QList<bool>, after);

    TCandidateList list;
    list.FillFromCatalog(m_Catalog->Catalog);
    for (int i = 0; i < before.size(); ++i)
        list.SetChecked(i, before.at(i));
    QCOMPARE(Checks(list), before);
    list.SetChecks(static_cast<TCheckMode>(mode));
    QCOMPARE(Checks(list), after);
}

void TestCandidateList::checkByText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<bool>>("checks");

    // Items: Амбар ( 1) [3], Амбар ( 1) [7], Амбар ( 2), Склад ( 9),
    // Склад (10), ферма ( 1), Ферма ( 1), Ферма ( 2).
    QTest::newRow("exact text") << QStringList{QStringLiteral("Склад (10)")}
                                << QList<bool>{false, false, false, false, true, false, false, false};
    QTest::newRow("other letter case") << QStringList{QStringLiteral("СКЛАД ( 9)")}
                                       << QList<bool>{false, false, false, true, false, false, false, false};
    QTest::newRow("duplicate text checks the first only")
        << QStringList{QStringLiteral("Амбар ( 1)")}
        << QList<bool>{true, false, false, false, false, false, false, false};
    QTest::newRow("texts equal but for case: first of them")
        << QStringList{QStringLiteral("Ферма ( 1)")}
        << QList<bool>{false, false, false, false, false, true, false, false};
    QTest::newRow("same text twice") << QStringList{QStringLiteral("Амбар ( 1)"), QStringLiteral("амбар ( 1)")}
                                     << QList<bool>{true, false, false, false, false, false, false, false};
    QTest::newRow("unknown text") << QStringList{QStringLiteral("Рынок ( 1)")} << QList<bool>(8, false);
    QTest::newRow("part of a text") << QStringList{QStringLiteral("Амбар")} << QList<bool>(8, false);
    QTest::newRow("empty text") << QStringList{QString()} << QList<bool>(8, false);
}

void TestCandidateList::checkByText()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<bool>, checks);

    TCandidateList list;
    list.FillFromCatalog(m_Catalog->Catalog);
    // Found when it checked something (or found it checked already).
    const bool anyChecked = checks.contains(true);
    for (const QString &text : texts)
        QCOMPARE(list.CheckByText(text), anyChecked);
    QCOMPARE(Checks(list), checks);
}

void TestCandidateList::setCheckedOutsideListIgnored()
{
    TCandidateList list;
    list.FillFromCatalog(m_Catalog->Catalog);
    list.SetChecked(-1, true);
    list.SetChecked(8, true);
    list.SetChecked(std::numeric_limits<int>::max(), true);
    QCOMPARE(Checks(list), QList<bool>(8, false));
    list.SetChecked(7, true);
    list.SetChecked(7, false);
    QCOMPARE(Checks(list), QList<bool>(8, false));
}

void TestCandidateList::checkedEntriesInListOrder()
{
    TCandidateList list;
    list.FillFromCatalog(m_Catalog->Catalog);
    // Checked in an order other than the list's.
    list.CheckByText(u"Ферма ( 2)");
    list.CheckByText(u"Амбар ( 2)");
    list.CheckByText(u"Склад (10)");
    QCOMPARE(list.CheckedEntries(), QList<TAvBuildingEntry>({{QStringLiteral("Амбар ( 2)"), 4},
                                                             {QStringLiteral("Склад (10)"), 0},
                                                             {QStringLiteral("Ферма ( 2)"), 6}}));
}

QTEST_GUILESS_MAIN(TestCandidateList)
#include "tst_candidatelist.moc"
