// The wiring of what comes into and leaves the windows: a copied overview
// page reaching its village or the offer bar, Ctrl+Z and Ctrl+Shift+Z on
// the active village, Ctrl+C on a table, "Экспорт в CSV...", and drops.
#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "base/SettingsSeam.h"
#include "models/AvailableModel.h"
#include "notify/NotificationSettings.h"
#include "record/VillageData.h"
#include "ui/main/ClipboardOfferBar.h"
#include "ui/main/ClipboardRoute.h"
#include "ui/desktop/DesktopNotifier.h"
#include "ui/widgets/UiSeams.h"
#include "ui/dialogs/f_AllVillages.h"
#include "ui/main/f_Main.h"
#include "ui/page/f_Village.h"
#include "ui/UiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// The example page with another village name on line 12.
QString PageOf(const QString &name)
{
    QStringList lines = OverviewExampleText().split(u'\n');
    lines[11] = name;
    return lines.join(u'\n');
}

// Sets the clipboard and lets the route read it, then the village's
// evaluation follow.
void Copy(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
}

void Drop(QWidget *target, QMimeData *data)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void copiedPageGoesToItsVillage();
    void copiedPageOfAnotherVillageIsOffered();
    void notNowKeepsTheTabs();
    void newVillageTakesTheSharedRace_data();
    void newVillageTakesTheSharedRace();
    void watchSwitchedOff();
    void undoAndRedoKeys();
    void ctrlCCopiesSelectedRows();
    void ctrlACopiesEveryRow_data();
    void ctrlACopiesEveryRow();
    void exportWritesTheTables();
    void allVillagesExport();
    void droppedFileOpens();
    void droppedPageImports();

private:
    std::unique_ptr<TFormMain> MakeWindow(const QStringList &names);
    static QAction *Action(TFormMain &window, const char *name);

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<TRecordedMessages> m_Messages;
    QString m_PreviousSettings;
    TRecordedNotifications m_Notifications;
    QString m_ExportPath;
    // The questions with answers of their own, and the answer given (-1:
    // the default).
    QStringList m_Choices;
    int m_Choice = -1;
};

void TestExchange::initTestCase()
{
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/overview_catalog.xml")));
    QVERIFY(!OverviewExampleText().isEmpty());
}

void TestExchange::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    m_PreviousSettings = SetSettingsFile(m_Dir->filePath(QStringLiteral("JorLivaronMng.conf")));
    m_Messages = std::make_unique<TRecordedMessages>();
    m_Notifications = {};
    m_ExportPath = m_Dir->filePath(QStringLiteral("export.csv"));
    UiSeams::SetExportHandler([this](QWidget *, const QString &) { return m_ExportPath; });
    UiSeams::SetAskHandler([](QWidget *, const QString &, UiSeams::TAnswer) { return true; });
    m_Choices.clear();
    m_Choice = -1;
    UiSeams::SetChooseHandler([this](QWidget *, const QString &question, const QStringList &, int defaultAnswer) {
        m_Choices.append(question);
        return m_Choice < 0 ? defaultAnswer : m_Choice;
    });
    QGuiApplication::clipboard()->clear();
    QCoreApplication::sendPostedEvents();
}

void TestExchange::cleanup()
{
    UiSeams::SetExportHandler({});
    UiSeams::SetAskHandler({});
    UiSeams::SetChooseHandler({});
    m_Messages.reset();
    SetSettingsFile(m_PreviousSettings);
    m_Dir.reset();
}

std::unique_ptr<TFormMain> TestExchange::MakeWindow(const QStringList &names)
{
    auto window = std::make_unique<TFormMain>(m_Catalog);
    window->SetNotifier(std::make_unique<TRecordingNotifier>(m_Notifications));
    for (int i = 0; i < names.size(); ++i) {
        if (i > 0)
            Action(*window, "actNew")->trigger();
        TVillageData &village = window->Page(i)->Village();
        village.SetName(names.at(i));
        village.SetModified(false);
    }
    QCoreApplication::sendPostedEvents();
    return window;
}

QAction *TestExchange::Action(TFormMain &window, const char *name)
{
    return window.findChild<QAction *>(QString::fromLatin1(name));
}

