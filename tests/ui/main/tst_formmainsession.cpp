// What the main window carries from one run to the next: the recent files
// menu (the list itself is tested in tst_villagefiles), the view toggles and
// the geometry, the title that names the active village with its marker for
// changes not yet written, and the program's icon.
#include "TestSupport.h"

#include "ui/widgets/ProgramIcon.h"
#include "ui/main/f_Main.h"
#include "ui/page/f_Village.h"
#include "base/SettingsSeam.h"

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
    void recentFilesMenuNewestFirst();
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
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
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

    // Choosing an item opens its file.
    TFormMain other(m_Catalog);
    RecentItems(other);
    other.findChild<QMenu *>(QStringLiteral("miRecentFiles"))->actions().at(1)->trigger();
    QCOMPARE(TabTexts(other), QStringList{"Альфа"});
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
