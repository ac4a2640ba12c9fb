#include "terminallogview.h"

#include "bytehintwindow.h"
#include "core/codepage.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRawFont>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

// While datagrams keep arriving the view repaints at most this often.
constexpr int MinRefreshInterval = 25;

const QColor GutterColour(192, 192, 192);
const QColor CreamColour(255, 251, 240);
const QColor InvalidColour(255, 200, 220);
const QColor RxColour(0, 0, 255);
const QColor TxColour(0, 128, 0);
const QColor OutlineColour(255, 128, 0);

int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

// The character shown for a byte: bytes below 40 show as a dot, the upper
// half through the code page.
QChar shownChar(quint8 value)
{
    return value < 40 ? QLatin1Char('.') : CodePage::toChar(value);
}

} // namespace

// Draws the rows. Glyphs of the sixteen hex digits and of the 256 shown
// characters are looked up once per font, so that a row's bytes are drawn as
// two glyph runs without laying any text out; a character the font lacks is
// drawn as text, which lets the font machinery find a substitute.
class TTerminalLogView::Painter
{
public:
    Painter(const QFont &font, const LogLayout &layout);

    void paintRow(QPainter &painter, const LogLayout &layout, quint64 index, const Datagram &row,
                  qint64 rowTop, qint64 rowHeight, const QRect &area, bool focused,
                  const QPalette &palette) const;

private:
    QRawFont m_rawFont;
    int m_ascent = 0;
    std::array<quint32, 16> m_hexGlyphs{};
    std::array<quint32, 256> m_charGlyphs{};
    std::array<int, 256> m_charOffsets{};
    std::array<QString, 16> m_hexTexts;
    std::array<QString, 256> m_charTexts;
};

TTerminalLogView::Painter::Painter(const QFont &font, const LogLayout &layout)
    : m_rawFont(QRawFont::fromFont(font))
{
    const QFontMetrics metrics(font);
    m_ascent = metrics.ascent();
    const auto glyphOf = [this](const QString &text) -> quint32 {
        if (!m_rawFont.isValid())
            return 0;
        const QList<quint32> glyphs = m_rawFont.glyphIndexesForString(text);
        return glyphs.size() == 1 ? glyphs.front() : 0;
    };
    for (int digit = 0; digit < 16; ++digit) {
        m_hexTexts[digit] = QString(QLatin1Char("0123456789ABCDEF"[digit]));
        m_hexGlyphs[digit] = glyphOf(m_hexTexts[digit]);
    }
    const int cell = layout.charCellWidth();
    for (int value = 0; value < 256; ++value) {
        const QChar c = shownChar(quint8(value));
        m_charTexts[value] = QString(c);
        m_charGlyphs[value] = glyphOf(m_charTexts[value]);
        // Centred in the cell: half the cell less half the character,
        // truncated toward zero.
        m_charOffsets[value] = int(std::trunc(cell / 2.0 - metrics.horizontalAdvance(c) / 2.0));
    }
}

