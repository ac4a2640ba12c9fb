#include "ui/main/loglayout.h"
#include "ui/main/logrowlines.h"

#include <QRandomGenerator>
#include <QTest>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<LogByteHit>)

namespace {

// Digit cells 7 pixels wide, character cells 11, in a view 651 pixels wide:
// D = 396, E = 220, and the 19th byte of a line ends exactly at the hex
// column's edge.
LogLayout exampleLayout()
{
    LogLayout layout(7, 11);
    layout.setClientWidth(651);
    return layout;
}

} // namespace

class TestLogLayout : public QObject
{
    Q_OBJECT

private slots:
    void columnWidths_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("hexArea");
        QTest::addColumn<int>("charArea");
        QTest::addColumn<int>("bytesPerLine");

        QTest::newRow("651 px, last byte touches the edge") << 7 << 11 << 651 << 396 << 220 << 19;
        QTest::newRow("650 px, one byte less") << 7 << 11 << 650 << 395 << 220 << 18;
        QTest::newRow("other font, 800 px") << 6 << 10 << 800 << 484 << 281 << 27;
        QTest::newRow("too narrow: two digits, one character") << 7 << 11 << 40 << 14 << 11 << 1;
    }

    void columnWidths()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, width);
        LogLayout layout(a, b);
        layout.setClientWidth(width);
        QCOMPARE(layout.gutterWidth(), 35);
        QTEST(layout.hexAreaWidth(), "hexArea");
        QTEST(layout.charAreaWidth(), "charArea");
        QTEST(layout.bytesPerLine(), "bytesPerLine");

        // The last byte of a line keeps its digits and a 2-pixel margin
        // inside the hex column; one more would not.
        const int last = layout.bytesPerLine() - 1;
        const int hexEnd = layout.gutterWidth() + layout.hexAreaWidth();
        if (width > 100) {
            QVERIFY(layout.hexX(last) + 2 * a + 2 <= hexEnd);
            QVERIFY(layout.hexX(last + 1) + 2 * a + 2 > hexEnd);
        }
    }

    void rowHeight_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("byteCount");
        QTest::addColumn<int>("height");

        QTest::newRow("empty row") << 651 << 0 << 16;
        QTest::newRow("one byte") << 651 << 1 << 16;
        QTest::newRow("one full line") << 651 << 19 << 16;
        QTest::newRow("one byte on the second line") << 651 << 20 << 32;
        // Two drawn lines, measured by digit cells as three.
        QTest::newRow("38 bytes leave an empty band") << 651 << 38 << 48;
        // At 609 px 17 bytes fit a line: 35 bytes are drawn on 3 lines
        // while the digit-cell measure gives exactly 2.
        QTest::newRow("never shorter than the drawn lines") << 609 << 35 << 48;
    }

    void rowHeight()
    {
        QFETCH(int, width);
        QFETCH(int, byteCount);
        LogLayout layout(7, 11);
        layout.setClientWidth(width);
        QTEST(int(layout.rowHeight(byteCount)), "height");
    }

    void byteAt_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("byteCount");
        QTest::addColumn<std::optional<LogByteHit>>("hit");

        // The row's top edge is at y = 100; lines are 16 pixels high.
        QTest::newRow("first digit of the first byte")
            << QPoint(36, 105) << 38 << std::optional(LogByteHit{0, 0, 0, true});
        QTest::newRow("20th byte, hex column")
            << QPoint(40, 121) << 38 << std::optional(LogByteHit{19, 0, 1, true});
        QTest::newRow("20th byte, character column")
            << QPoint(432, 121) << 38 << std::optional(LogByteHit{19, 0, 1, true});
        QTest::newRow("last pixel of the hex column")
            << QPoint(431, 105) << 38 << std::optional(LogByteHit{18, 18, 0, true});
        QTest::newRow("last byte")
            << QPoint(35 + 21 * 18 + 3, 116) << 38 << std::optional(LogByteHit{37, 18, 1, true});
        QTest::newRow("empty band under the last line")
            << QPoint(40, 140) << 38 << std::optional(LogByteHit{38, 0, 2, false});
        QTest::newRow("past the last byte of a short row")
            << QPoint(35 + 21 * 4 + 1, 105) << 4 << std::optional(LogByteHit{4, 4, 0, false});
        // Right of the 19th character there is room for one more cell, but
        // no byte is drawn there.
        QTest::newRow("character column right of the last cell")
            << QPoint(431 + 11 * 19 + 3, 105) << 38 << std::optional(LogByteHit{19, 19, 0, false});
        QTest::newRow("last pixel of the character column")
            << QPoint(651, 105) << 38 << std::optional(LogByteHit{20, 20, 0, false});
        QTest::newRow("gutter") << QPoint(35, 105) << 38 << std::optional<LogByteHit>();
        QTest::newRow("right of the character column")
            << QPoint(652, 105) << 38 << std::optional<LogByteHit>();
    }

    void byteAt()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, byteCount);
        QTEST(exampleLayout().byteAt(pos, 100, byteCount), "hit");
    }

    void outlineRectangles()
    {
        const LogLayout layout = exampleLayout();
        // Four pixels either side of the two digits, one pixel into the next
        // line; the character cell one pixel wider on each side.
        QCOMPARE(layout.hexRect(0, 1, 100), QRect(33, 116, 22, 17));
        QCOMPARE(layout.charRect(0, 1, 100), QRect(432, 116, 13, 17));
        QCOMPARE(layout.charRect(18, 0, 100), QRect(630, 100, 13, 17));
        // The last byte's outline stops at the hex column's edge.
        QCOMPARE(layout.hexRect(18, 0, 100), QRect(411, 100, 20, 17));

        // Each outline encloses what is drawn for its byte.
        for (int column : {0, 7, 18}) {
            const QRect hex = layout.hexRect(column, 0, 0);
            QVERIFY(hex.left() < layout.hexX(column));
            QVERIFY(hex.right() >= layout.hexX(column) + 2 * layout.hexCharWidth() - 1);
            const QRect cell = layout.charRect(column, 0, 0);
            QVERIFY(cell.left() < layout.charX(column));
            QVERIFY(cell.right() >= layout.charX(column) + layout.charCellWidth() - 1);
        }
    }

    void hintLabel_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("byteCount");
        QTest::addColumn<QString>("label");

        const QStringList header = {u"PRE"_s, u"FRM"_s, u"LEN <hi>"_s, u"LEN <lo>"_s,
                                    u"ADR"_s, u"SIG"_s, u"INST"_s};
        for (int i = 0; i < header.size(); ++i)
            QTest::addRow("byte %d of a frame", i) << i << 12 << header[i];
        QTest::newRow("first data byte") << 7 << 12 << u"DATA [1]"_s;
        QTest::newRow("last data byte") << 9 << 12 << u"DATA [3]"_s;
        QTest::newRow("checksum") << 10 << 12 << u"SUM"_s;
        QTest::newRow("terminator") << 11 << 12 << u"CR"_s;
        QTest::newRow("8-byte frame: byte 7 ends it") << 7 << 8 << u"CR"_s;
        QTest::newRow("9-byte frame: byte 7 is its sum") << 7 << 9 << u"SUM"_s;
        QTest::newRow("header names win in a short row") << 3 << 4 << u"LEN <lo>"_s;
    }

    void hintLabel()
    {
        QFETCH(int, index);
        QFETCH(int, byteCount);
        QTEST(LogLayout::hintLabel(index, byteCount), "label");
    }

    void hintText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("2A") << 0x2A
                            << QStringList{u"PRE"_s, QString(), u"DEC: 42"_s, u"HEX: 2A"_s,
                                           u"BIN: 0010 1010"_s};
        QTest::newRow("05 keeps its leading zero")
            << 0x05
            << QStringList{u"PRE"_s, QString(), u"DEC: 5"_s, u"HEX: 05"_s, u"BIN: 0000 0101"_s};
        QTest::newRow("FF in upper case")
            << 0xFF
            << QStringList{u"PRE"_s, QString(), u"DEC: 255"_s, u"HEX: FF"_s, u"BIN: 1111 1111"_s};
    }

    void hintText()
    {
        QFETCH(int, value);
        QTEST(LogLayout::hintText(0, 12, quint8(value)).split(u'\n'), "lines");
    }

    // Row boundaries across several chunks, against a plain running sum.
    void rowLinesFindRows()
    {
        LogRowLines lines;
        std::vector<quint64> ends;
        QRandomGenerator random(7);
        quint64 total = 0;
        for (int row = 0; row < 20000; ++row) {
            const quint64 count = 1 + random.bounded(3);
            total += count;
            ends.push_back(total);
            lines.append(count);
        }
        QCOMPARE(lines.size(), quint64(ends.size()));
        QCOMPARE(lines.totalLines(), total);
        for (quint64 row : {quint64(0), quint64(8191), quint64(8192), quint64(19999)}) {
            const quint64 first = row ? ends[row - 1] : 0;
            QCOMPARE(lines.firstLine(row), first);
            QCOMPARE(lines.endLine(row), ends[row]);
            QCOMPARE(lines.rowAtLine(first), row);
            QCOMPARE(lines.rowAtLine(ends[row] - 1), row);
        }
        QCOMPARE(lines.rowAtLine(total), lines.size());

        // Every row two lines high now.
        lines.remeasure([](quint64) { return quint64(2); });
        QCOMPARE(lines.totalLines(), 40000u);
        QCOMPARE(lines.rowAtLine(2 * 8192 + 1), 8192u);

        lines.clear();
        QVERIFY(lines.isEmpty());
        QCOMPARE(lines.rowAtLine(0), 0u);
        lines.append(3);
        QCOMPARE(lines.endLine(0), 3u);
    }
};

QTEST_GUILESS_MAIN(TestLogLayout)
#include "tst_loglayout.moc"
