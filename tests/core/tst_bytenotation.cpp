#include "core/beep.h"
#include "core/bytenotation.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestByteNotation : public QObject
{
    Q_OBJECT

    int m_beeps = 0;

private slots:
    void initTestCase()
    {
        SetBeepHandler([this] { ++m_beeps; });
    }
    void init() { m_beeps = 0; }

    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("beeps");

        const int failed = ParseNumberFailed;
        QTest::newRow("decimal") << u"13"_s << 13 << false;
        QTest::newRow("blanks and controls around") << u" \t13\r "_s << 13 << false;
        QTest::newRow("plus sign") << u"+7"_s << 7 << false;
        QTest::newRow("-1") << u"-1"_s << -1 << false;
        QTest::newRow("$0D") << u"$0D"_s << 13 << false;
        QTest::newRow("0x0D") << u"0x0D"_s << 13 << false;
        QTest::newRow("0X0d") << u"0X0d"_s << 13 << false;
        QTest::newRow("10h") << u"10h"_s << 16 << false;
        QTest::newRow("0DH") << u"0DH"_s << 13 << false;
        QTest::newRow("$0Dh") << u"$0Dh"_s << 13 << false;
        QTest::newRow("$$10") << u"$$10"_s << 16 << false;
        QTest::newRow("-$10") << u"-$10"_s << -16 << false;
        QTest::newRow("x1F") << u"x1F"_s << 31 << false;
        QTest::newRow("32-bit pattern") << u"$FFFFFFFF"_s << -1 << false;
        QTest::newRow("int max") << u"2147483647"_s << 2147483647 << false;
        QTest::newRow("int min") << u"-2147483648"_s << int(-2147483647 - 1) << false;
        QTest::newRow("h alone") << u"h"_s << failed << true;
        QTest::newRow("0x alone") << u"0x"_s << failed << true;
        QTest::newRow("-10h") << u"-10h"_s << failed << true;
        QTest::newRow("empty") << QString() << failed << true;
        QTest::newRow("decimal overflow") << u"2147483648"_s << failed << true;
        QTest::newRow("hex overflow") << u"$100000000"_s << failed << true;
        QTest::newRow("trailing garbage") << u"12a"_s << failed << true;
        QTest::newRow("inner blank") << u"1 2"_s << failed << true;
        QTest::newRow("decimal point") << u"2.5"_s << failed << true;
    }
    void parseNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(bool, beeps);
        QCOMPARE(ParseNumber(text), value);
        QCOMPARE(m_beeps > 0, beeps);
    }

    void textToBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("beeps");

        QTest::newRow("AT{13}") << u"AT{13}"_s << QByteArray("AT\r") << 0;
        QTest::newRow("{13,10}") << u"{13,10}"_s << QByteArray("\r\n") << 0;
        for (const char *form : {"{0Dh}", "{$0D}", "{0x0D}", "{0X0d}", "{$0Dh}", "{ 13 }"})
            QTest::newRow(form) << QString::fromLatin1(form) << QByteArray("\r") << 0;
        QTest::newRow("{256}") << u"{256}"_s << QByteArray(1, '\0') << 0;
        QTest::newRow("{BYTE(300)}") << u"{BYTE(300)}"_s << QByteArray("\x2C") << 0;
        QTest::newRow("{WORD(1000)}") << u"{WORD(1000)}"_s << QByteArray("\x03\xE8") << 0;
        QTest::newRow("{LONGWORD($12345678)}")
            << u"{LONGWORD($12345678)}"_s << QByteArray("\x12\x34\x56\x78") << 0;
        QTest::newRow("{word(-1)}") << u"{word(-1)}"_s << QByteArray("\xFF\xFF") << 0;
        QTest::newRow("{DALLAS(25.5)}") << u"{DALLAS(25.5)}"_s << QByteArray("\x03\x30") << 0;
        QTest::newRow("{DALLAS(-10)}") << u"{DALLAS(-10)}"_s << QByteArray("\xFE\xC0") << 0;
        QTest::newRow("DALLAS tie to even down")
            << u"{DALLAS(0.015625)}"_s << QByteArray(2, '\0') << 0;
        QTest::newRow("DALLAS tie to even up")
            << u"{DALLAS(0.046875)}"_s << QByteArray("\x00\x02", 2) << 0;
        QTest::newRow("DALLAS exponent") << u"{dallas(2.55e1)}"_s << QByteArray("\x03\x30") << 0;
        QTest::newRow("{DALLAS(abc)}") << u"{DALLAS(abc)}"_s << QByteArray() << 0;
        QTest::newRow("{DALLAS(25,5)}") << u"{DALLAS(25,5)}"_s << QByteArray(1, '\0') << 1;
        QTest::newRow("DALLAS overflow empties all")
            << u"AT{13}{DALLAS(1e9)}{10}"_s << QByteArray() << 0;
        QTest::newRow("DALLAS beyond double") << u"X{DALLAS(1e999)}"_s << QByteArray() << 0;
        QTest::newRow("DALLAS below the range") << u"{DALLAS(-67108865)}"_s << QByteArray() << 0;
        QTest::newRow("{}") << u"{}"_s << QByteArray() << 0;
        QTest::newRow("{1,,2}") << u"{1,,2}"_s << QByteArray("\x01\x02") << 0;
        QTest::newRow("{FOO(5)}") << u"{FOO(5)}"_s << QByteArray() << 0;
        QTest::newRow("{FOO(x)} still beeps") << u"{FOO(x)}"_s << QByteArray() << 1;
        QTest::newRow("{ WORD(5)}") << u"{ WORD(5)}"_s << QByteArray() << 0;
        QTest::newRow("{WORD (5)}") << u"{WORD (5)}"_s << QByteArray() << 0;
        QTest::newRow("comma splits a call") << u"{WORD(1,2)}"_s << QByteArray(1, '\0') << 1;
        QTest::newRow("a{b") << u"a{b"_s << QByteArray("a{b") << 0;
        QTest::newRow("}{") << u"}{"_s << QByteArray("}{") << 0;
        QTest::newRow("{{13}}") << u"{{13}}"_s
                                << QByteArray(1, char(ParseNumberFailed)) + QByteArray("}") << 1;
        QTest::newRow("group after stray brace") << u"{a{13}"_s << QByteArray(1, '\0') << 1;
        QTest::newRow("Czech letters use the code page")
            << u"č{13}Ř€"_s << QByteArray("\xE8\r\xD8\x80") << 0;
        QTest::newRow("unencodable becomes ?")
            << u"A\u4E2D\U0001F600B"_s << QByteArray("A??B") << 0;
    }
    void textToBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(int, beeps);
        QCOMPARE(TextToBytes(text), bytes);
        QCOMPARE(m_beeps, beeps);
    }
};

QTEST_GUILESS_MAIN(TestByteNotation)
#include "tst_bytenotation.moc"
