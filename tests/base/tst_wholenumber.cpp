// The one rule by which every number is read from a text.

#include "base/WholeNumber.h"

#include <QTest>

class TestWholeNumber : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void fallback();
};

void TestWholeNumber::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<qint32>("value");

    QTest::newRow("plain") << "150" << true << 150;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("leading blanks") << "   42" << true << 42;
    QTest::newRow("plus") << "+5" << true << 5;
    QTest::newRow("minus") << "-15" << true << -15;
    QTest::newRow("blanks then sign") << "  -3" << true << -3;
    QTest::newRow("dollar hex") << "$1F" << true << 31;
    QTest::newRow("x hex") << "x10" << true << 16;
    QTest::newRow("X hex") << "Xff" << true << 255;
    QTest::newRow("0x hex") << "0x7FFFFFFF" << true << 2147483647;
    QTest::newRow("0X hex") << "0XaB" << true << 171;
    QTest::newRow("negative hex") << "-$10" << true << -16;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << qint32(-2147483647 - 1);
    QTest::newRow("smallest hex") << "-$80000000" << true << qint32(-2147483647 - 1);
    QTest::newRow("many leading zeros") << "000000000000000000001" << true << 1;

    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("prefix only") << "$" << false << 0;
    QTest::newRow("0x only") << "0x" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("blank after sign") << "- 1" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("letter after digits") << "12a" << false << 0;
    QTest::newRow("decimal point") << "1.5" << false << 0;
    QTest::newRow("thousands blank") << "1 250" << false << 0;
    QTest::newRow("hex digit in decimal") << "1f" << false << 0;
    QTest::newRow("two signs") << "+-1" << false << 0;
    QTest::newRow("above range") << "2147483648" << false << 0;
    QTest::newRow("below range") << "-2147483649" << false << 0;
    QTest::newRow("hex above range") << "$FFFFFFFF" << false << 0;
    QTest::newRow("huge") << "99999999999999999999999" << false << 0;
    QTest::newRow("tab before") << "\t5" << false << 0;
    QTest::newRow("arabic-indic digit") << QString::fromUtf8("\xD9\xA3") << false << 0;
}

void TestWholeNumber::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(qint32, value);

    const auto parsed = ParseWholeNumber(text);
    QCOMPARE(parsed.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*parsed, value);
}

void TestWholeNumber::fallback()
{
    QCOMPARE(WholeNumberOr(u"letters", 1), 1);
    QCOMPARE(WholeNumberOr(u"", 0), 0);
    QCOMPARE(WholeNumberOr(u"12", 1), 12);
    QCOMPARE(ClampToInt32(qint64(1) << 40), 2147483647);
    QCOMPARE(ClampToInt32(-(qint64(1) << 40)), qint32(-2147483647 - 1));
    QCOMPARE(ClampToInt32(-5), -5);
}

QTEST_GUILESS_MAIN(TestWholeNumber)
#include "tst_wholenumber.moc"
