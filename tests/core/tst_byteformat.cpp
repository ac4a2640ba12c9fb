#include "core/apperror.h"
#include "core/byteformat.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestByteFormat : public QObject
{
    Q_OBJECT

private slots:
    void bytesToHex()
    {
        QCOMPARE(BytesToHex(QByteArray("\x00\x0A\xFF", 3)), u"000AFF"_s);
        QCOMPARE(BytesToHex(QByteArray()), QString());
    }

    void hexToBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lower case, odd length") << u"0a0"_s << QByteArray("\x0A");
        QTest::newRow("upper case") << u"2A61FF"_s << QByteArray("\x2A\x61\xFF");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("single char") << u"F"_s << QByteArray();
        QTest::newRow("bad trailing char ignored") << u"41G"_s << QByteArray("A");
    }
    void hexToBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(HexToBytes(text), bytes);
        QCOMPARE(HexToBytes(QByteArrayView(text.toLatin1())), bytes);
    }

    void hexToBytesRejectsNonHexPairs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("letter") << u"41G1"_s << u"'$G1' is not a valid integer value"_s;
        QTest::newRow("blank") << u" 1"_s << u"'$ 1' is not a valid integer value"_s;
        QTest::newRow("sign") << u"-1"_s << u"'$-1' is not a valid integer value"_s;
        QTest::newRow("non-latin") << u"4\u010D"_s << u"'$4\u010D' is not a valid integer value"_s;
    }
    void hexToBytesRejectsNonHexPairs()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        try {
            (void)HexToBytes(text);
            QFAIL("no conversion error");
        } catch (const ConversionError &error) {
            QCOMPARE(error.message(), message);
        }
    }

    void allByteValuesRoundTrip()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        const QString hex = BytesToHex(all);
        QCOMPARE(hex.size(), 512);
        QCOMPARE(HexToBytes(hex), all);
        QCOMPARE(HexToBytes(hex.toLower()), all);
    }

    void byteToBin_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("bits");
        QTest::newRow("42") << 42 << u"0010 1010"_s;
        QTest::newRow("0") << 0 << u"0000 0000"_s;
        QTest::newRow("255") << 255 << u"1111 1111"_s;
        QTest::newRow("128") << 128 << u"1000 0000"_s;
        QTest::newRow("1") << 1 << u"0000 0001"_s;
    }
    void byteToBin()
    {
        QFETCH(int, byte);
        QFETCH(QString, bits);
        QCOMPARE(ByteToBin(quint8(byte)), bits);
    }
};

QTEST_GUILESS_MAIN(TestByteFormat)
#include "tst_byteformat.moc"
