// The building selection dialog: the sorted check list of every catalog
// entry, checking by text, the check-all, uncheck-all and invert commands
// with their shortcuts and menu, the results of its buttons and the one
// shared dialog.
#include "TestSupport.h"

#include "ui/dialogs/f_SelectItems.h"

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QStyle>
#include <QStyleOptionButton>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

QByteArray Level(int id)
{
    return "<Level ID=\"" + QByteArray::number(id)
        + "\" WOOD=\"10\" CLAY=\"10\" IRON=\"10\" GRAIN=\"10\" USEGRAIN=\"0\" EK=\"1\" "
          "TIME=\"00:01:00\" PROD=\"1\"/>";
}

// Catalog order: Склад 1, 2, 10 (indexes 0-2), амбар 1 (3), Ферма 1 (4),
// Склад 1 again (5, a duplicate text), Академия 1 (6).
const QByteArray TestObjects = "<Object Name=\"Склад\">" + Level(1) + Level(2) + Level(10)
    + "</Object><Object Name=\"амбар\">" + Level(1) + "</Object><Object Name=\"Ферма\">"
    + Level(1) + "</Object><Object Name=\"Склад\">" + Level(1)
    + "</Object><Object Name=\"Академия\">" + Level(1) + "</Object>";

QStringList CheckedTexts(const TFormSelectItems &dialog)
{
    QStringList texts;
    for (int position = 0; position < dialog.Count(); ++position)
        if (dialog.ItemChecked(position))
            texts.append(dialog.ItemText(position));
    return texts;
}

// What the user sees: the check marks of the list's items.
QStringList VisiblyChecked(const QListView *list)
{
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex index = list->model()->index(row, 0);
        if (index.data(Qt::CheckStateRole).toInt() == Qt::Checked)
            texts.append(index.data().toString());
    }
    return texts;
}

// Ticks or clears an item as a click on its box does.
void SetCheck(QListView *list, int row, Qt::CheckState state)
{
    list->model()->setData(list->model()->index(row, 0), state, Qt::CheckStateRole);
}

} // namespace

class TestSelectItems : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layoutAndTexts();
    void fillListsEveryEntrySortedUnchecked();
    void fillStartsAfresh();
    void emptyCatalogGivesEmptyList();
    void checkByText_data();
    void checkByText();
    void shortcuts_data();
    void shortcuts();
    void contextMenuItems();
    void userCheckMarksAreRead();
    void buttonsCloseWithTheirResults_data();
    void buttonsCloseWithTheirResults();
    void typeAheadFindsItemByBeginning();
    void sharedDialogIsCreatedOnceAndOwnedByTheWindow();

private:
    std::unique_ptr<TTestCatalog> m_Catalog;
    std::unique_ptr<TFormSelectItems> m_Dialog;
    QListView *m_List = nullptr;
};

void TestSelectItems::initTestCase()
{
    m_Catalog = std::make_unique<TTestCatalog>(CatalogXml(TestObjects));
    QVERIFY(m_Catalog->Loaded);
    QCOMPARE(m_Catalog->Catalog.Count(), 7);
}

void TestSelectItems::init()
{
    m_Dialog = std::make_unique<TFormSelectItems>();
    m_List = m_Dialog->findChild<QListView *>(QStringLiteral("CheckListBox1"));
    QVERIFY(m_List);
    m_Dialog->FillFromCatalog(m_Catalog->Catalog);
}

void TestSelectItems::cleanup()
{
    m_Dialog.reset();
}

void TestSelectItems::layoutAndTexts()
{
    QCOMPARE(m_Dialog->windowTitle(), QStringLiteral("Выбор используемых сооружений"));
    QCOMPARE(m_Dialog->size(), QSize(426, 286));
    auto *ok = m_Dialog->findChild<QPushButton *>(QStringLiteral("BtnOk"));
    auto *cancel = m_Dialog->findChild<QPushButton *>(QStringLiteral("BtnCancel"));
    QVERIFY(ok && cancel);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QVERIFY(ok->isDefault());
    QCOMPARE(ok->size(), QSize(75, 25));
    QVERIFY(m_Dialog->findChild<QWidget *>(QStringLiteral("Panel1")));

    m_Dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_Dialog.get()));
    // The buttons sit at their design places in the bottom strip.
    auto *panel = m_Dialog->findChild<QWidget *>(QStringLiteral("Panel1"));
    QCOMPARE(panel->height(), 41);
    QCOMPARE(ok->geometry(), QRect(262, 8, 75, 25));
    QCOMPARE(cancel->geometry(), QRect(343, 8, 75, 25));
    QCOMPARE(m_List->geometry().left(), 8);
    QCOMPARE(m_List->geometry().top(), 8);
    QCOMPARE(m_List->geometry().right(), 426 - 8 - 1);
    // The check list has the keyboard focus when the dialog is shown.
    QApplication::setActiveWindow(m_Dialog.get());
    QTRY_VERIFY(m_List->hasFocus());
    // Its rows are tall enough for their check boxes.
    QStyleOptionButton box;
    const int boxHeight = m_List->style()->pixelMetric(QStyle::PM_IndicatorHeight, &box, m_List);
    QVERIFY(m_List->visualRect(m_List->model()->index(0, 0)).height() >= boxHeight);
}