void TestExchange::copiedPageGoesToItsVillage()
{
    // The page's village is open in a tab that is not shown.
    const auto window = MakeWindow({QStringLiteral("Южная"), QStringLiteral("северная застава")});
    window->findChild<QTabWidget *>(QStringLiteral("pcMain"))->setCurrentIndex(0);
    TFormVillage *north = window->Page(1);

    Copy(OverviewExampleText());
    QCOMPARE(north->Village().ResourceCollect[0], QStringLiteral("750"));
    QCOMPARE(window->Page(0)->Village().ResourceCollect[0], QString());
    QVERIFY(north->findChild<QLabel *>(QStringLiteral("lbInfo"))->text().startsWith(QStringLiteral("Импортировано:")));
    QCOMPARE(m_Notifications.Texts, QStringList{TClipboardRoute::ImportedText(QStringLiteral("северная застава"))});
    QCOMPARE(window->PageCount(), 2);

    // The same page again is ignored, even after the stocks were changed.
    north->Village().EditResourceCollect(TResourceKind::Wood, QStringLiteral("1"));
    Copy(OverviewExampleText().replace(u'\n', QStringLiteral("\r\n")));
    QCOMPARE(north->Village().ResourceCollect[0], QStringLiteral("1"));
    QCOMPARE(m_Notifications.Texts.size(), 1);
}

void TestExchange::copiedPageOfAnotherVillageIsOffered()
{
    const auto window = MakeWindow({QStringLiteral("Северная застава")});
    auto *bar = window->findChild<TClipboardOfferBar *>(QStringLiteral("tbClipboardOffer"));
    QVERIFY(bar);
    QVERIFY(bar->isHidden());

    Copy(PageOf(QStringLiteral("Южная")));
    QVERIFY(!bar->isHidden());
    QCOMPARE(bar->lbClipboardOffer->text(), TClipboardOfferBar::OfferText(QStringLiteral("Южная")));
    QCOMPARE(window->PageCount(), 1);
    QVERIFY(m_Notifications.Texts.isEmpty());

    QTest::mouseClick(bar->btnClipboardImport, Qt::LeftButton);
    QVERIFY(bar->isHidden());
    QCOMPARE(window->PageCount(), 2);
    TFormVillage *south = window->ActivePage();
    QCOMPARE(south->Village().Name, QStringLiteral("Южная"));
    QCOMPARE(south->Village().ResourceCollect[3], QStringLiteral("300"));
    QCOMPARE(window->Page(0)->Village().ResourceCollect[3], QString());

    // Now that the village is open, its next page goes there at once.
    Copy(PageOf(QStringLiteral("Южная")).replace(QStringLiteral("Глина: 80"), QStringLiteral("Глина: 81")));
    QVERIFY(bar->isHidden());
    QCOMPARE(south->Village().ResourceAdd[1], QStringLiteral("81"));
}

void TestExchange::notNowKeepsTheTabs()
{
    const auto window = MakeWindow({QStringLiteral("Северная застава")});
    auto *bar = window->findChild<TClipboardOfferBar *>(QStringLiteral("tbClipboardOffer"));
    Copy(PageOf(QStringLiteral("Южная")));
    QVERIFY(!bar->isHidden());
    QTest::mouseClick(bar->btnClipboardLater, Qt::LeftButton);
    QVERIFY(bar->isHidden());
    QCOMPARE(window->PageCount(), 1);
}

void TestExchange::newVillageTakesTheSharedRace_data()
{
    QTest::addColumn<QList<int>>("openRaces"); // as SetRace takes them; -1: none
    QTest::addColumn<int>("choice");           // the answer to the question; -1: its default
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("race");             // the new village's Race (0: none)

    QTest::newRow("the race the open villages share, unasked") << QList<int>{1, -1} << -1 << false << 2;
    QTest::newRow("races that differ: the one chosen") << QList<int>{0, 2} << 2 << true << 3;
    QTest::newRow("none open with a race: the default chooses none") << QList<int>{-1} << -1 << true << 0;
}