void TTerminalLogView::Painter::paintRow(QPainter &painter, const LogLayout &layout, quint64 index,
                                         const Datagram &row, qint64 rowTop, qint64 rowHeight,
                                         const QRect &area, bool focused,
                                         const QPalette &palette) const
{
    const int gutter = LogLayout::GutterWidth;
    const int hexWidth = layout.hexAreaWidth();
    const int top = clampToInt(std::max<qint64>(rowTop, area.top() - 1));
    const int bottom = clampToInt(std::min<qint64>(rowTop + rowHeight, area.bottom() + 2));
    const int height = bottom - top;

    painter.fillRect(QRect(0, top, gutter, height),
                     focused ? palette.color(QPalette::Highlight) : GutterColour);
    if (rowTop + 1 + LogLayout::LineHeight >= area.top()) {
        painter.setPen(focused ? palette.color(QPalette::HighlightedText) : QColor(Qt::black));
        painter.drawText(QPoint(5, int(rowTop) + 1 + m_ascent), QString::number(index));
    }

    const QColor hexBackground = row.valid ? CreamColour : InvalidColour;
    const QColor charBackground = row.valid ? palette.color(QPalette::Base) : InvalidColour;
    painter.fillRect(QRect(gutter, top, hexWidth, height), hexBackground);
    painter.fillRect(QRect(gutter + hexWidth, top, layout.charAreaWidth(), height), charBackground);

    const qint64 byteCount = row.data.size();
    const qint64 lines = layout.drawnLineCount(byteCount);
    if (lines == 0)
        return;
    // Only the lines whose text can reach into the repainted area.
    const qint64 firstLine = std::max<qint64>(0, (area.top() - rowTop) / LogLayout::LineHeight - 1);
    const qint64 endLine =
        std::min<qint64>(lines, (area.bottom() - rowTop) / LogLayout::LineHeight + 1);
    if (firstLine >= endLine)
        return;

    painter.setPen(row.direction == Direction::Rx ? RxColour : TxColour);
    const int perLine = layout.bytesPerLine();
    const int digitWidth = layout.hexCharWidth();
    const qint64 firstByte = firstLine * perLine;
    const qint64 endByte = std::min(byteCount, endLine * perLine);

    QList<quint32> hexGlyphs;
    QList<QPointF> hexPositions;
    QList<quint32> charGlyphs;
    QList<QPointF> charPositions;
    hexGlyphs.reserve(2 * (endByte - firstByte));
    hexPositions.reserve(2 * (endByte - firstByte));
    charGlyphs.reserve(endByte - firstByte);
    charPositions.reserve(endByte - firstByte);

    const auto addGlyph = [&painter](QList<quint32> &glyphs, QList<QPointF> &positions,
                                     quint32 glyph, const QString &text, int x, int baseline) {
        if (glyph != 0) {
            glyphs.append(glyph);
            positions.append(QPointF(x, baseline));
        } else {
            painter.drawText(QPoint(x, baseline), text);
        }
    };

    for (qint64 i = firstByte; i < endByte; ++i) {
        const auto line = int(i / perLine);
        const auto column = int(i % perLine);
        const int baseline = clampToInt(rowTop + LogLayout::textY(0, line)) + m_ascent;
        const auto value = quint8(row.data[i]);
        const int x = layout.hexX(column);
        addGlyph(hexGlyphs, hexPositions, m_hexGlyphs[value >> 4], m_hexTexts[value >> 4], x,
                 baseline);
        addGlyph(hexGlyphs, hexPositions, m_hexGlyphs[value & 15], m_hexTexts[value & 15],
                 x + digitWidth, baseline);
        addGlyph(charGlyphs, charPositions, m_charGlyphs[value], m_charTexts[value],
                 layout.charX(column) + m_charOffsets[value], baseline);
    }

    QGlyphRun run;
    run.setRawFont(m_rawFont);
    if (!hexGlyphs.isEmpty()) {
        run.setGlyphIndexes(hexGlyphs);
        run.setPositions(hexPositions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    if (!charGlyphs.isEmpty()) {
        run.setGlyphIndexes(charGlyphs);
        run.setPositions(charPositions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
}

TTerminalLogView::TTerminalLogView(std::shared_ptr<DatagramStore> store, QWidget *parent)
    : QAbstractScrollArea(parent), m_rows(std::move(store))
{
    setObjectName(u"vstTerminal"_s);
    setFont(QFont(u"Arial"_s, 8));
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);

    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &TTerminalLogView::refresh);

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(u"PopupMenu2"_s);
    m_packetPropertiesAction = m_popupMenu->addAction(u"vlastnosti paketu"_s);
    m_packetPropertiesAction->setObjectName(u"pmiPacketProperties"_s);
    connect(m_packetPropertiesAction, &QAction::triggered, this,
            &TTerminalLogView::activateFocusedRow);

    m_byteHintWindow = std::make_unique<ByteHintWindow>();
    applyFont();
    // The Ctrl key shows and hides the byte hint wherever the keyboard focus
    // is, so the view watches the key events of the whole application.
    qApp->installEventFilter(this);
}

TTerminalLogView::~TTerminalLogView()
{
    qApp->removeEventFilter(this);
}

void TTerminalLogView::AddPacketRow(const Datagram &)
{
    const quint64 available = m_rows.size();
    if (available <= m_lines.size())
        return;
    // An empty log follows the traffic as if its last row were focused.
    const bool lastRowFocused =
        m_focusedRow < 0 ? m_lines.isEmpty() : quint64(m_focusedRow) + 1 == m_lines.size();
    while (m_lines.size() < available)
        m_lines.append(quint64(m_layout.lineCount(byteCount(m_lines.size()))));
    if (lastRowFocused) {
        m_focusedRow = qint64(m_lines.size() - 1);
        m_scrollToFocused = true;
    }
    scheduleRefresh();
}

void TTerminalLogView::clear()
{
    m_rows.clear();
    m_lines.clear();
    m_focusedRow = -1;
    m_scrollToFocused = false;
    m_firstNewRow = 0;
    m_mouseCursorItem = TMouseCursorItem();
    if (m_byteHintWindow)
        m_byteHintWindow->hide();
    updateScrollRange();
    viewport()->update();
    emit mouseCursorItemChanged();
}

void TTerminalLogView::beginUpdate()
{
    ++m_updateLock;
}

void TTerminalLogView::endUpdate()
{
    if (m_updateLock > 0 && --m_updateLock == 0)
        refresh();
}

void TTerminalLogView::setFocusedRow(qint64 row)
{
    if (row < -1 || row >= qint64(rowCount()))
        return;
    const qint64 previous = m_focusedRow;
    m_focusedRow = row;
    if (previous >= 0 && previous < qint64(rowCount()))
        viewport()->update(rowRect(quint64(previous)).intersected(viewport()->rect()));
    if (row < 0)
        return;
    viewport()->update(rowRect(quint64(row)).intersected(viewport()->rect()));
    updateScrollRange();
    ensureRowVisible(quint64(row));
}

QRect TTerminalLogView::rowRect(quint64 row) const
{
    const qint64 top = (qint64(m_lines.firstLine(row)) - qint64(topLine())) * LogLayout::LineHeight;
    const qint64 height = qint64(m_lines.lineCount(row)) * LogLayout::LineHeight;
    return QRect(0, clampToInt(top), viewport()->width(), clampToInt(height));
}

qint64 TTerminalLogView::rowAt(int y) const
{
    if (y < 0)
        return -1;
    const quint64 row = m_lines.rowAtLine(topLine() + quint64(y / LogLayout::LineHeight));
    return row < m_lines.size() ? qint64(row) : -1;
}

quint64 TTerminalLogView::topLine() const
{
    return quint64(std::max(verticalScrollBar()->value(), 0));
}

int TTerminalLogView::visibleLines() const
{
    return std::max(viewport()->height() / LogLayout::LineHeight, 1);
}

void TTerminalLogView::applyFont()
{
    const LogLayout metrics = LogLayout::fromFont(font());
    m_layout = metrics;
    m_painter = std::make_unique<Painter>(font(), m_layout);
    relayout(true);
}

void TTerminalLogView::relayout(bool remeasure)
{
    const LogLayout previous = m_layout;
    m_layout.setClientWidth(viewport()->width());
    remeasure = remeasure || previous.hexAreaWidth() != m_layout.hexAreaWidth() ||
                previous.bytesPerLine() != m_layout.bytesPerLine();
    if (remeasure && !m_lines.isEmpty()) {
        // Keep the row at the top of the view there, and the focused row in
        // view if it was.
        const quint64 anchor = m_lines.rowAtLine(topLine());
        const QRect focusedRect = m_focusedRow >= 0 ? rowRect(quint64(m_focusedRow)) : QRect();
        const bool focusedVisible = focusedRect.intersects(viewport()->rect());
        m_lines.remeasure(
            [this](quint64 row) { return quint64(m_layout.lineCount(byteCount(row))); });
        updateScrollRange();
        if (anchor < m_lines.size())
            scrollToLine(m_lines.firstLine(anchor));
        if (focusedVisible)
            ensureRowVisible(quint64(m_focusedRow));
    } else {
        updateScrollRange();
    }
    viewport()->update();
    recomputeMouseCursorItem();
}

void TTerminalLogView::updateScrollRange()
{
    const quint64 total = m_lines.totalLines();
    const auto visible = quint64(visibleLines());
    const quint64 maximum = total > visible ? total - visible : 0;
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(visibleLines());
    bar->setRange(0, int(std::min<quint64>(maximum, std::numeric_limits<int>::max())));
}

void TTerminalLogView::scrollToLine(quint64 line)
{
    verticalScrollBar()->setValue(int(std::min<quint64>(line, std::numeric_limits<int>::max())));
}

void TTerminalLogView::ensureRowVisible(quint64 row)
{
    const quint64 first = m_lines.firstLine(row);
    const quint64 end = m_lines.endLine(row);
    const quint64 top = topLine();
    const auto visible = quint64(visibleLines());
    if (first < top)
        scrollToLine(first);
    else if (end > top + visible)
        scrollToLine(std::min(first, end - visible));
}

void TTerminalLogView::scheduleRefresh()
{
    if (m_updateLock > 0 || m_refreshTimer.isActive())
        return;
    const qint64 since = m_sinceRefresh.isValid() ? m_sinceRefresh.elapsed() : MinRefreshInterval;
    m_refreshTimer.start(int(std::max<qint64>(0, MinRefreshInterval - since)));
}

void TTerminalLogView::refresh()
{
    if (m_updateLock > 0)
        return;
    m_refreshTimer.stop();
    m_sinceRefresh.start();
    const quint64 previousTop = topLine();
    updateScrollRange();
    if (m_scrollToFocused && m_focusedRow >= 0)
        ensureRowVisible(quint64(m_focusedRow));
    m_scrollToFocused = false;
    // A scroll has repainted everything; otherwise only new rows that reach
    // into the view need painting, with the row that lost the focus.
    if (topLine() == previousTop && m_firstNewRow < m_lines.size()) {
        const quint64 firstChanged = m_firstNewRow > 0 ? m_firstNewRow - 1 : 0;
        const QRect changed = rowRect(firstChanged);
        if (changed.top() < viewport()->height())
            viewport()->update(
                QRect(0, changed.top(), viewport()->width(), viewport()->height() - changed.top()));
    }
    m_firstNewRow = m_lines.size();
}

void TTerminalLogView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_painter)
        applyFont();
}

