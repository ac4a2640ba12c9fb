#include "capture/tarvelparser.h"
#include "ui/main/bytehintwindow.h"
#include "ui/main/terminallogview.h"

#include <QAction>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A valid format-97 frame: 2A 61 00 08 01 02 23 14 81 07 AA 0D.
const QByteArray Frame = QByteArray::fromHex("2A610008010223148107AA0D");

// A real splitter feeding a shown view, as in the main window.
struct LogFixture
{
    std::shared_ptr<DatagramStore> store = std::make_shared<DatagramStore>();
    TTarvelParser parser{store};
    TTerminalLogView view{store};

    explicit LogFixture(QSize size = QSize(700, 300))
    {
        parser.onPacket = [this](const Datagram &datagram) { view.AddPacketRow(datagram); };
        view.resize(size);
        view.show();
    }

    void sendFrames(int count)
    {
        for (int i = 0; i < count; ++i)
            parser.ProcessData(Frame, Direction::Rx, false);
    }

    // Adds a datagram as it stands, also one the splitter would not cut.
    void addRow(Direction direction, const QByteArray &bytes, bool valid)
    {
        store->append(direction, bytes, valid);
        view.AddPacketRow(store->at(store->end() - 1));
    }

    // Applies the pending scroll and repaint now instead of on the timer.
    void settle()
    {
        view.beginUpdate();
        view.endUpdate();
    }

    [[nodiscard]] bool rowVisible(quint64 row) const
    {
        return view.viewport()->rect().contains(view.rowRect(row));
    }

    // The point inside the two hex digits, or the character cell, of a byte.
    [[nodiscard]] QPoint hexPoint(quint64 row, int index) const
    {
        const LogLayout &layout = view.logLayout();
        const int line = index / layout.bytesPerLine();
        const int column = index % layout.bytesPerLine();
        return QPoint(layout.hexX(column) + 2, view.rowRect(row).top() + 16 * line + 6);
    }
    [[nodiscard]] QPoint charPoint(quint64 row, int index) const
    {
        const LogLayout &layout = view.logLayout();
        const int line = index / layout.bytesPerLine();
        const int column = index % layout.bytesPerLine();
        return QPoint(layout.charX(column) + 2, view.rowRect(row).top() + 16 * line + 6);
    }

    void moveMouse(QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(pos),
                          QPointF(view.viewport()->mapToGlobal(pos)), Qt::NoButton, Qt::NoButton,
                          modifiers);
        QCoreApplication::sendEvent(view.viewport(), &event);
    }
};

bool isOrange(QRgb pixel)
{
    return pixel == qRgb(255, 128, 0);
}

// Some pixel of the rectangle is drawn mostly in the colour, whatever the
// font's antialiasing does to the edges of the glyphs.
bool hasTextIn(const QImage &image, const QRect &rect, QColor colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) < 60 &&
                std::abs(pixel.green() - colour.green()) < 60 &&
                std::abs(pixel.blue() - colour.blue()) < 60)
                return true;
        }
    return false;
}

} // namespace

class TestTerminalLogView : public QObject
{
    Q_OBJECT

private slots:
    void followsTrafficWhileLastRowFocused()
    {
        LogFixture log;
        QCOMPARE(log.view.objectName(), u"vstTerminal"_s);
        QCOMPARE(log.view.focusedRow(), -1);

        log.sendFrames(1);
        QCOMPARE(log.view.focusedRow(), 0);
        log.sendFrames(59);
        QCOMPARE(log.view.rowCount(), 60u);
        QCOMPARE(log.view.focusedRow(), 59);
        // The scroll follows on the repaint timer.
        QTRY_VERIFY(log.rowVisible(59));
        QVERIFY(!log.rowVisible(0));

        // Clicking an earlier row stops the following.
        const QPoint onRow(100, log.view.viewport()->height() / 2);
        const qint64 clicked = log.view.rowAt(onRow.y());
        QVERIFY(clicked >= 0 && clicked < 59);
        QTest::mouseClick(log.view.viewport(), Qt::LeftButton, Qt::NoModifier, onRow);
        QCOMPARE(log.view.focusedRow(), clicked);
        const int scroll = log.view.verticalScrollBar()->value();
        log.sendFrames(30);
        log.settle();
        QCOMPARE(log.view.focusedRow(), clicked);
        QCOMPARE(log.view.verticalScrollBar()->value(), scroll);
        QVERIFY(log.rowVisible(quint64(clicked)));

        // Focusing the last row resumes it.
        QTest::keyClick(&log.view, Qt::Key_End);
        QCOMPARE(log.view.focusedRow(), 89);
        log.sendFrames(5);
        log.settle();
        QCOMPARE(log.view.focusedRow(), 94);
        QVERIFY(log.rowVisible(94));
    }