void TestExchange::newVillageTakesTheSharedRace()
{
    QFETCH(QList<int>, openRaces);
    QFETCH(int, choice);
    QFETCH(bool, asked);
    QFETCH(int, race);

    QStringList names;
    for (int i = 0; i < openRaces.size(); ++i)
        names.append(QStringLiteral("Деревня %1").arg(i + 1));
    const auto window = MakeWindow(names);
    for (int i = 0; i < openRaces.size(); ++i)
        window->Page(i)->Village().SetRace(openRaces.at(i));
    m_Choice = choice;
    auto *bar = window->findChild<TClipboardOfferBar *>(QStringLiteral("tbClipboardOffer"));
    Copy(PageOf(QStringLiteral("Южная")));
    QVERIFY(!bar->isHidden());
    QTest::mouseClick(bar->btnClipboardImport, Qt::LeftButton);

    TFormVillage *south = window->ActivePage();
    QCOMPARE(south->Village().Name, QStringLiteral("Южная"));
    QCOMPARE(m_Choices.size(), asked ? 1 : 0);
    QCOMPARE(int(south->Village().Race), race);
    // With a race its buildings came in with the page.
    QCOMPARE(south->Village().AvBuildings.isEmpty(), race == 0);
}

void TestExchange::watchSwitchedOff()
{
    TNotificationSettings settings;
    settings.WatchClipboard = false;
    QVERIFY(settings.Save());
    const auto window = MakeWindow({QStringLiteral("Северная застава")});
    QVERIFY(!window->NotificationSettings().WatchClipboard);
    Copy(OverviewExampleText());
    Copy(PageOf(QStringLiteral("Южная")));
    QCOMPARE(window->Page(0)->Village().ResourceCollect[0], QString());
    QVERIFY(window->findChild<TClipboardOfferBar *>(QStringLiteral("tbClipboardOffer"))->isHidden());
}

void TestExchange::undoAndRedoKeys()
{
    const auto window = MakeWindow({QStringLiteral("Северная застава")});
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    TVillageData &village = window->ActivePage()->Village();
    village.EditResourceCollect(TResourceKind::Wood, QStringLiteral("5"));
    QCoreApplication::sendPostedEvents();
    Copy(OverviewExampleText());
    QCOMPARE(village.ResourceCollect[0], QStringLiteral("750"));
    QAction *undo = Action(*window, "actUndo");
    QVERIFY(undo->isEnabled());
    QVERIFY(undo->text().endsWith(QStringLiteral(" импорт")));

    village.SetModified(false);
    window->findChild<QTableView *>(QStringLiteral("sgCalc"))->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(village.ResourceCollect[0], QStringLiteral("5"));
    QVERIFY(village.Modified);
    QVERIFY(window->isWindowModified());

    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(village.ResourceCollect[0], QStringLiteral("750"));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(village.ResourceCollect[0], QStringLiteral("750"));

    // The name typed in its field is a step of its own, undone as one.
    auto *edName = window->findChild<QLineEdit *>(QStringLiteral("edName"));
    edName->selectAll();
    QTest::keyClicks(edName, QStringLiteral("Yug"));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(village.Name, QStringLiteral("Yug"));
    window->findChild<QTableView *>(QStringLiteral("sgCalc"))->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(village.Name, QStringLiteral("Северная застава"));
    QCOMPARE(edName->text(), QStringLiteral("Северная застава"));

    // Another tab has a stack of its own.
    Action(*window, "actNew")->trigger();
    QVERIFY(!Action(*window, "actUndo")->isEnabled());
}

void TestExchange::ctrlCCopiesSelectedRows()
{
    const auto window = MakeWindow({QStringLiteral("Северная застава")});
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    TVillageData &village = window->ActivePage()->Village();
    village.SetRace(0);
    Copy(OverviewExampleText());
    auto *sgCalc = window->findChild<QTableView *>(QStringLiteral("sgCalc"));
    const QAbstractItemModel *model = sgCalc->model();
    QVERIFY(model->rowCount() >= 1);
    QVERIFY(!model->index(0, 0).data().toString().isEmpty());
    sgCalc->setFocus();
    sgCalc->selectRow(0);
    QTest::keyClick(sgCalc, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QStringList title = lines.at(0).split(u'\t');
    const QStringList row = lines.at(1).split(u'\t');
    QCOMPARE(title.size(), model->columnCount());
    QCOMPARE(title.at(0), model->headerData(0, Qt::Horizontal).toString());
    QCOMPARE(row.at(0), model->index(0, 0).data().toString());
    QCOMPARE(row.at(5), model->index(0, 5).data().toString());
    // What was copied is no overview page: the village stays as it was.
    QCoreApplication::sendPostedEvents();
    QCOMPARE(village.ResourceCollect[0], QStringLiteral("750"));
}

void TestExchange::ctrlACopiesEveryRow_data()
{
    QTest::addColumn<QString>("table");

    QTest::newRow("resources, each row under its title") << QStringLiteral("sgRes");
    QTest::newRow("available buildings") << QStringLiteral("sgCalc");
}

void TestExchange::ctrlACopiesEveryRow()
{
    QFETCH(QString, table);

    const auto window = MakeWindow({QStringLiteral("Северная застава")});
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->ActivePage()->Village().SetRace(0);
    Copy(OverviewExampleText());
    auto *view = window->findChild<QTableView *>(table);
    QVERIFY(view);
    const QAbstractItemModel *model = view->model();
    QVERIFY(model->rowCount() >= 1);
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);

    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), model->rowCount() + 1);
    // A row the model titles carries its title before its cells.
    const QString rowTitle = model->headerData(model->rowCount() - 1, Qt::Vertical).toString();
    const QString lastCell = model->index(model->rowCount() - 1, 0).data().toString();
    const bool titled = table == u"sgRes";
    QCOMPARE(lines.last().split(u'\t').first(), titled ? rowTitle : lastCell);
}

