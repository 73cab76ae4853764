// The import dialog: its texts and layout, the field that keeps pasted lines
// whole, and the recognition of a complete overview page that closes the
// dialog by itself.
#include "ui/dialogs/f_ImportRes.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Lines 1 to count of an overview page: line 5 the game's name, the others
// anything.
QStringList PageLines(int count, const QString &line5 = QStringLiteral("Ливарон"))
{
    QStringList lines;
    for (int number = 1; number <= count; ++number)
        lines.append(number == 5 ? line5 : QStringLiteral("строка %1").arg(number));
    return lines;
}

} // namespace

class TestImportRes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void textsAndLayout();
    void fieldKeepsLinesWhole();
    void recognition_data();
    void recognition();
    void pasteClosesByItself();
    void linePerLineClosesAtTheFifteenthLine();
    void enterStartsNewLine();
    void tabGoesOnToTheButtons();
    void buttonsCloseWithTheirResults_data();
    void buttonsCloseWithTheirResults();
    void showingClearsTheField();
    void okOnUnrecognisedTextSaysWhyAndStaysOpen();

private:
    // Runs the dialog, acting on it once shown; returns its result.
    int Exec(const std::function<void()> &action);

    std::unique_ptr<TFormImportRes> m_Dialog;
    QPlainTextEdit *m_Memo = nullptr;
};

void TestImportRes::init()
{
    m_Dialog = std::make_unique<TFormImportRes>();
    m_Memo = m_Dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    QVERIFY(m_Memo);
}

void TestImportRes::cleanup()
{
    m_Dialog.reset();
    QApplication::clipboard()->clear();
}

int TestImportRes::Exec(const std::function<void()> &action)
{
    QTimer::singleShot(0, m_Dialog.get(), action);
    return m_Dialog->exec();
}

void TestImportRes::textsAndLayout()
{
    QCOMPARE(m_Dialog->windowTitle(), QStringLiteral("Импорт данных о ресурсах"));
    QCOMPARE(m_Dialog->size(), QSize(435, 346));
    QCOMPARE(m_Dialog->minimumSize(), m_Dialog->maximumSize());
    QVERIFY(!(m_Dialog->windowFlags() & Qt::WindowMinMaxButtonsHint));

    auto *caption = m_Dialog->findChild<QLabel *>(QStringLiteral("lbCaption"));
    QVERIFY(caption);
    QCOMPARE(caption->text(),
             QStringLiteral("Для импорта количества накопленных ресурсов необходимо в браузере "
                            "зайти в игру, открыть «Обзор деревни» (первая кнопка в верхнем меню "
                            "игры), затем нажать Ctrl+A, затем Ctrl+C и вставить скопированный "
                            "текст в поле ниже:"));
    QVERIFY(caption->wordWrap());

    auto *ok = m_Dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1"));
    auto *cancel = m_Dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2"));
    QVERIFY(ok && cancel);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QVERIFY(ok->isDefault());
    QCOMPARE(ok->geometry(), QRect(272, 3, 75, 25));
    QCOMPARE(cancel->geometry(), QRect(353, 3, 75, 25));

    m_Dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_Dialog.get()));
    auto *captionPanel = m_Dialog->findChild<QWidget *>(QStringLiteral("pnlCaption"));
    auto *buttonPanel = m_Dialog->findChild<QWidget *>(QStringLiteral("pnlButton"));
    QVERIFY(captionPanel && buttonPanel);
    QVERIFY(captionPanel->height() >= 49);
    QCOMPARE(captionPanel->y(), 0);
    QCOMPARE(buttonPanel->height(), 36);
    QCOMPARE(buttonPanel->geometry().bottom(), 346 - 1);
    // The field fills the room between the panels, 8 from the sides, 3
    // from the panels.
    QCOMPARE(m_Memo->x(), 8);
    QCOMPARE(m_Memo->width(), 435 - 16);
    QCOMPARE(m_Memo->y(), captionPanel->geometry().bottom() + 1 + 3);
    QCOMPARE(m_Memo->geometry().bottom() + 1 + 3, buttonPanel->y());
    // The whole instruction is readable in its panel.
    QVERIFY(caption->height() >= caption->heightForWidth(caption->width()));
}

void TestImportRes::fieldKeepsLinesWhole()
{
    QCOMPARE(m_Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
}

void TestImportRes::recognition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("closes");

    QTest::newRow("fifteen lines") << PageLines(15).join(QLatin1Char('\n')) << true;
    QTest::newRow("CR LF breaks") << PageLines(20).join(QStringLiteral("\r\n")) << true;
    QTest::newRow("fourteen lines") << PageLines(14).join(QLatin1Char('\n')) << false;
    QTest::newRow("fourteen lines and a final break")
        << PageLines(14).join(QLatin1Char('\n')) + QLatin1Char('\n') << false;
    QTest::newRow("game name with a blank after it, as browsers copy it")
        << PageLines(15, QStringLiteral("Ливарон ")).join(QLatin1Char('\n')) << true;
    QTest::newRow("game name with a blank before it")
        << PageLines(15, QStringLiteral(" Ливарон")).join(QLatin1Char('\n')) << false;
    QTest::newRow("game name in other letter case")
        << PageLines(15, QStringLiteral("ливарон")).join(QLatin1Char('\n')) << false;
    QTest::newRow("empty") << QString() << false;
}

