// What the main window carries from one run to the next and from the
// desktop: the session of open villages, the recent files menu, files named
// on the command line, the view toggles and the geometry, and the title that
// names the active village with its marker for changes not yet written.
#include "TestSupport.h"

#include "ui/widgets/ProgramIcon.h"
#include "ui/widgets/UiSeams.h"
#include "ui/main/f_Main.h"
#include "ui/page/f_Village.h"
#include "app/RecentFiles.h"
#include "app/Session.h"
#include "base/SettingsSeam.h"
#include "record/VillageFile.h"
#include "record/VillageFileAccess.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QWindow>

class TestFormMainSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void titleNamesTheActiveVillageWithItsMarker();
    void sessionOpensTheSameVillagesAgain_data();
    void sessionOpensTheSameVillagesAgain();
    void recentFilesMenuNewestFirst();
    void recentFileThatHasGoneIsRemovedWithAMessage();
    void recentFilesKeepTheirOrderWhenTheSessionOpens();
    void commandLineFilesOpenLikeOpen();
    void startWithManyFilesWritesSettingsOnce();
    void viewTogglesAndGeometryRemembered();
    void programIconLoads();
    void geometryRememberedWithoutAnEnd();

private:
    QString WriteVillage(const QString &fileName, const QString &name);
    static QStringList TabTexts(TFormMain &window);
    static QStringList RecentItems(TFormMain &window);
    static QString VisibleTitle(TFormMain &window);

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<TRecordedMessages> m_Messages;
    QString m_PreviousSettings;
};

void TestFormMainSession::initTestCase()
{
    const QString shipped = QStringLiteral(JOR_SHIPPED_CATALOG);
    QVERIFY(m_Catalog.LoadCatalog(shipped.left(shipped.size() - int(qstrlen(".xml")))));
}

void TestFormMainSession::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Messages = std::make_unique<TRecordedMessages>();
    m_PreviousSettings = SetSettingsFile(m_Dir->filePath(QStringLiteral("settings.conf")));
}

void TestFormMainSession::cleanup()
{
    SetSettingsFile(m_PreviousSettings);
    m_Messages.reset();
    m_Dir.reset();
}

QString TestFormMainSession::WriteVillage(const QString &fileName, const QString &name)
{
    const QString path = m_Dir->filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                              "<JorVillageData><Village Name=\"%1\" Race=\"Галлы\" MainLevel=\"3\"/>"
                              "</JorVillageData>")
                   .arg(name)
                   .toUtf8());
    return path;
}

QStringList TestFormMainSession::TabTexts(TFormMain &window)
{
    QStringList texts;
    for (int i = 0; i < window.PageCount(); ++i)
        texts.append(window.Page(i)->Village().Name);
    return texts;
}

// The items of Файл → "Последние файлы" as the menu shows them when opened.
QStringList TestFormMainSession::RecentItems(TFormMain &window)
{
    auto *menu = window.findChild<QMenu *>(QStringLiteral("miRecentFiles"));
    if (!menu)
        return {QStringLiteral("no menu")};
    emit menu->aboutToShow();
    QStringList items;
    for (const QAction *item : menu->actions())
        items.append(item->isEnabled() ? item->text() : QStringLiteral("disabled: ") + item->text());
    return items;
}

// The title as the window system shows it, the marker put in.
QString TestFormMainSession::VisibleTitle(TFormMain &window)
{
    window.winId();
    return window.windowHandle() ? window.windowHandle()->title() : QString();
}

void TestFormMainSession::startWithManyFilesWritesSettingsOnce()
{
    // Twenty villages of the last session: the settings file is written
    // once after the start, however many values the start stored, and each
    // file's path is resolved a bounded number of times, not again for
    // every tab at every open.
    QStringList files;
    for (int i = 0; i < 20; ++i)
        files.append(WriteVillage(QStringLiteral("v%1.vlgdat").arg(i), QStringLiteral("Деревня %1").arg(i)));
    StoreSetting(*OpenSettings(), QStringLiteral("Session/Files"), files);
    QVERIFY(FlushSettings());

    const qint64 writes = SettingsWriteCount();
    const qint64 lookups = VillageFileIdentityCount();
    TFormMain window(m_Catalog);
    window.RestoreSession();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(window.PageCount(), 20);
    QVERIFY(SettingsWriteCount() - writes <= 1);
    QVERIFY(VillageFileIdentityCount() - lookups <= 3 * 20);
}