void TestExchange::exportWritesTheTables()
{
    const auto window = MakeWindow({QStringLiteral("Северная застава")});
    window->ActivePage()->Village().SetRace(0);
    Copy(OverviewExampleText());
    Action(*window, "actExportCsv")->trigger();
    QFile file(m_ExportPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(bytes.mid(3));
    const QAbstractItemModel *available = window->findChild<QTableView *>(QStringLiteral("sgCalc"))->model();
    QVERIFY(text.startsWith(available->headerData(0, Qt::Horizontal).toString() + u','));
    QVERIFY(text.contains(u'\n' + available->index(0, 0).data().toString() + u','));
    // The queue follows after an empty line, under its own titles.
    const QAbstractItemModel *queue = window->findChild<QTableView *>(QStringLiteral("sgQueue"))->model();
    QVERIFY(text.contains(QStringLiteral("\r\n\r\n") + queue->headerData(0, Qt::Horizontal).toString() + u','));
    QVERIFY(m_Messages->Messages.isEmpty());

    // A file that cannot be written is reported.
    m_ExportPath = m_Dir->filePath(QStringLiteral("no/such/folder/x.csv"));
    Action(*window, "actExportCsv")->trigger();
    QCOMPARE(m_Messages->Messages.size(), 1);
    QVERIFY(m_Messages->Messages.constFirst().second.startsWith(QStringLiteral("Не удалось записать файл")));
}

void TestExchange::allVillagesExport()
{
    const auto window = MakeWindow({QStringLiteral("Северная, \"старая\""), QStringLiteral("Южная")});
    Action(*window, "actAllVillages")->trigger();
    TFormAllVillages *all = window->AllVillages();
    QVERIFY(all);
    QTest::mouseClick(all->findChild<QPushButton *>(QStringLiteral("btnExportCsv")), Qt::LeftButton);
    QFile file(m_ExportPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll().mid(3));
    QCOMPARE(text.count(QStringLiteral("\r\n")), 3);
    QVERIFY(text.contains(QStringLiteral("\r\n\"Северная, \"\"старая\"\"\",")));
    QVERIFY(text.contains(QStringLiteral("\r\nЮжная,")));
}

void TestExchange::droppedFileOpens()
{
    const auto window = MakeWindow({});
    const QString path = m_Dir->filePath(QStringLiteral("Малая.vlgdat"));
    QVERIFY(QFile::copy(QStringLiteral(JOR_TEST_DATA_DIR "/expected_small_village.vlgdat"), path));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(m_Dir->filePath(QStringLiteral("notes.txt")))});
    Drop(window.get(), &data);
    QTRY_COMPARE(window->ActivePage()->Village().FileName, path);
    QCOMPARE(window->PageCount(), 1);
    QVERIFY(m_Messages->Messages.isEmpty());
}

void TestExchange::droppedPageImports()
{
    const auto window = MakeWindow({QStringLiteral("Любая")});
    TFormVillage *page = window->ActivePage();
    QMimeData data;
    data.setText(QStringLiteral("просто текст"));
    Drop(page, &data);
    QCOMPARE(page->Village().ResourceCollect[0], QString());
    data.setText(OverviewExampleText());
    Drop(page, &data);
    QCOMPARE(page->Village().ResourceCollect[0], QStringLiteral("750"));
    // The name of the village is its own, whatever the page says.
    QCOMPARE(page->Village().Name, QStringLiteral("Любая"));
}

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
