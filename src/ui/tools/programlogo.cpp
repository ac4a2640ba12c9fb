#include "programlogo.h"

#include <QFont>
#include <QPainter>

QPixmap ProgramLogo(QSize size)
{
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile = QRectF(picture.rect()).adjusted(1, 1, -1, -1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRoundedRect(tile, tile.width() / 6, tile.height() / 6);

    // Three bytes in a row, the middle one highlighted as in the log.
    const qreal cell = tile.width() / 4;
    const qreal top = tile.top() + tile.height() * 0.58;
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(i == 1 ? QColor(255, 165, 0) : QColor(240, 240, 255));
        painter.drawRect(QRectF(tile.left() + cell * (0.5 + i) + 1, top, cell - 2, cell * 0.6));
    }
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(6, int(tile.height() * 0.36)));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(tile.left(), tile.top() + 2, tile.width(), tile.height() * 0.55),
                     Qt::AlignCenter, QStringLiteral("T97"));
    return picture;
}
