#include "bytehintwindow.h"

#include <QFontMetrics>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {
// Room around the text: three pixels left and right, one above and below.
constexpr int HorizontalMargin = 3;
constexpr int VerticalMargin = 1;
constexpr int TextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
} // namespace

ByteHintWindow::ByteHintWindow(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(u"ByteHintWindow"_s);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(QFont(u"Courier New"_s, 10));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 255, 128));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
}

void ByteHintWindow::showText(const QString &text, QPoint topLeft)
{
    const QRect bounds =
        QFontMetrics(font()).boundingRect(QRect(0, 0, MaxTextWidth, 0x10000), TextFlags, text);
    m_text = text;
    setGeometry(QRect(topLeft, QSize(bounds.width() + 2 * HorizontalMargin,
                                     bounds.height() + 2 * VerticalMargin)));
    update();
    show();
}

void ByteHintWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(
        rect().adjusted(HorizontalMargin, VerticalMargin, -HorizontalMargin, -VerticalMargin),
        TextFlags, m_text);
}