    void measuresRowsAndRewrapsOnResize()
    {
        LogFixture log(QSize(700, 600));
        const QList<int> sizes = {1, 12, 38, 100, 7};
        for (int size : sizes)
            log.addRow(Direction::Rx, QByteArray(size, 'x'), true);
        log.settle();

        const auto checkRows = [&] {
            const LogLayout &layout = log.view.logLayout();
            QCOMPARE(layout.clientWidth(), log.view.viewport()->width());
            int top = log.view.rowRect(0).top();
            for (int row = 0; row < sizes.size(); ++row) {
                const QRect rect = log.view.rowRect(row);
                QCOMPARE(rect.top(), top);
                QCOMPARE(rect.height(), int(layout.rowHeight(sizes[row])));
                QCOMPARE(log.view.rowAt(rect.top()), row);
                QCOMPARE(log.view.rowAt(rect.bottom()), row);
                top = rect.bottom() + 1;
            }
            QCOMPARE(log.view.rowAt(top), -1);
        };
        checkRows();
        const int wideHeight = log.view.rowRect(3).height();

        log.view.resize(300, 600);
        QVERIFY(log.view.logLayout().bytesPerLine() < 19);
        checkRows();
        QVERIFY(log.view.rowRect(3).height() > wideHeight);
    }

    void pointsAtBytes()
    {
        LogFixture log;
        log.sendFrames(2);
        const QByteArray forty = QByteArray::fromHex("000102030405060708090A0B0C0D0E0F1011121314"
                                                     "15161718191A1B1C1D1E1F2021222324252627");
        log.addRow(Direction::Tx, forty, false);
        log.settle();
        QSignalSpy changed(&log.view, &TTerminalLogView::mouseCursorItemChanged);
        QSignalSpy selected(&log.view, &TTerminalLogView::byteSelected);

        // A byte on the second line of the long row, by its hex digits.
        const LogLayout &layout = log.view.logLayout();
        const int index = layout.bytesPerLine() + 1;
        log.moveMouse(log.hexPoint(2, index));
        TMouseCursorItem item = log.view.mouseCursorItem();
        QCOMPARE(item.Row, 2);
        QCOMPARE(item.Index, index);
        QCOMPARE(item.Line, 1);
        QCOMPARE(item.Column, 1);
        QVERIFY(item.Valid);
        QCOMPARE(item.ByteValue, quint8(index));
        const int rowTop = log.view.rowRect(2).top();
        QCOMPARE(item.HexRect, layout.hexRect(1, 1, rowTop));
        QCOMPARE(item.CharRect, layout.charRect(1, 1, rowTop));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.front().front().value<quint8>(), quint8(index));

        // The same byte by its character: nothing changes.
        log.moveMouse(log.charPoint(2, index));
        QCOMPARE(changed.size(), 1);

        // The gutter keeps the byte.
        log.moveMouse(QPoint(10, log.hexPoint(0, 0).y()));
        QCOMPARE(log.view.mouseCursorItem(), item);
        QCOMPARE(changed.size(), 1);

        // Past the last byte of the row: no byte, and the status bar is told.
        log.moveMouse(log.charPoint(2, forty.size()));
        QVERIFY(!log.view.mouseCursorItem().Valid);
        QCOMPARE(log.view.mouseCursorItem().Row, 2);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(selected.size(), 1);

