#include "core/frame97.h"

#include <QTest>

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// The worked example: ADR 1, SIG 2, INST 0x23, data 14 81 07.
const QByteArray Example =
    bytes({0x2A, 0x61, 0x00, 0x08, 0x01, 0x02, 0x23, 0x14, 0x81, 0x07, 0xAA, 0x0D});

QByteArray withByte(QByteArray frame, qsizetype index, int value)
{
    frame[index] = static_cast<char>(value);
    return frame;
}
} // namespace

class TestFrame97 : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << QByteArray() << 0xFF;
        QTest::newRow("example prefix") << Example.first(10) << 0xAA;
        QTest::newRow("sum multiple of 256") << bytes({0x80, 0x80}) << 0xFF;
        QTest::newRow("sum 0xFF mod 256") << bytes({0xFE, 0x01, 0x00}) << 0x00;
        QTest::newRow("sum 0x1FF") << bytes({0xFF, 0xFF, 0x01}) << 0x00;
    }
    void checksum()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, expected);
        QCOMPARE(int(FrameChecksum(input)), expected);
    }

    void validate_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("code");

        QTest::newRow("worked example") << Example << 0;
        QTest::newRow("8-byte frame without INST")
            << bytes({0x2A, 0x61, 0x00, 0x04, 0x01, 0x02, 0x6D, 0x0D}) << 0;
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("7 bytes starting *a") << bytes({0x2A, 0x61, 0, 3, 1, 2, 0x0D}) << 1;
        QTest::newRow("thermometer line") << QByteArray("+025.3C\r") << 2;
        QTest::newRow("format b") << withByte(Example, 1, 0x62) << 3;
        QTest::newRow("LEN one too large") << withByte(withByte(Example, 3, 0x09), 10, 0) << 4;
        QTest::newRow("LEN one too small") << withByte(withByte(Example, 3, 0x07), 10, 0) << 4;
        QTest::newRow("LEN high byte") << withByte(Example, 2, 0x01) << 4;
        QTest::newRow("SUM wrong") << withByte(Example, 10, 0xAB) << 5;
        QTest::newRow("CR wrong") << withByte(Example, 11, 0x0A) << 6;
        QTest::newRow("SUM and CR wrong") << withByte(withByte(Example, 10, 0xAB), 11, 0x0A) << 5;
    }
    void validate()
    {
        QFETCH(QByteArray, frame);
        QFETCH(int, code);
        QCOMPARE(int(ValidateFrame97(frame)), code);
    }

    // The largest frame the terminal handles: LEN 65531, 65535 bytes in all.
    void validateLargestFrame()
    {
        QByteArray frame(65535, '\x55');
        frame[0] = '*';
        frame[1] = 'a';
        frame[2] = char(0xFF);
        frame[3] = char(0xFB);
        frame[65533] = char(FrameChecksum(QByteArrayView(frame).first(65533)));
        frame[65534] = '\r';
        QCOMPARE(int(ValidateFrame97(frame)), 0);
    }
};

QTEST_GUILESS_MAIN(TestFrame97)
#include "tst_frame97.moc"