void TestSelectItems::fillListsEveryEntrySortedUnchecked()
{
    const QStringList expectedTexts{
        QStringLiteral("Академия ( 1)"), QStringLiteral("амбар ( 1)"),
        QStringLiteral("Склад ( 1)"),    QStringLiteral("Склад ( 1)"),
        QStringLiteral("Склад ( 2)"),    QStringLiteral("Склад (10)"),
        QStringLiteral("Ферма ( 1)")};
    const QList<qint32> expectedData{6, 3, 0, 5, 1, 2, 4};
    QCOMPARE(m_Dialog->Count(), 7);
    QCOMPARE(m_List->model()->rowCount(), 7);
    for (int position = 0; position < 7; ++position) {
        QCOMPARE(m_Dialog->ItemText(position), expectedTexts.at(position));
        QCOMPARE(m_Dialog->ItemData(position), expectedData.at(position));
        QVERIFY(!m_Dialog->ItemChecked(position));
        const QModelIndex item = m_List->model()->index(position, 0);
        QCOMPARE(item.data().toString(), expectedTexts.at(position));
        QCOMPARE(item.data(Qt::UserRole + 1).toInt(), expectedData.at(position));
        QCOMPARE(item.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(item.flags() & Qt::ItemIsUserCheckable);
        QVERIFY(!(item.flags() & Qt::ItemIsUserTristate));
    }
}

void TestSelectItems::fillStartsAfresh()
{
    m_Dialog->SetChecks(TCheckMode::cmCheckAll);
    m_Dialog->FillFromCatalog(m_Catalog->Catalog);
    QCOMPARE(m_Dialog->Count(), 7);
    QVERIFY(CheckedTexts(*m_Dialog).isEmpty());
    QVERIFY(VisiblyChecked(m_List).isEmpty());
}

void TestSelectItems::emptyCatalogGivesEmptyList()
{
    const TdmListObj none;
    m_Dialog->FillFromCatalog(none);
    QCOMPARE(m_Dialog->Count(), 0);
    QCOMPARE(m_List->model()->rowCount(), 0);
    m_Dialog->SetChecks(TCheckMode::cmCheckAll);
    QVERIFY(m_Dialog->CheckedEntries().isEmpty());
}

void TestSelectItems::checkByText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<qint32>>("checkedData");

    QTest::newRow("exact text") << QStringList{QStringLiteral("Ферма ( 1)")}
                                << QList<qint32>{4};
    QTest::newRow("other letter case")
        << QStringList{QStringLiteral("АМБАР ( 1)"), QStringLiteral("склад (10)")}
        << QList<qint32>{3, 2};
    QTest::newRow("duplicate text checks the first only")
        << QStringList{QStringLiteral("Склад ( 1)")} << QList<qint32>{0};
    QTest::newRow("unknown text checks nothing")
        << QStringList{QStringLiteral("Склад ( 3)"), QStringLiteral("Склад (1)")}
        << QList<qint32>{};
}

void TestSelectItems::checkByText()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<qint32>, checkedData);
    for (const QString &text : texts)
        m_Dialog->CheckByText(text);
    QList<qint32> checked;
    for (const TAvBuildingEntry &entry : m_Dialog->CheckedEntries())
        checked.append(entry.CatalogIndex);
    QCOMPARE(checked, checkedData);
    QCOMPARE(VisiblyChecked(m_List), CheckedTexts(*m_Dialog));
}

void TestSelectItems::shortcuts_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QStringList>("expected");

    // Two of seven checked before: амбар and Склад (10).
    const QStringList all{
        QStringLiteral("Академия ( 1)"), QStringLiteral("амбар ( 1)"),
        QStringLiteral("Склад ( 1)"),    QStringLiteral("Склад ( 1)"),
        QStringLiteral("Склад ( 2)"),    QStringLiteral("Склад (10)"),
        QStringLiteral("Ферма ( 1)")};
    QTest::newRow("Ctrl+A checks all") << QKeySequence(Qt::CTRL | Qt::Key_A) << all;
    QTest::newRow("Ctrl+Shift+A unchecks all")
        << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A) << QStringList{};
    QTest::newRow("Ctrl+I inverts")
        << QKeySequence(Qt::CTRL | Qt::Key_I)
        << QStringList{QStringLiteral("Академия ( 1)"), QStringLiteral("Склад ( 1)"),
                       QStringLiteral("Склад ( 1)"), QStringLiteral("Склад ( 2)"),
                       QStringLiteral("Ферма ( 1)")};
}

void TestSelectItems::shortcuts()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QStringList, expected);

    m_Dialog->CheckByText(QStringLiteral("амбар ( 1)"));
    m_Dialog->CheckByText(QStringLiteral("Склад (10)"));
    m_Dialog->show();
    QApplication::setActiveWindow(m_Dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(m_Dialog.get()));
    QTRY_VERIFY(m_List->hasFocus());

    QTest::keySequence(m_List, keys);
    QCOMPARE(CheckedTexts(*m_Dialog), expected);
    QCOMPARE(VisiblyChecked(m_List), expected);
}