        // Below the last row.
        log.moveMouse(QPoint(100, log.view.rowRect(2).bottom() + 20));
        QCOMPARE(log.view.mouseCursorItem().Row, -1);
        QVERIFY(!log.view.mouseCursorItem().Valid);
    }

    void outlinesTheByteUnderTheMouse()
    {
        LogFixture log;
        log.sendFrames(3);
        log.settle();
        log.moveMouse(log.hexPoint(1, 4));
        const TMouseCursorItem first = log.view.mouseCursorItem();
        QImage image = log.view.viewport()->grab().toImage();
        QVERIFY(isOrange(image.pixel(first.HexRect.topLeft())));
        QVERIFY(isOrange(image.pixel(first.HexRect.bottomRight())));
        QVERIFY(isOrange(image.pixel(first.CharRect.topLeft())));
        QVERIFY(isOrange(image.pixel(first.CharRect.bottomRight())));
        // Only the outline: the inside keeps the column's colour.
        QCOMPARE(image.pixel(first.HexRect.topLeft() + QPoint(1, 1)), qRgb(255, 251, 240));

        log.moveMouse(log.charPoint(0, 0));
        image = log.view.viewport()->grab().toImage();
        QVERIFY(isOrange(image.pixel(log.view.mouseCursorItem().HexRect.topLeft())));
        QVERIFY(!isOrange(image.pixel(first.HexRect.topLeft())));
        QVERIFY(!isOrange(image.pixel(first.CharRect.topLeft())));
    }

    void wheelMovesTheByteUnderTheMouse()
    {
        LogFixture log;
        log.sendFrames(100);
        log.view.setFocusedRow(0);
        QCOMPARE(log.view.verticalScrollBar()->value(), 0);
        const QPoint pos = log.hexPoint(2, 5);
        log.moveMouse(pos);
        QCOMPARE(log.view.mouseCursorItem().Row, 2);
        QSignalSpy changed(&log.view, &TTerminalLogView::mouseCursorItemChanged);

        QWheelEvent wheel(QPointF(pos), QPointF(log.view.viewport()->mapToGlobal(pos)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(log.view.viewport(), &wheel);
        const int scrolled = log.view.verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        const TMouseCursorItem &item = log.view.mouseCursorItem();
        QCOMPARE(item.Row, log.view.rowAt(pos.y()));
        QCOMPARE(item.Row, 2 + scrolled);
        QCOMPARE(item.Index, 5);
        QVERIFY(item.Valid);
        QCOMPARE(item.HexRect,
                 log.view.logLayout().hexRect(5, 0, log.view.rowRect(item.Row).top()));
        QVERIFY(changed.size() >= 1);
    }

    void ctrlShowsTheByteHint()
    {
        LogFixture log;
        log.sendFrames(2);
        log.settle();
        ByteHintWindow *hint = log.view.byteHintWindow();
        QVERIFY(hint);

        const QPoint pos = log.hexPoint(1, 0);
        log.moveMouse(pos);
        QVERIFY(!hint->isVisible());

        QTest::keyPress(&log.view, Qt::Key_Control);
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text().split(u'\n'), QStringList({u"PRE"_s, QString(), u"DEC: 42"_s,
                                                         u"HEX: 2A"_s, u"BIN: 0010 1010"_s}));
        const QRect text = QFontMetrics(hint->font())
                               .boundingRect(QRect(0, 0, 150, 1000),
                                             Qt::AlignLeft | Qt::TextWordWrap, hint->text());
        QCOMPARE(hint->geometry(), QRect(log.view.viewport()->mapToGlobal(pos) + QPoint(12, 20),
                                         text.size() + QSize(6, 2)));
        QCOMPARE(hint->palette().color(QPalette::Window), QColor(255, 255, 128));

        // Moving with Ctrl held follows the byte.
        log.moveMouse(log.hexPoint(1, 7), Qt::ControlModifier);
        QCOMPARE(hint->text().section(u'\n', 0, 0), u"DATA [1]"_s);
        log.moveMouse(log.charPoint(1, 10), Qt::ControlModifier);
        QCOMPARE(hint->text().section(u'\n', 0, 0), u"SUM"_s);
        log.moveMouse(log.charPoint(1, 11), Qt::ControlModifier);
        QCOMPARE(hint->text().section(u'\n', 0, 0), u"CR"_s);
        QCOMPARE(hint->text().section(u'\n', 2, 2), u"DEC: 13"_s);

        // Off the bytes the hint goes, with Ctrl still held.
        log.moveMouse(log.charPoint(1, 12), Qt::ControlModifier);
        QVERIFY(!hint->isVisible());
        log.moveMouse(log.charPoint(1, 11), Qt::ControlModifier);
        QVERIFY(hint->isVisible());

        QTest::keyRelease(&log.view, Qt::Key_Control);
        QVERIFY(!hint->isVisible());
    }

    void paintsRowColours()
    {
        LogFixture log(QSize(600, 200));
        log.addRow(Direction::Rx, QByteArray("AB!\r"), true);
        log.addRow(Direction::Tx, QByteArray("xyz"), false);
        log.addRow(Direction::Rx, Frame, true);
        log.settle();
        const QImage image = log.view.viewport()->grab().toImage();
        const LogLayout &layout = log.view.logLayout();
        const int hexEnd = layout.gutterWidth() + layout.hexAreaWidth();
        const QColor base = log.view.palette().color(QPalette::Base);
        const QColor pink(255, 200, 220);

        const QRect valid = log.view.rowRect(0);
        const QRect invalid = log.view.rowRect(1);
        QCOMPARE(image.pixelColor(2, valid.bottom()), QColor(192, 192, 192));
        QCOMPARE(image.pixelColor(hexEnd - 1, valid.top()), QColor(255, 251, 240));
        QCOMPARE(image.pixelColor(hexEnd + 1, valid.bottom()), base);
        QCOMPARE(image.pixelColor(hexEnd - 1, invalid.top()), pink);
        QCOMPARE(image.pixelColor(hexEnd + 1, invalid.bottom()), pink);
        // The focused last row has a highlighted gutter.
        QCOMPARE(image.pixelColor(2, log.view.rowRect(2).bottom()),
                 log.view.palette().color(QPalette::Highlight));

        // The index in black, the bytes blue for Rx and green for Tx.
        const auto textBand = [&](const QRect &row, int left, int right) {
            return QRect(left, row.top() + 2, right - left, 14);
        };
        QVERIFY(hasTextIn(image, textBand(valid, 5, layout.gutterWidth()), Qt::black));
        QVERIFY(
            hasTextIn(image, textBand(valid, layout.hexX(0), layout.hexX(1)), QColor(0, 0, 255)));
        QVERIFY(
            hasTextIn(image, textBand(valid, layout.charX(0), layout.charX(1)), QColor(0, 0, 255)));
        QVERIFY(
            hasTextIn(image, textBand(invalid, layout.hexX(0), layout.hexX(1)), QColor(0, 128, 0)));
        QVERIFY(!hasTextIn(image, textBand(invalid, layout.hexX(0), layout.hexX(1)),
                           QColor(0, 0, 255)));
        // Nothing is drawn past the last byte.
        QVERIFY(!hasTextIn(image, textBand(valid, layout.hexX(4), hexEnd - 1), QColor(0, 0, 255)));
    }

    void clearRemovesRowsAndTheByte()
    {
        LogFixture log;
        log.sendFrames(3);
        log.settle();
        log.moveMouse(log.hexPoint(2, 0));
        QTest::keyPress(&log.view, Qt::Key_Control);
        QVERIFY(log.view.byteHintWindow()->isVisible());
        QSignalSpy changed(&log.view, &TTerminalLogView::mouseCursorItemChanged);

        log.view.clear();
        log.parser.Clear();
        QCOMPARE(log.view.rowCount(), 0u);
        QCOMPARE(log.view.focusedRow(), -1);
        QCOMPARE(log.view.mouseCursorItem(), TMouseCursorItem());
        QVERIFY(!log.view.byteHintWindow()->isVisible());
        QCOMPARE(changed.size(), 1);
        QTest::keyRelease(&log.view, Qt::Key_Control);

        // The store lets the cleared datagrams go; the log starts at 0 again.
        QCOMPARE(log.store->first(), log.store->end());
        log.sendFrames(2);
        QCOMPARE(log.view.rowCount(), 2u);
        QCOMPARE(log.view.row(0).data, QByteArrayView(Frame));
        QCOMPARE(log.view.focusedRow(), 1);
    }

    void doubleClickAndMenuOpenTheFocusedRow()
    {
        LogFixture log;
        log.sendFrames(4);
        log.settle();
        QSignalSpy activated(&log.view, &TTerminalLogView::rowActivated);

        QTest::mouseDClick(log.view.viewport(), Qt::LeftButton, Qt::NoModifier, log.hexPoint(2, 3));
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.takeFirst().front().value<quint64>(), 2u);

        // A right click selects the row the menu then acts on.
        QTest::mousePress(log.view.viewport(), Qt::RightButton, Qt::NoModifier, log.hexPoint(1, 0));
        QTest::mouseRelease(log.view.viewport(), Qt::RightButton, Qt::NoModifier,
                            log.hexPoint(1, 0));
        QCOMPARE(log.view.focusedRow(), 1);
        auto *menu = log.view.findChild<QMenu *>(u"PopupMenu2"_s);
        QVERIFY(menu);
        QCOMPARE(menu, log.view.popupMenu());
        auto *properties = menu->findChild<QAction *>(u"pmiPacketProperties"_s);
        QVERIFY(properties);
        QCOMPARE(properties->text(), u"vlastnosti paketu"_s);
        properties->trigger();
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.takeFirst().front().value<quint64>(), 1u);

        // Double-clicking below the rows opens the focused row.
        QTest::mouseDClick(log.view.viewport(), Qt::LeftButton, Qt::NoModifier,
                           QPoint(100, log.view.viewport()->height() - 3));
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.takeFirst().front().value<quint64>(), 1u);
    }
};

QTEST_MAIN(TestTerminalLogView)
#include "tst_terminallogview.moc"