bool TTerminalLogView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Leave)
        m_mousePos.reset();
    return QAbstractScrollArea::viewportEvent(event);
}

bool TTerminalLogView::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat()) {
            // A key event passes the filter once for every widget it is
            // offered to; only a change of the last Ctrl message counts.
            const CtrlMessage message =
                type == QEvent::KeyPress ? CtrlMessage::Press : CtrlMessage::Release;
            if (message != m_lastCtrlMessage) {
                m_ctrlHeld = message == CtrlMessage::Press;
                UpdateByteHint();
                m_lastCtrlMessage = message;
            }
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void TTerminalLogView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const QPalette colours = palette();
    const QColor background = colours.color(QPalette::Base);
    const int width = viewport()->width();
    const int columnsEnd =
        LogLayout::GutterWidth + m_layout.hexAreaWidth() + m_layout.charAreaWidth();

    int paintedBottom = area.top();
    const qint64 firstRow = rowAt(area.top());
    if (firstRow >= 0) {
        const qint64 firstTop = (qint64(m_lines.firstLine(quint64(firstRow))) - qint64(topLine())) *
                                LogLayout::LineHeight;
        qint64 rowTop = firstTop;
        for (quint64 row = quint64(firstRow); row < m_lines.size() && rowTop <= area.bottom();
             ++row) {
            const qint64 height = qint64(m_lines.lineCount(row)) * LogLayout::LineHeight;
            m_painter->paintRow(painter, m_layout, row, m_rows.at(row), rowTop, height, area,
                                qint64(row) == m_focusedRow, colours);
            rowTop += height;
        }
        paintedBottom = clampToInt(std::min<qint64>(rowTop, area.bottom() + 1));
    }
    if (paintedBottom <= area.bottom())
        painter.fillRect(
            QRect(area.left(), paintedBottom, area.width(), area.bottom() + 1 - paintedBottom),
            background);
    if (columnsEnd < width)
        painter.fillRect(QRect(columnsEnd, area.top(), width - columnsEnd, area.height()),
                         background);

    // The outline of the byte under the mouse goes over the finished rows.
    if (m_mouseCursorItem.Valid) {
        painter.setPen(OutlineColour);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_mouseCursorItem.HexRect.adjusted(0, 0, -1, -1));
        painter.drawRect(m_mouseCursorItem.CharRect.adjusted(0, 0, -1, -1));
        m_mouseCursorItem.Shown = true;
    }
}