void TestSelectItems::contextMenuItems()
{
    auto *menu = m_Dialog->findChild<QMenu *>(QStringLiteral("PopupMenu1"));
    QVERIFY(menu);
    const QList<QAction *> items = menu->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items.at(0)->objectName(), QStringLiteral("pmiInvers"));
    QCOMPARE(items.at(1)->objectName(), QStringLiteral("pmiSelectAll"));
    QCOMPARE(items.at(2)->objectName(), QStringLiteral("pmiUnSelectAll"));
    QVERIFY(items.at(0)->text().startsWith(QStringLiteral("Инверсия\t")));
    QVERIFY(items.at(1)->text().startsWith(QStringLiteral("Выделить все\t")));
    QVERIFY(items.at(2)->text().startsWith(QStringLiteral("Снять выделение\t")));

    auto *selectAll = m_Dialog->findChild<QAction *>(QStringLiteral("actSelectAll"));
    QVERIFY(selectAll);
    QCOMPARE(selectAll->text(), QStringLiteral("Выделить все"));
    QCOMPARE(selectAll->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));

    m_Dialog->CheckByText(QStringLiteral("Ферма ( 1)"));
    items.at(0)->trigger();
    QCOMPARE(CheckedTexts(*m_Dialog).size(), 6);
    QVERIFY(!CheckedTexts(*m_Dialog).contains(QStringLiteral("Ферма ( 1)")));
    items.at(2)->trigger();
    QVERIFY(CheckedTexts(*m_Dialog).isEmpty());
    items.at(1)->trigger();
    QCOMPARE(CheckedTexts(*m_Dialog).size(), 7);
}

void TestSelectItems::userCheckMarksAreRead()
{
    m_Dialog->show();
    QApplication::setActiveWindow(m_Dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(m_Dialog.get()));
    QTRY_VERIFY(m_List->hasFocus());
    // Space on the current item ticks it; a click on its box as well.
    m_List->setCurrentIndex(m_List->model()->index(6, 0));
    QTest::keyClick(m_List, Qt::Key_Space);
    SetCheck(m_List, 1, Qt::Checked);
    const QList<TAvBuildingEntry> expected{{QStringLiteral("амбар ( 1)"), 3},
                                           {QStringLiteral("Ферма ( 1)"), 4}};
    QCOMPARE(m_Dialog->CheckedEntries(), expected);
    SetCheck(m_List, 6, Qt::Unchecked);
    QCOMPARE(m_Dialog->CheckedEntries().size(), 1);
}

void TestSelectItems::buttonsCloseWithTheirResults_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("OK button") << QStringLiteral("BtnOk") << int(QDialog::Accepted);
    QTest::newRow("Cancel button") << QStringLiteral("BtnCancel") << int(QDialog::Rejected);
    QTest::newRow("Enter") << QStringLiteral("Enter") << int(QDialog::Accepted);
    QTest::newRow("Esc") << QStringLiteral("Esc") << int(QDialog::Rejected);
}

void TestSelectItems::buttonsCloseWithTheirResults()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    TFormSelectItems *dialog = m_Dialog.get();
    QTimer::singleShot(0, dialog, [dialog, how] {
        QApplication::setActiveWindow(dialog);
        if (how == QStringLiteral("Enter"))
            QTest::keyClick(dialog, Qt::Key_Return);
        else if (how == QStringLiteral("Esc"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>(how), Qt::LeftButton);
    });
    QCOMPARE(dialog->exec(), result);
}

void TestSelectItems::typeAheadFindsItemByBeginning()
{
    m_Dialog->show();
    QApplication::setActiveWindow(m_Dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(m_Dialog.get()));
    QTRY_VERIFY(m_List->hasFocus());
    // Letters typed in quick succession form one search.
    m_List->keyboardSearch(QStringLiteral("с"));
    m_List->keyboardSearch(QStringLiteral("к"));
    QCOMPARE(m_List->currentIndex().row(), 2);
    m_List->keyboardSearch(QStringLiteral("ФЕ"));
    QCOMPARE(m_List->currentIndex().row(), 2); // "скФЕ" matches nothing
    m_List->keyboardSearch(QString());
    m_List->keyboardSearch(QStringLiteral("ФЕ"));
    QCOMPARE(m_List->currentIndex().row(), 6);
}

void TestSelectItems::sharedDialogIsCreatedOnceAndOwnedByTheWindow()
{
    QVERIFY(!FormSelectItems);
    auto window = std::make_unique<QWidget>();
    auto *child = new QWidget(window.get());
    TFormSelectItems &first = UseFormSelectItems(child);
    TFormSelectItems &second = UseFormSelectItems(window.get());
    QCOMPARE(&first, &second);
    QCOMPARE(FormSelectItems.data(), &first);
    QCOMPARE(first.parentWidget(), window.get());
    QVERIFY(first.isWindow());
    window.reset();
    QVERIFY(!FormSelectItems);
}

QTEST_MAIN(TestSelectItems)
#include "tst_selectitems.moc"
