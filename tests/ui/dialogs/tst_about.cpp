// The About box: its texts and frame, the links it opens, the keys and
// clicks that close it, and the two hidden key words with the blink timer.
#include "Version.h"
#include "ui/dialogs/f_About.h"

#include <QDesktopServices>
#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

// Records the addresses the box hands to the system shell.
class TUrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> Opened;

public slots:
    void Open(const QUrl &url) { Opened.append(url); }
};

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void linkTarget_data();
    void linkTarget();
    void otherLayout_data();
    void otherLayout();

    void shape();
    void texts();
    void frameIsWhiteOutsideBlackInside();

    void closes_data();
    void closes();
    void otherButtonsKeepTheBox_data();
    void otherButtonsKeepTheBox();
    void linkClickOpensAndKeepsTheBox_data();
    void linkClickOpensAndKeepsTheBox();
    void linkDoubleClickOpensOnce();

    void boldKeyWord_data();
    void boldKeyWord();
    void typedKeysAreTrimmed();
    void blinkKeyWordStartsAndStopsTheTimer();
    void blinkColours_data();
    void blinkColours();
    void hidingRestoresTheAuthorLine();

private:
    static void Type(QWidget *widget, const QString &text);
    static void Tick(TAboutBox &box, int count);
    static QLabel *Author(TAboutBox &box);

    TUrlRecorder *m_Urls = nullptr;
};

void TestAbout::init()
{
    m_Urls = new TUrlRecorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), m_Urls, "Open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), m_Urls, "Open");
}

void TestAbout::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    delete m_Urls;
    m_Urls = nullptr;
}

// Sends each character as a key press with that text, as a keyboard with
// any layout would.
void TestAbout::Type(QWidget *widget, const QString &text)
{
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(widget, &release);
    }
}

void TestAbout::Tick(TAboutBox &box, int count)
{
    auto *timer = box.findChild<QTimer *>(QStringLiteral("tmBlink"));
    QVERIFY(timer);
    for (int i = 0; i < count; ++i)
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
}

QLabel *TestAbout::Author(TAboutBox &box)
{
    return box.findChild<QLabel *>(QStringLiteral("lbAuthor"));
}

void TestAbout::linkTarget_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("target");
    QTest::newRow("web address") << "https://jorlivaron.example/" << "https://jorlivaron.example/";
    QTest::newRow("mail address") << "team@example.org" << "mailto:team@example.org";
    QTest::newRow("at sign first is no mail") << "@example.org" << "@example.org";
    QTest::newRow("at sign second") << "a@b" << "mailto:a@b";
    QTest::newRow("at sign last") << "team@" << "mailto:team@";
    QTest::newRow("empty") << "" << "";
}

void TestAbout::linkTarget()
{
    QFETCH(QString, text);
    QFETCH(QString, target);
    QCOMPARE(TAboutBox::LinkTarget(text), target);
}

void TestAbout::otherLayout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("other");
    QTest::newRow("latin to cyrillic") << "AUTHOR" << "ФГЕРЩК";
    QTest::newRow("cyrillic to latin") << "ИДШТЛ" << "BLINK";
    QTest::newRow("lower case comes out upper") << "blink" << "ИДШТЛ";
    QTest::newRow("punctuation keys") << "[];',.`" << "ХЪЖЭБЮЁ";
    QTest::newRow("digits stay") << "A1" << "Ф1";
}

void TestAbout::otherLayout()
{
    QFETCH(QString, text);
    QFETCH(QString, other);
    QCOMPARE(TAboutBox::OtherLayout(text), other);
}