void TTerminalLogView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout(false);
}

void TTerminalLogView::scrollContentsBy(int, int)
{
    viewport()->update();
    recomputeMouseCursorItem();
}

void TTerminalLogView::recomputeMouseCursorItem()
{
    // The rows moved under the mouse: forget the old byte (the whole view is
    // repainted anyway) and take the one now under the mouse.
    if (m_mouseCursorItem.Valid) {
        m_mouseCursorItem.Row = -1;
        m_mouseCursorItem.Valid = false;
        m_mouseCursorItem.Shown = false;
        emit mouseCursorItemChanged();
    }
    if (m_mousePos)
        handleMouseAt(*m_mousePos);
    else
        UpdateByteHint();
}

void TTerminalLogView::mouseMoveEvent(QMouseEvent *event)
{
    m_mousePos = event->position().toPoint();
    m_mouseScreenPos = event->globalPosition().toPoint();
    m_ctrlHeld = event->modifiers().testFlag(Qt::ControlModifier);
    handleMouseAt(*m_mousePos);
    event->accept();
}

void TTerminalLogView::mousePressEvent(QMouseEvent *event)
{
    // Both buttons select, so that the pop-up menu acts on the row that was
    // right-clicked.
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        const qint64 row = rowAt(event->position().toPoint().y());
        if (row >= 0)
            setFocusedRow(row);
    }
    event->accept();
}

