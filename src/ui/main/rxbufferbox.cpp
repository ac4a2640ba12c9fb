#include "rxbufferbox.h"

#include "core/byteformat.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int Margin = 2;
// Shortest time between two redraws caused by new bytes, in milliseconds.
constexpr int MinRefreshInterval = 25;

// Each byte as two hexadecimal digits and a blank.
QString hexLine(QByteArrayView bytes)
{
    QString line;
    line.reserve(bytes.size() * 3);
    char hex[2];
    for (char byte : bytes) {
        WriteHex(hex, QByteArrayView(&byte, 1));
        line += QLatin1Char(hex[0]);
        line += QLatin1Char(hex[1]);
        line += u' ';
    }
    return line;
}
} // namespace

TRxBufferBox::TRxBufferBox(QWidget *parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("eRxBuffer"));
    setFont(QFont(QStringLiteral("Microsoft Sans Serif"), 8));
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::ClickFocus);
    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &TRxBufferBox::refresh);
}

int TRxBufferBox::lineHeight() const
{
    return fontMetrics().height();
}

int TRxBufferBox::bytesPerLine() const
{
    const int cell = fontMetrics().horizontalAdvance(QStringLiteral("00 "));
    return qMax(1, (viewport()->width() - 2 * Margin) / qMax(1, cell));
}

void TRxBufferBox::showBuffer(QByteArrayView buffer, quint64 offset)
{
    const bool grown = offset == m_offset && buffer.size() >= m_bytes.size();
    if (grown) {
        if (buffer.size() == m_bytes.size())
            return;
        m_bytes.append(buffer.sliced(m_bytes.size()));
    } else {
        m_bytes = buffer.toByteArray();
        m_offset = offset;
    }
    scheduleRefresh();
}

void TRxBufferBox::clear()
{
    m_refreshTimer.stop();
    m_bytes.clear();
    updateScrollRange(true);
    viewport()->update();
}

// A link hands bytes over thousands of times a second; the scroll range and
// the picture follow at a bounded rate.
void TRxBufferBox::scheduleRefresh()
{
    if (m_refreshTimer.isActive())
        return;
    const qint64 since = m_sinceRefresh.isValid() ? m_sinceRefresh.elapsed() : MinRefreshInterval;
    m_refreshTimer.start(int(qMax<qint64>(0, MinRefreshInterval - since)));
}

void TRxBufferBox::refresh()
{
    m_sinceRefresh.start();
    updateScrollRange(true);
    viewport()->update();
}

QString TRxBufferBox::text() const
{
    return hexLine(m_bytes);
}

void TRxBufferBox::updateScrollRange(bool followEnd)
{
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    const qsizetype lines = (m_bytes.size() + bytesPerLine() - 1) / bytesPerLine();
    const int visible = qMax(1, (viewport()->height() - 2 * Margin) / lineHeight());
    bar->setRange(0, int(qMin<qsizetype>(qMax<qsizetype>(0, lines - visible), INT_MAX)));
    bar->setPageStep(visible);
    if (followEnd && atEnd)
        bar->setValue(bar->maximum());
}

void TRxBufferBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange(true);
}

void TRxBufferBox::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const int perLine = bytesPerLine();
    const int height = lineHeight();
    const qsizetype first = qsizetype(verticalScrollBar()->value()) * perLine;
    int y = Margin;
    for (qsizetype start = first; start < m_bytes.size() && y < viewport()->height();
         start += perLine, y += height) {
        const qsizetype count = qMin<qsizetype>(perLine, m_bytes.size() - start);
        painter.drawText(QRect(Margin, y, viewport()->width() - Margin, height),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         hexLine(QByteArrayView(m_bytes).sliced(start, count)));
    }
}

void TRxBufferBox::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(text());
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}