void TestAbout::shape()
{
    TAboutBox box;
    QVERIFY(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(box.isModal());
    auto *separator = box.findChild<QFrame *>(QStringLiteral("bvSeparator"));
    QVERIFY(separator);
    QCOMPARE(separator->width(), 353);
    QCOMPARE(box.size(), QSize(373, 273));
}

void TestAbout::texts()
{
    TAboutBox box;
    auto text = [&box](const char *name) {
        auto *label = box.findChild<QLabel *>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<missing>");
    };
    QCOMPARE(text("lbProductName"), QStringLiteral("Менеджер для игры Ливарон"));
    QCOMPARE(text("lbVersion"), QStringLiteral("Версия " JOR_VERSION));
    QCOMPARE(text("lbAuthorCaption"), QStringLiteral("Автор:"));
    QVERIFY(!text("lbAuthor").isEmpty());
    QVERIFY(!text("lbReleaseDate").isEmpty());
    QCOMPARE(text("lbLinkCaption1"), QStringLiteral("Страничка программы:"));
    QCOMPARE(text("lbLinkCaption2"), QStringLiteral("Страничка игры Ливарон:"));
    QCOMPARE(text("lbLinkCaption3"), QStringLiteral("Ливарон FAQ:"));

    auto *title = box.findChild<QLabel *>(QStringLiteral("lbProductName"));
    QVERIFY(title->font().bold());
    QCOMPARE(title->font().pointSize(), 12);

    int mailLinks = 0;
    for (int i = 1; i <= 7; ++i) {
        auto *link = box.findChild<QLabel *>(QStringLiteral("lbLink%1").arg(i));
        QVERIFY2(link, qPrintable(QStringLiteral("lbLink%1").arg(i)));
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        if (TAboutBox::LinkTarget(link->text()).startsWith(QStringLiteral("mailto:")))
            ++mailLinks;
    }
    QVERIFY(!box.findChild<QLabel *>(QStringLiteral("lbLink8")));
    QCOMPARE(mailLinks, 1);

    QCOMPARE(box.findChild<QLabel *>(QStringLiteral("Image1"))->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!box.findChild<QLabel *>(QStringLiteral("Image2"))->pixmap().isNull());
}

void TestAbout::frameIsWhiteOutsideBlackInside()
{
    TAboutBox box;
    const QImage image = box.grab().toImage();
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    for (const QPoint &outer : {QPoint(0, 0), QPoint(right, bottom), QPoint(right / 2, 0), QPoint(0, bottom / 2)})
        QCOMPARE(QColor(image.pixel(outer)), QColor(Qt::white));
    for (const QPoint &inner :
        {QPoint(1, 1), QPoint(right - 1, bottom - 1), QPoint(right / 2, bottom - 1), QPoint(right - 1, bottom / 2)})
        QCOMPARE(QColor(image.pixel(inner)), QColor(Qt::black));
    // Inside the frame lies the box's own background.
    QVERIFY(QColor(image.pixel(2, bottom / 2)) != QColor(Qt::black));
}

void TestAbout::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("click on the box") << "box";
    QTest::newRow("click on a caption") << "caption";
    QTest::newRow("click on the first picture") << "picture";
    QTest::newRow("double click on the first picture") << "picture double";
}

void TestAbout::closes()
{
    QFETCH(QString, how);
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    if (how == QLatin1String("esc")) {
        QTest::keyClick(&box, Qt::Key_Escape);
    } else if (how == QLatin1String("box")) {
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.width() - 6, box.height() - 6));
    } else if (how == QLatin1String("caption")) {
        QTest::mouseClick(box.findChild<QLabel *>(QStringLiteral("lbLinkCaption2")), Qt::LeftButton);
    } else if (how == QLatin1String("picture")) {
        QTest::mouseClick(box.findChild<QLabel *>(QStringLiteral("Image1")), Qt::LeftButton);
    } else {
        QTest::mouseDClick(box.findChild<QLabel *>(QStringLiteral("Image1")), Qt::LeftButton);
    }
    QVERIFY(!box.isVisible());
    QVERIFY(m_Urls->Opened.isEmpty());
}

void TestAbout::otherButtonsKeepTheBox_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("right click on the box") << "box" << Qt::RightButton << false;
    QTest::newRow("middle click on the box") << "box" << Qt::MiddleButton << false;
    QTest::newRow("right click on a caption") << "lbLinkCaption2" << Qt::RightButton << false;
    QTest::newRow("right click on the first picture") << "Image1" << Qt::RightButton << false;
    QTest::newRow("right double click on the first picture") << "Image1" << Qt::RightButton << true;
}

void TestAbout::otherButtonsKeepTheBox()
{
    QFETCH(QString, where);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, doubleClick);
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QWidget *target = &box;
    QPoint position(box.width() - 6, box.height() - 6);
    if (where != QLatin1String("box")) {
        target = box.findChild<QLabel *>(where);
        QVERIFY(target);
        position = target->rect().center();
    }
    if (doubleClick)
        QTest::mouseDClick(target, button, {}, position);
    else
        QTest::mouseClick(target, button, {}, position);
    QVERIFY(box.isVisible());

    // The left button still closes it.
    QTest::mouseClick(target, Qt::LeftButton, {}, position);
    QVERIFY(!box.isVisible());
}

void TestAbout::linkClickOpensAndKeepsTheBox_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("web page") << "https://jorlivaron.example/";
    QTest::newRow("mail") << "mailto:jorlivaron@example.org";
}

void TestAbout::linkClickOpensAndKeepsTheBox()
{
    QFETCH(QString, address);
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QLabel *target = nullptr;
    for (QLabel *link : box.findChildren<QLabel *>()) {
        if (link->objectName().startsWith(QStringLiteral("lbLink")) && !link->objectName().contains("Caption")
            && TAboutBox::LinkTarget(link->text()) == address)
            target = link;
    }
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton);
    QCOMPARE(m_Urls->Opened, QList<QUrl>{QUrl(address)});
    QVERIFY(box.isVisible());
}

void TestAbout::linkDoubleClickOpensOnce()
{
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto *link = box.findChild<QLabel *>(QStringLiteral("lbLink1"));
    // Through the window, as the system delivers it: press, release, second
    // press (a double click), release.
    const QPoint onLink = link->mapTo(&box, link->rect().center());
    QTest::mouseDClick(box.windowHandle(), Qt::LeftButton, {}, onLink);
    QCOMPARE(m_Urls->Opened.size(), 1);
    QCOMPARE(m_Urls->Opened.first(), QUrl(link->text()));
    // A later single click opens it again.
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, onLink, 600);
    QCOMPARE(m_Urls->Opened.size(), 2);
    QVERIFY(box.isVisible());
}