void TTerminalLogView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void TTerminalLogView::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        activateFocusedRow();
}

void TTerminalLogView::wheelEvent(QWheelEvent *event)
{
    m_mousePos = event->position().toPoint();
    m_mouseScreenPos = event->globalPosition().toPoint();
    QAbstractScrollArea::wheelEvent(event);
}

void TTerminalLogView::contextMenuEvent(QContextMenuEvent *event)
{
    m_popupMenu->popup(event->globalPos());
}

void TTerminalLogView::keyPressEvent(QKeyEvent *event)
{
    if (m_lines.isEmpty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const qint64 last = qint64(m_lines.size()) - 1;
    const qint64 current = m_focusedRow;
    const qint64 page = std::max<qint64>(visibleLines() / 2, 1);
    qint64 target = current;
    switch (event->key()) {
    case Qt::Key_Up:
        target = current < 0 ? last : current - 1;
        break;
    case Qt::Key_Down:
        target = current + 1;
        break;
    case Qt::Key_PageUp:
        target = current < 0 ? last : current - page;
        break;
    case Qt::Key_PageDown:
        target = current + page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = last;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    setFocusedRow(std::clamp<qint64>(target, 0, last));
}

void TTerminalLogView::handleMouseAt(QPoint pos)
{
    TMouseCursorItem item;
    const qint64 row = rowAt(pos.y());
    if (row >= 0) {
        item.Row = row;
        const QRect rect = rowRect(quint64(row));
        const std::optional<LogByteHit> hit =
            m_layout.byteAt(pos, rect.top(), byteCount(quint64(row)));
        // The gutter and the space right of the character column keep the
        // byte that was under the mouse before.
        if (!hit)
            return;
        item.Index = hit->Index;
        item.Column = hit->Column;
        item.Line = hit->Line;
        item.Valid = hit->Valid;
    }
    SetMouseCursorItem(item);
    UpdateByteHint();
}

void TTerminalLogView::SetMouseCursorItem(TMouseCursorItem item)
{
    if (item.Index == m_mouseCursorItem.Index && item.Row == m_mouseCursorItem.Row)
        return;
    DrawCursorFrame(m_mouseCursorItem, false);
    m_mouseCursorItem = item;
    if (m_mouseCursorItem.Valid) {
        const int rowTop = rowRect(quint64(m_mouseCursorItem.Row)).top();
        m_mouseCursorItem.HexRect =
            m_layout.hexRect(m_mouseCursorItem.Column, m_mouseCursorItem.Line, rowTop);
        m_mouseCursorItem.CharRect =
            m_layout.charRect(m_mouseCursorItem.Column, m_mouseCursorItem.Line, rowTop);
        DrawCursorFrame(m_mouseCursorItem, true);
        m_mouseCursorItem.ByteValue =
            quint8(m_rows.at(quint64(m_mouseCursorItem.Row)).data[m_mouseCursorItem.Index]);
        emit byteSelected(m_mouseCursorItem.ByteValue);
    }
    emit mouseCursorItemChanged();
}

void TTerminalLogView::DrawCursorFrame(TMouseCursorItem &item, bool show)
{
    // Without XOR drawing, the outline is painted over the rows by
    // paintEvent and erased by repainting the rows under it.
    if (!item.Valid || item.Shown == show)
        return;
    item.Shown = show;
    viewport()->update(item.HexRect);
    viewport()->update(item.CharRect);
}

void TTerminalLogView::UpdateByteHint()
{
    if (!m_byteHintWindow)
        return;
    const TMouseCursorItem &item = m_mouseCursorItem;
    if (!item.Valid || !m_ctrlHeld || item.Row < 0 || quint64(item.Row) >= rowCount()) {
        m_byteHintWindow->hide();
        return;
    }
    const QString text =
        LogLayout::hintText(item.Index, byteCount(quint64(item.Row)), item.ByteValue);
    if (m_mouseScreenPos == m_lastHintPos && m_byteHintWindow->isVisible() &&
        m_byteHintWindow->text() == text)
        return;
    m_byteHintWindow->showText(text, m_mouseScreenPos + QPoint(12, 20));
    m_lastHintPos = m_mouseScreenPos;
}

void TTerminalLogView::activateFocusedRow()
{
    if (m_focusedRow >= 0 && quint64(m_focusedRow) < rowCount())
        emit rowActivated(quint64(m_focusedRow));
}
