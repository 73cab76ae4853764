// Model rows as tab-separated text and as CSV: titles, quoting, line
// breaks, Cyrillic, the byte-order mark.
#include "models/TableText.h"

#include <QAbstractTableModel>
#include <QTest>

namespace {

// A table of texts with its titles.
class TTextTable : public QAbstractTableModel
{
public:
    TTextTable(QStringList titles, QList<QStringList> rows) : m_Titles(std::move(titles)), m_Rows(std::move(rows)) {}

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_Rows.size()); }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_Titles.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return m_Rows.at(index.row()).value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return m_RowTitles.isEmpty() ? QAbstractTableModel::headerData(section, orientation, role)
                                         : QVariant(m_RowTitles.value(section));
        return m_Titles.value(section);
    }
    // Texts for the rows' own titles.
    void SetRowTitles(const QStringList &titles) { m_RowTitles = titles; }

private:
    QStringList m_Titles;
    QStringList m_RowTitles;
    QList<QStringList> m_Rows;
};

} // namespace

class TestTableText : public QObject
{
    Q_OBJECT

private slots:
    void csvFields_data();
    void csvFields();
    void tabFields_data();
    void tabFields();
    void chosenRowsInModelOrder();
    void rowTitles_data();
    void rowTitles();
    void csvFileHasByteOrderMark();
};

void TestTableText::csvFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("written");

    QTest::newRow("plain") << QStringLiteral("100") << QStringLiteral("100");
    QTest::newRow("Cyrillic") << QStringLiteral("Ферма (10)") << QStringLiteral("Ферма (10)");
    QTest::newRow("time as shown") << QStringLiteral("00:47:36 (13:22)") << QStringLiteral("00:47:36 (13:22)");
    QTest::newRow("comma") << QStringLiteral("1,5") << QStringLiteral("\"1,5\"");
    QTest::newRow("quote") << QStringLiteral("Южная \"старая\"") << QStringLiteral("\"Южная \"\"старая\"\"\"");
    QTest::newRow("line break") << QStringLiteral("a\nb") << QStringLiteral("\"a\nb\"");
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("\"a\r\nb\"");
    QTest::newRow("blanks kept") << QStringLiteral(" a ") << QStringLiteral(" a ");
    QTest::newRow("empty") << QString() << QString();
}

void TestTableText::csvFields()
{
    QFETCH(QString, field);
    QFETCH(QString, written);
    const TTextTable table({QStringLiteral("Строение"), QStringLiteral("Время")}, {{field, QStringLiteral("x")}});
    QCOMPARE(TableText(table, AllRows(table), TTableTextFormat::Csv),
             QStringLiteral("Строение,Время\r\n") + written + QStringLiteral(",x\r\n"));
}

void TestTableText::rowTitles_data()
{
    QTest::addColumn<QStringList>("rowTitles");
    QTest::addColumn<QString>("text");

    QTest::newRow("rows with titles carry them")
        << QStringList{QStringLiteral("Накоплено"), QStringLiteral("Вместимость")}
        << QStringLiteral("\tДерево\tГлина\nНакоплено\t750\t600\nВместимость\t800\t800\n");
    QTest::newRow("rows counted by the view carry nothing")
        << QStringList() << QStringLiteral("Дерево\tГлина\n750\t600\n800\t800\n");
}

void TestTableText::rowTitles()
{
    QFETCH(QStringList, rowTitles);
    QFETCH(QString, text);

    TTextTable table({QStringLiteral("Дерево"), QStringLiteral("Глина")},
                     {{QStringLiteral("750"), QStringLiteral("600")}, {QStringLiteral("800"), QStringLiteral("800")}});
    table.SetRowTitles(rowTitles);
    QCOMPARE(TableText(table, AllRows(table), TTableTextFormat::TabSeparated), text);
}

void TestTableText::tabFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("written");

    QTest::newRow("Cyrillic and comma") << QStringLiteral("Ферма, 10") << QStringLiteral("Ферма, 10");
    QTest::newRow("quote stays") << QStringLiteral("\"a\"") << QStringLiteral("\"a\"");
    QTest::newRow("tab made a blank") << QStringLiteral("a\tb") << QStringLiteral("a b");
    QTest::newRow("line break made a blank") << QStringLiteral("a\nb") << QStringLiteral("a b");
    QTest::newRow("CR LF made one blank") << QStringLiteral("a\r\nb") << QStringLiteral("a b");
}

void TestTableText::tabFields()
{
    QFETCH(QString, field);
    QFETCH(QString, written);
    const TTextTable table({QStringLiteral("Строение"), QStringLiteral("Время")}, {{field, QStringLiteral("x")}});
    QCOMPARE(TableText(table, {0}, TTableTextFormat::TabSeparated),
             QStringLiteral("Строение\tВремя\n") + written + QStringLiteral("\tx\n"));
}

void TestTableText::chosenRowsInModelOrder()
{
    const TTextTable table({QStringLiteral("A")}, {{QStringLiteral("r0")}, {QStringLiteral("r1")}, {QStringLiteral("r2")}});
    QCOMPARE(TableText(table, {0, 2}, TTableTextFormat::TabSeparated), QStringLiteral("A\nr0\nr2\n"));
    QCOMPARE(TableText(table, {}, TTableTextFormat::Csv), QStringLiteral("A\r\n"));
    // A row outside the table is passed over.
    QCOMPARE(TableText(table, {1, 7, -1}, TTableTextFormat::Csv), QStringLiteral("A\r\nr1\r\n"));
    QCOMPARE(AllRows(table), (QList<int>{0, 1, 2}));
}

void TestTableText::csvFileHasByteOrderMark()
{
    const QByteArray bytes = CsvFileBytes(QStringLiteral("Зерно\r\n"));
    QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF") + QStringLiteral("Зерно\r\n").toUtf8());
}

QTEST_GUILESS_MAIN(TestTableText)
#include "tst_tabletext.moc"
