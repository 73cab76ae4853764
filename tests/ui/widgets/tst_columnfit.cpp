// Column widths by the layout rule: a column fits its title, its texts and
// its templates when the rows change, and keeps its width while texts only
// change in place (the one-second tick).

#include "ui/widgets/ColumnFit.h"
#include "models/ColumnWidth.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTableView>
#include <QTest>

namespace {

const QString Short = QStringLiteral("1");
const QString Long = QStringLiteral("не хватит вместимости, совсем не хватит");

// A list whose one column gives template texts, as the tables' models do.
class TTemplateModel : public QStringListModel
{
public:
    QStringList Templates;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == WidthTemplatesRole)
            return Templates;
        return QStringListModel::headerData(section, orientation, role);
    }
};

// A name and a ticking time with its template, in two columns.
class TNameAndTimeModel : public QStandardItemModel
{
public:
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == WidthTemplatesRole)
            return section == 1 ? QStringList{DurationWithEndTemplate()} : QStringList{};
        return QStandardItemModel::headerData(section, orientation, role);
    }
};

int TextWidth(const QTableView &view, const QString &text)
{
    return QFontMetrics(view.font()).horizontalAdvance(text);
}

} // namespace

class TestColumnFit : public QObject
{
    Q_OBJECT

private slots:
    void fitsWhenRowsChange_data();
    void fitsWhenRowsChange();
    void keepsWidthWhileTextsChange();
    void templatesGiveRoom_data();
    void templatesGiveRoom();
    void narrowViewScrollsRatherThanCuts_data();
    void narrowViewScrollsRatherThanCuts();
};

void TestColumnFit::fitsWhenRowsChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("reset") << "reset";
    QTest::newRow("row inserted") << "insert";
    QTest::newRow("row removed") << "remove";
}

void TestColumnFit::fitsWhenRowsChange()
{
    QFETCH(QString, change);
    QStringListModel model(change == QLatin1String("remove") ? QStringList{Short, Long} : QStringList{Short});
    QTableView view;
    view.setModel(&model);
    TColumnFit fit(&view);
    const int before = view.columnWidth(0);

    if (change == QLatin1String("reset")) {
        model.setStringList({Short, Long});
    } else if (change == QLatin1String("insert")) {
        model.insertRows(1, 1);
        model.setData(model.index(1), Long);
        // The text came after the row: the next change of rows fits it.
        model.insertRows(2, 1);
    } else {
        model.removeRows(1, 1);
    }
    const bool longShown = change != QLatin1String("remove");
    if (longShown) {
        QVERIFY(view.columnWidth(0) > before);
        QVERIFY(view.columnWidth(0) >= TextWidth(view, Long));
    } else {
        QVERIFY(view.columnWidth(0) < before);
        QVERIFY(view.columnWidth(0) < TextWidth(view, Long));
    }
}

void TestColumnFit::keepsWidthWhileTextsChange()
{
    QStringListModel model({Short, Short});
    QTableView view;
    view.setModel(&model);
    TColumnFit fit(&view);
    const int before = view.columnWidth(0);
    model.setData(model.index(0), Long);
    QCOMPARE(view.columnWidth(0), before);
    // An explicit fit (a new font) takes the texts as they are.
    fit.Fit();
    QVERIFY(view.columnWidth(0) >= TextWidth(view, Long));
}

void TestColumnFit::templatesGiveRoom_data()
{
    QTest::addColumn<QStringList>("modelTemplates");
    QTest::addColumn<QStringList>("ownerTemplates");
    QTest::newRow("the model's") << QStringList{DurationWithEndTemplate()} << QStringList{};
    QTest::newRow("the owner's") << QStringList{} << QStringList{DurationWithEndTemplate()};
    QTest::newRow("the widest of both") << QStringList{DurationTemplate()} << QStringList{DurationWithEndTemplate()};
}

void TestColumnFit::templatesGiveRoom()
{
    QFETCH(QStringList, modelTemplates);
    QFETCH(QStringList, ownerTemplates);
    // No rows yet: the templates alone make the room a ticking time needs.
    TTemplateModel model;
    model.Templates = modelTemplates;
    QTableView view;
    view.setModel(&model);
    TColumnFit fit(&view, -1, {{0, ownerTemplates}});
    QVERIFY(view.columnWidth(0) >= TextWidth(view, DurationWithEndTemplate()));
    QCOMPARE(view.horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

void TestColumnFit::narrowViewScrollsRatherThanCuts_data()
{
    QTest::addColumn<int>("viewWidth");
    QTest::addColumn<bool>("scrolls");

    QTest::newRow("wide: the name stretches") << 900 << false;
    QTest::newRow("narrow: nothing cut, the view scrolls") << 150 << true;
}

void TestColumnFit::narrowViewScrollsRatherThanCuts()
{
    QFETCH(int, viewWidth);
    QFETCH(bool, scrolls);

    // A name column and a time column, as the available table has.
    TNameAndTimeModel model;
    model.appendRow({new QStandardItem(Long), new QStandardItem(QStringLiteral("00:00:01 (14:05)"))});
    QTableView view;
    view.setModel(&model);
    view.resize(viewWidth, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    TColumnFit fit(&view, 0);
    fit.Fit();

    QVERIFY(view.columnWidth(0) >= TextWidth(view, Long));
    QVERIFY(view.columnWidth(1) >= TextWidth(view, DurationWithEndTemplate()));
    QCOMPARE(view.horizontalHeader()->sectionResizeMode(0),
             scrolls ? QHeaderView::Fixed : QHeaderView::Stretch);
    QCOMPARE(view.horizontalScrollBar()->maximum() > 0, scrolls);
}

QTEST_MAIN(TestColumnFit)
#include "tst_columnfit.moc"