void TestFormMainSession::titleNamesTheActiveVillageWithItsMarker()
{
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    TFormMain window(m_Catalog);
    QCOMPARE(VisibleTitle(window), QStringLiteral("Менеджер для игры Ливарон"));
    QVERIFY(!window.isWindowModified());

    auto *edName = window.ActivePage()->findChild<QLineEdit *>(QStringLiteral("edName"));
    QVERIFY(edName);
    edName->setText(QStringLiteral("Северная"));
    QVERIFY(window.ActivePage()->Village().Modified);
    QCOMPARE(VisibleTitle(window), QStringLiteral("Северная* — Менеджер для игры Ливарон"));

    window.findChild<QAction *>(QStringLiteral("actNew"))->trigger();
    QCOMPARE(VisibleTitle(window), QStringLiteral("Менеджер для игры Ливарон"));
    window.OpenFiles({beta});
    QCOMPARE(window.ActivePage()->Village().Name, QStringLiteral("Бета"));
    // A file just opened has no marker; the first edit brings it, a save
    // takes it away.
    QCOMPARE(VisibleTitle(window), QStringLiteral("Бета — beta.vlgdat — Менеджер для игры Ливарон"));
    window.ActivePage()->Village().SetComments(QStringLiteral("правка"));
    QCOMPARE(VisibleTitle(window), QStringLiteral("Бета — beta.vlgdat* — Менеджер для игры Ливарон"));
    window.findChild<QAction *>(QStringLiteral("actSave"))->trigger();
    QCOMPARE(VisibleTitle(window), QStringLiteral("Бета — beta.vlgdat — Менеджер для игры Ливарон"));

    window.findChild<QTabWidget *>(QStringLiteral("pcMain"))->setCurrentIndex(0);
    QCOMPARE(VisibleTitle(window), QStringLiteral("Северная* — Менеджер для игры Ливарон"));
}

void TestFormMainSession::sessionOpensTheSameVillagesAgain_data()
{
    QTest::addColumn<QStringList>("gone"); // removed between the two runs
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("reported");

    QTest::newRow("all there") << QStringList() << QStringList{"Альфа", "Бета", "Гамма"} << QStringLiteral("Бета")
                               << QStringList();
    QTest::newRow("one gone") << QStringList{"gamma.vlgdat"} << QStringList{"Альфа", "Бета"} << QStringLiteral("Бета")
                              << QStringList{"gamma.vlgdat"};
    QTest::newRow("shown one gone") << QStringList{"beta.vlgdat"} << QStringList{"Альфа", "Гамма"}
                                    << QStringLiteral("Альфа") << QStringList{"beta.vlgdat"};
    QTest::newRow("two gone, one message") << QStringList{"alpha.vlgdat", "gamma.vlgdat"} << QStringList{"Бета"}
                                           << QStringLiteral("Бета")
                                           << QStringList{"alpha.vlgdat", "gamma.vlgdat"};
    QTest::newRow("all gone") << QStringList{"alpha.vlgdat", "beta.vlgdat", "gamma.vlgdat"} << QStringList{""}
                              << QString() << QStringList{"alpha.vlgdat", "beta.vlgdat", "gamma.vlgdat"};
}

void TestFormMainSession::sessionOpensTheSameVillagesAgain()
{
    QFETCH(QStringList, gone);
    QFETCH(QStringList, tabs);
    QFETCH(QString, shown);
    QFETCH(QStringList, reported);

    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    const QString gamma = WriteVillage(QStringLiteral("gamma.vlgdat"), QStringLiteral("Гамма"));
    {
        TFormMain window(m_Catalog);
        window.OpenFiles({alpha, beta});
        // A village that has no file is not part of the session: its save
        // is cancelled and the window closes without it.
        window.findChild<QAction *>(QStringLiteral("actNew"))->trigger();
        window.ActivePage()->findChild<QLineEdit *>(QStringLiteral("edName"))->setText(QStringLiteral("Без файла"));
        window.OpenFiles({gamma});
        window.findChild<QTabWidget *>(QStringLiteral("pcMain"))->setCurrentIndex(1);
        QCOMPARE(TabTexts(window), (QStringList{"Альфа", "Бета", "Без файла", "Гамма"}));
        const auto previousSave = UiSeams::SetSaveHandler([](QWidget *, const QString &, const QString &) {
            return QString();
        });
        const auto previousAsk = UiSeams::SetAskHandler([](QWidget *, const QString &, UiSeams::TAnswer) { return true; });
        const bool closed = window.close();
        UiSeams::SetSaveHandler(previousSave);
        UiSeams::SetAskHandler(previousAsk);
        QVERIFY(closed);
    }
    for (const QString &file : gone)
        QVERIFY(QFile::remove(m_Dir->filePath(file)));
    QVERIFY(m_Messages->Messages.isEmpty());

    TFormMain window(m_Catalog);
    window.RestoreSession();
    QCOMPARE(TabTexts(window), tabs);
    QCOMPARE(window.ActivePage()->Village().Name, shown);
    if (reported.isEmpty()) {
        QVERIFY(m_Messages->Messages.isEmpty());
    } else {
        QStringList paths;
        for (const QString &file : reported)
            paths.append(m_Dir->filePath(file));
        QCOMPARE(m_Messages->Texts(), QStringList{TSession::MissingFilesMessage(paths)});
        for (const QString &path : paths)
            QVERIFY(m_Messages->Texts().constFirst().contains(path));
    }
}