void TestAbout::boldKeyWord_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("lower case") << "author";
    QTest::newRow("upper case") << "AUTHOR";
    QTest::newRow("after other keys") << "xyz12author";
    QTest::newRow("typed with the russian layout") << "фгерщк";
    QTest::newRow("russian layout upper case") << "ФГЕРЩК";
}

void TestAbout::boldKeyWord()
{
    QFETCH(QString, typed);
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QLabel *author = Author(box);
    QVERIFY(!author->font().bold());

    Type(&box, typed.left(typed.size() - 1));
    QVERIFY(!author->font().bold());
    Type(&box, typed.right(1));
    QVERIFY(author->font().bold());
    QCOMPARE(box.TypedKeys(), QString());

    Type(&box, typed);
    QVERIFY(!author->font().bold());
    QVERIFY(box.isVisible());
}

void TestAbout::typedKeysAreTrimmed()
{
    TAboutBox box;
    Type(&box, QStringLiteral("abcdefghijklmnopqrstu"));
    QCOMPARE(box.TypedKeys(), QStringLiteral("abcdefghijklmnopqrstu"));
    Type(&box, QStringLiteral("v"));
    QCOMPARE(box.TypedKeys(), QStringLiteral("klmnopqrstuv"));

    // A key word typed across the trimming is still found.
    Type(&box, QStringLiteral("123456789au"));
    QCOMPARE(box.TypedKeys(), QStringLiteral("uv123456789au"));
    Type(&box, QStringLiteral("thor"));
    QVERIFY(Author(box)->font().bold());
}

void TestAbout::blinkKeyWordStartsAndStopsTheTimer()
{
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto *timer = box.findChild<QTimer *>(QStringLiteral("tmBlink"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 700);
    QVERIFY(!timer->isActive());
    QLabel *author = Author(box);
    const QColor normal = author->palette().color(QPalette::WindowText);

    Type(&box, QStringLiteral("blink"));
    QVERIFY(timer->isActive());
    QCOMPARE(box.TypedKeys(), QString());

    Tick(box, 7);
    QVERIFY(author->isHidden());
    QCOMPARE(author->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    Type(&box, QStringLiteral("ИДШТЛ"));
    QVERIFY(!timer->isActive());
    QVERIFY(!author->isHidden());
    QCOMPARE(author->palette().color(QPalette::WindowText), normal);
}

void TestAbout::blinkColours_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("1 tick: hidden, normal") << 1 << QColor() << true;
    QTest::newRow("5 ticks: normal") << 5 << QColor() << true;
    QTest::newRow("6 ticks: red") << 6 << QColor(255, 0, 0) << false;
    QTest::newRow("11 ticks: still red") << 11 << QColor(255, 0, 0) << true;
    QTest::newRow("12 ticks: yellow") << 12 << QColor(255, 255, 0) << false;
    QTest::newRow("18 ticks: lime") << 18 << QColor(0, 255, 0) << false;
    QTest::newRow("24 ticks: blue") << 24 << QColor(0, 0, 255) << false;
    QTest::newRow("30 ticks: fuchsia") << 30 << QColor(255, 0, 255) << false;
    QTest::newRow("36 ticks: normal again") << 36 << QColor() << false;
    QTest::newRow("42 ticks: red again") << 42 << QColor(255, 0, 0) << false;
}

void TestAbout::blinkColours()
{
    QFETCH(int, ticks);
    QFETCH(QColor, colour);
    QFETCH(bool, hidden);
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QLabel *author = Author(box);
    const QColor normal = author->palette().color(QPalette::WindowText);
    QVERIFY(normal != QColor(255, 0, 0));

    Type(&box, QStringLiteral("blink"));
    Tick(box, ticks);
    QCOMPARE(author->palette().color(QPalette::WindowText), colour.isValid() ? colour : normal);
    QCOMPARE(author->isHidden(), hidden);
}

void TestAbout::hidingRestoresTheAuthorLine()
{
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QLabel *author = Author(box);
    const QColor normal = author->palette().color(QPalette::WindowText);
    auto *timer = box.findChild<QTimer *>(QStringLiteral("tmBlink"));

    Type(&box, QStringLiteral("author"));
    Type(&box, QStringLiteral("blink"));
    Tick(box, 13);
    QVERIFY(author->font().bold());
    QVERIFY(author->isHidden());
    QVERIFY(timer->isActive());

    // Half a key word before the box goes; the typed keys outlive a showing.
    Type(&box, QStringLiteral("aut"));
    QTest::keyClick(&box, Qt::Key_Escape);
    QVERIFY(!box.isVisible());
    QVERIFY(!timer->isActive());
    QVERIFY(!author->font().bold());
    QVERIFY(!author->isHidden());
    QCOMPARE(author->palette().color(QPalette::WindowText), normal);

    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    Type(&box, QStringLiteral("hor"));
    QVERIFY(author->font().bold());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
