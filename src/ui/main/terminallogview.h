#pragma once

#include "capture/datagramstore.h"
#include "loglayout.h"
#include "logrowlines.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <optional>

class ByteHintWindow;
class QAction;
class QMenu;

// The log view vstTerminal: one row per datagram, in the order the splitter
// cut them, each showing its index, its bytes in hexadecimal and the same
// bytes as characters, wrapped over as many 16-pixel lines as the width
// needs. Rx rows are blue, Tx rows green; invalid rows have a pink
// background.
//
// The rows are not copied: row i is the i-th datagram of the view's own
// range over the splitter's store, which keeps those datagrams alive until
// the log is cleared. The view keeps only the running sum of row heights.
// Only the rows in the repainted area are drawn, and repainting while
// datagrams arrive is limited to a few dozen frames a second.
//
// Pointing at a byte outlines it in both columns and makes it the mouse
// cursor item, which the status bar shows; with Ctrl held a small window
// names the byte's field in a format-97 frame.
class TTerminalLogView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TTerminalLogView(std::shared_ptr<DatagramStore> store, QWidget *parent = nullptr);
    ~TTerminalLogView() override;

    // Adds the rows of the datagrams appended to the store since the last
    // call; the splitter's onPacket hands the newest one. While the last row
    // is focused (or the log is empty) the new row becomes the focused row
    // and is scrolled into view; otherwise the view keeps its place.
    void AddPacketRow(const Datagram &datagram);
    // Removes every row and forgets the byte under the mouse.
    void clear();
    // Suspend and resume repainting around adding many rows; calls nest.
    void beginUpdate();
    void endUpdate();

    [[nodiscard]] quint64 rowCount() const { return m_lines.size(); }
    [[nodiscard]] Datagram row(quint64 index) const { return m_rows.at(index); }

    // The focused row, or -1. Focusing a row scrolls it into view.
    [[nodiscard]] qint64 focusedRow() const { return m_focusedRow; }
    void setFocusedRow(qint64 row);

    // A row's rectangle in viewport coordinates (it may lie outside the
    // viewport), and the row at a viewport y, or -1.
    [[nodiscard]] QRect rowRect(quint64 row) const;
    [[nodiscard]] qint64 rowAt(int y) const;

    [[nodiscard]] const TMouseCursorItem &mouseCursorItem() const { return m_mouseCursorItem; }
    [[nodiscard]] const LogLayout &logLayout() const { return m_layout; }
    [[nodiscard]] QMenu *popupMenu() const { return m_popupMenu; }
    [[nodiscard]] ByteHintWindow *byteHintWindow() const { return m_byteHintWindow.get(); }

    // Bytes the view keeps for its rows, the shared store not counted.
    [[nodiscard]] std::size_t memoryUsage() const { return m_lines.memoryUsage(); }

signals:
    // The byte under the mouse changed, or stopped being a byte.
    void mouseCursorItemChanged();
    // The mouse came to a byte of a row.
    void byteSelected(quint8 value);
    // The user asked for the packet window of a row: double click or the
    // pop-up menu's "vlastnosti paketu".
    void rowActivated(quint64 index);

protected:
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    class Painter;
    enum class CtrlMessage
    {
        None,
        Press,
        Release
    };

    [[nodiscard]] qint64 byteCount(quint64 row) const { return m_rows.at(row).data.size(); }
    [[nodiscard]] quint64 topLine() const;
    [[nodiscard]] int visibleLines() const;
    void applyFont();
    void relayout(bool remeasure);
    void recomputeMouseCursorItem();
    void updateScrollRange();
    void scrollToLine(quint64 line);
    void ensureRowVisible(quint64 row);
    void scheduleRefresh();
    void refresh();

    void handleMouseAt(QPoint pos);
    void SetMouseCursorItem(TMouseCursorItem item);
    void DrawCursorFrame(TMouseCursorItem &item, bool show);
    void UpdateByteHint();
    void activateFocusedRow();

    DatagramRange m_rows;
    LogRowLines m_lines;
    LogLayout m_layout;
    std::unique_ptr<Painter> m_painter;

    qint64 m_focusedRow = -1;
    bool m_scrollToFocused = false;
    // Rows from this one on were added since the last repaint.
    quint64 m_firstNewRow = 0;
    int m_updateLock = 0;
    QTimer m_refreshTimer;
    QElapsedTimer m_sinceRefresh;

    TMouseCursorItem m_mouseCursorItem;
    // The mouse in viewport coordinates while it is over the viewport.
    std::optional<QPoint> m_mousePos;
    QPoint m_mouseScreenPos;
    bool m_ctrlHeld = false;
    CtrlMessage m_lastCtrlMessage = CtrlMessage::None;
    QPoint m_lastHintPos;
    std::unique_ptr<ByteHintWindow> m_byteHintWindow;

    QMenu *m_popupMenu = nullptr;
    QAction *m_packetPropertiesAction = nullptr;
};