void TestFormMainSession::recentFilesMenuNewestFirst()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("a&b.vlgdat"), QStringLiteral("Бета"));
    TFormMain window(m_Catalog);
    QCOMPARE(RecentItems(window), QStringList{QStringLiteral("disabled: (нет)")});

    window.OpenFiles({alpha});
    window.OpenFiles({beta});
    const QString shownBeta = QString(beta).replace(QLatin1Char('&'), QStringLiteral("&&"));
    QCOMPARE(RecentItems(window), (QStringList{QStringLiteral("&1 ") + shownBeta, QStringLiteral("&2 ") + alpha}));

    // Another window of the program reads the list the first one left.
    TFormMain other(m_Catalog);
    QCOMPARE(RecentItems(other), RecentItems(window));
    // Choosing an item opens its file in that window.
    auto *menu = other.findChild<QMenu *>(QStringLiteral("miRecentFiles"));
    menu->actions().at(1)->trigger();
    QCOMPARE(TabTexts(other), QStringList{"Альфа"});
    QCOMPARE(RecentItems(other), (QStringList{QStringLiteral("&1 ") + alpha, QStringLiteral("&2 ") + shownBeta}));
    QVERIFY(m_Messages->Messages.isEmpty());
}

void TestFormMainSession::recentFileThatHasGoneIsRemovedWithAMessage()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    {
        TFormMain window(m_Catalog);
        window.OpenFiles({alpha, beta});
    }
    QVERIFY(QFile::remove(beta));

    TFormMain window(m_Catalog);
    RecentItems(window);
    window.findChild<QMenu *>(QStringLiteral("miRecentFiles"))->actions().at(0)->trigger();
    QCOMPARE(m_Messages->Texts(), QStringList{TRecentFiles::MissingFileMessage(beta)});
    QCOMPARE(TabTexts(window), QStringList{""});
    QCOMPARE(RecentItems(window), QStringList{QStringLiteral("&1 ") + alpha});
}

void TestFormMainSession::recentFilesKeepTheirOrderWhenTheSessionOpens()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    {
        TFormMain window(m_Catalog);
        window.OpenFiles({alpha, beta});
        QVERIFY(window.close());
    }
    // Since then another window of the program used alpha.
    OpenSettings()->setValue(TRecentFiles::SettingsKey, QStringList{alpha, beta});
    TFormMain window(m_Catalog);
    window.RestoreSession();
    QCOMPARE(TabTexts(window), (QStringList{"Альфа", "Бета"}));
    QCOMPARE(RecentItems(window), (QStringList{QStringLiteral("&1 ") + alpha, QStringLiteral("&2 ") + beta}));
}

void TestFormMainSession::commandLineFilesOpenLikeOpen()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    TFormMain window(m_Catalog);
    window.OpenFiles({alpha, alpha, beta});
    QCOMPARE(TabTexts(window), (QStringList{"Альфа", "Бета"}));
    QCOMPARE(window.ActivePage()->Village().Name, QStringLiteral("Бета"));
    QCOMPARE(m_Messages->Texts(), QStringList{AlreadyOpenMessage(alpha)});
}

void TestFormMainSession::viewTogglesAndGeometryRemembered()
{
    const TFormVillage fresh(m_Catalog);
    {
        TFormMain window(m_Catalog);
        // A size of its own that the screen (800 x 800 offscreen) has room for.
        window.resize(760, 700);
        QCOMPARE(window.ActivePage()->CommentsVisible(), fresh.CommentsVisible());
        window.findChild<QAction *>(QStringLiteral("actViewComments"))->trigger();
        QCOMPARE(window.ActivePage()->CommentsVisible(), !fresh.CommentsVisible());
        QVERIFY(window.close());
    }
    TFormMain window(m_Catalog);
    QCOMPARE(window.size(), QSize(760, 700));
    QCOMPARE(window.ActivePage()->CommentsVisible(), !fresh.CommentsVisible());
    QCOMPARE(window.ActivePage()->ProgressVisible(), fresh.ProgressVisible());
    window.findChild<QAction *>(QStringLiteral("actNew"))->trigger();
    QCOMPARE(window.ActivePage()->CommentsVisible(), !fresh.CommentsVisible());
}

void TestFormMainSession::geometryRememberedWithoutAnEnd()
{
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(750, 690);
    // Remembered once the window has rested, with no end (as after a crash).
    TFormMain before(m_Catalog);
    QCOMPARE_NE(before.size(), QSize(750, 690));
    QTRY_VERIFY_WITH_TIMEOUT(TFormMain(m_Catalog).size() == QSize(750, 690), 5000);
}

void TestFormMainSession::programIconLoads()
{
    // The icon's sizes are PNGs in the resources: each one reads without
    // any image plug-in, and a size between them is scaled from one.
    const QIcon icon = ProgramIcon();
    QVERIFY(!icon.isNull());
    for (const QSize &size : icon.availableSizes())
        QVERIFY2(!QImage(QStringLiteral(":/icons/%1/jorlivaronmng.png").arg(size.width())).isNull(),
                 qPrintable(QString::number(size.width())));
    QVERIFY(icon.availableSizes().size() > 1);
    QCOMPARE(icon.pixmap(40, 40).size(), QSize(40, 40));
}

QTEST_MAIN(TestFormMainSession)
#include "tst_formmainsession.moc"