void TestImportRes::recognition()
{
    QFETCH(QString, text);
    QFETCH(bool, closes);
    bool visibleAfter = false;
    QString seen;
    const auto action = [this, text, &visibleAfter, &seen] {
        m_Memo->setPlainText(text);
        visibleAfter = m_Dialog->isVisible();
        seen = m_Dialog->Text();
        if (visibleAfter)
            m_Dialog->reject();
    };
    const int result = Exec(action);
    QCOMPARE(visibleAfter, !closes);
    QCOMPARE(result, int(closes ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(seen.split(QLatin1Char('\n')).size(), qMax(1, text.split(QLatin1Char('\n')).size()));
}

void TestImportRes::pasteClosesByItself()
{
    const QString page = PageLines(19).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QString textAtClose;
    const int result = Exec([this, page, &textAtClose] {
        QApplication::clipboard()->setText(page);
        if (QApplication::clipboard()->text() == page)
            m_Memo->paste();
        else
            m_Memo->insertPlainText(page);
        textAtClose = m_Dialog->Text();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(textAtClose, PageLines(19).join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void TestImportRes::linePerLineClosesAtTheFifteenthLine()
{
    int linesWhenClosed = 0;
    const int result = Exec([this, &linesWhenClosed] {
        const QStringList lines = PageLines(20);
        for (int number = 0; number < lines.size() && m_Dialog->isVisible(); ++number) {
            if (number > 0)
                m_Memo->insertPlainText(QStringLiteral("\n"));
            m_Memo->insertPlainText(lines.at(number));
            linesWhenClosed = number + 1;
        }
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(linesWhenClosed, 15);
    QCOMPARE(m_Dialog->Text(), PageLines(15).join(QLatin1Char('\n')));
}

void TestImportRes::enterStartsNewLine()
{
    bool visibleAfter = false;
    const int result = Exec([this, &visibleAfter] {
        QApplication::setActiveWindow(m_Dialog.get());
        QTest::keyClicks(m_Memo, QStringLiteral("abc"));
        QTest::keyClick(m_Memo, Qt::Key_Return);
        QTest::keyClicks(m_Memo, QStringLiteral("def"));
        visibleAfter = m_Dialog->isVisible();
        m_Dialog->reject();
    });
    QVERIFY(visibleAfter);
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(m_Dialog->Text(), QStringLiteral("abc\ndef"));
}

void TestImportRes::tabGoesOnToTheButtons()
{
    QWidget *focused = nullptr;
    Exec([this, &focused] {
        QApplication::setActiveWindow(m_Dialog.get());
        QTest::keyClicks(m_Memo, QStringLiteral("abc"));
        QTest::keyClick(m_Memo, Qt::Key_Tab);
        focused = QApplication::focusWidget();
        m_Dialog->reject();
    });
    // The field keeps no tab; the focus is on a button.
    QCOMPARE(m_Dialog->Text(), QStringLiteral("abc"));
    QVERIFY(focused);
    QVERIFY(focused->objectName() == QStringLiteral("BitBtn1") || focused->objectName() == QStringLiteral("BitBtn2"));
}

void TestImportRes::buttonsCloseWithTheirResults_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("OK with a recognised text") << QStringLiteral("BitBtn1") << int(QDialog::Accepted);
    QTest::newRow("Cancel") << QStringLiteral("BitBtn2") << int(QDialog::Rejected);
    QTest::newRow("Esc") << QString() << int(QDialog::Rejected);
}

void TestImportRes::buttonsCloseWithTheirResults()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    const int closed = Exec([this, button] {
        // A recognised text that the field has not yet taken as a paste
        // (the field closes the dialog by itself on a change).
        const QSignalBlocker quiet(m_Memo);
        m_Memo->setPlainText(PageLines(15).join(QLatin1Char('\n')));
        if (button.isEmpty())
            QTest::keyClick(m_Memo, Qt::Key_Escape);
        else
            QTest::mouseClick(m_Dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    });
    QCOMPARE(closed, result);
}

void TestImportRes::showingClearsTheField()
{
    m_Memo->setPlainText(QStringLiteral("от прошлого раза"));
    bool focused = false;
    QString shown;
    Exec([this, &shown, &focused] {
        shown = m_Memo->toPlainText();
        focused = m_Dialog->focusWidget() == m_Memo;
        m_Dialog->reject();
    });
    QVERIFY(shown.isEmpty());
    QVERIFY(focused);
}

void TestImportRes::okOnUnrecognisedTextSaysWhyAndStaysOpen()
{
    bool openAfterOk = false;
    QString said;
    bool saidAfterEdit = true;
    const int closed = Exec([&] {
        auto *error = m_Dialog->findChild<QLabel *>(QStringLiteral("lbError"));
        QVERIFY(error);
        QVERIFY(error->isHidden());
        QTest::keyClicks(m_Memo, QStringLiteral("abc"));
        QTest::mouseClick(m_Dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        openAfterOk = m_Dialog->isVisible();
        said = error->isVisible() ? error->text() : QString();
        // Pasting again starts afresh.
        QTest::keyClicks(m_Memo, QStringLiteral("d"));
        saidAfterEdit = error->isVisible();
        QTest::mouseClick(m_Dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2")), Qt::LeftButton);
    });
    QVERIFY(openAfterOk);
    QCOMPARE(said, QStringLiteral("Текст не распознан: меньше 15 строк."));
    QVERIFY(!saidAfterEdit);
    QCOMPARE(closed, int(QDialog::Rejected));
}

QTEST_MAIN(TestImportRes)
#include "tst_importres.moc"
