#include "flags.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <initializer_list>
#include <iterator>

namespace {

// The colours the designs use, as 0xRRGGBB.
constexpr QRgb White = 0xFFFFFF;
constexpr QRgb Black = 0x000000;
constexpr QRgb Yellow = 0xFFD500;
constexpr QRgb Gold = 0xFFCE00;

// One band of a striped flag and its share of the flag's height or width.
struct Band
{
    QRgb color;
    int weight = 1;
};

// Draws the shapes flags are made of, in the flag's own pixel coordinates
// (0,0 top left to 21,13 bottom right). Bands and rectangles on whole
// pixels stay sharp; round and slanted shapes are smoothed.
class FlagPainter
{
public:
    explicit FlagPainter(QImage &image) : m_painter(&image)
    {
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setPen(Qt::NoPen);
    }

    void fill(QRgb color) { rect(0, 0, FlagWidth, FlagHeight, color); }

    // Bands from top to bottom, each as high as its weight's share; the
    // borders are rounded to whole pixels.
    void horizontal(std::initializer_list<Band> bands) { stripes(bands, Qt::Horizontal); }
    // Bands from the hoist (left) to the fly.
    void vertical(std::initializer_list<Band> bands) { stripes(bands, Qt::Vertical); }

    void rect(qreal x, qreal y, qreal width, qreal height, QRgb color)
    {
        m_painter.fillRect(QRectF(x, y, width, height), QColor::fromRgb(color));
    }

    void disc(qreal cx, qreal cy, qreal radius, QRgb color)
    {
        m_painter.setBrush(QColor::fromRgb(color));
        m_painter.drawEllipse(QPointF(cx, cy), radius, radius);
    }

    void ring(qreal cx, qreal cy, qreal radius, qreal width, QRgb color)
    {
        m_painter.setBrush(Qt::NoBrush);
        m_painter.setPen(QPen(QColor::fromRgb(color), width));
        m_painter.drawEllipse(QPointF(cx, cy), radius, radius);
        m_painter.setPen(Qt::NoPen);
    }

    // A star with its first point straight up, turned clockwise by the
    // rotation in degrees.
    void star(qreal cx, qreal cy, qreal radius, QRgb color, int points = 5, qreal rotation = 0,
              qreal innerRatio = 0.4)
    {
        QPolygonF shape;
        for (int i = 0; i < 2 * points; ++i) {
            const qreal r = i % 2 == 0 ? radius : radius * innerRatio;
            const qreal angle = qDegreesToRadians(rotation - 90 + 180.0 * i / points);
            shape << QPointF(cx + r * qCos(angle), cy + r * qSin(angle));
        }
        polygon(shape, color);
    }

    void polygon(const QPolygonF &shape, QRgb color)
    {
        m_painter.setBrush(QColor::fromRgb(color));
        m_painter.drawPolygon(shape);
    }

    void line(QPointF from, QPointF to, qreal width, QRgb color)
    {
        m_painter.setPen(QPen(QColor::fromRgb(color), width, Qt::SolidLine, Qt::FlatCap));
        m_painter.drawLine(from, to);
        m_painter.setPen(Qt::NoPen);
    }

    void outline(const QPolygonF &shape, qreal width, QRgb color)
    {
        m_painter.setBrush(Qt::NoBrush);
        m_painter.setPen(
            QPen(QColor::fromRgb(color), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_painter.drawPolygon(shape);
        m_painter.setPen(Qt::NoPen);
    }

    // Petals around a centre, the first pointing up.
    void petals(qreal cx, qreal cy, int count, qreal distance, qreal length, qreal width,
                QRgb color)
    {
        m_painter.setBrush(QColor::fromRgb(color));
        for (int i = 0; i < count; ++i) {
            m_painter.save();
            m_painter.translate(cx, cy);
            m_painter.rotate(-90 + 360.0 * i / count);
            m_painter.drawEllipse(QPointF(distance, 0), length, width);
            m_painter.restore();
        }
    }

    // The cross of the Nordic flags: a vertical bar of the given width
    // starting at x, and a horizontal bar as high, in the middle.
    void nordicCross(qreal x, qreal width, QRgb color)
    {
        rect(x, 0, width, FlagHeight, color);
        rect(0, (FlagHeight - width) / 2, FlagWidth, width, color);
    }

    // The union flag filling an area: the crosses of the three patron
    // saints over blue.
    void unionJack(const QRectF &area)
    {
        constexpr QRgb Blue = 0x012169;
        constexpr QRgb Red = 0xC8102E;
        m_painter.save();
        m_painter.setClipRect(area);
        rect(area.x(), area.y(), area.width(), area.height(), Blue);
        const qreal h = area.height();
        // The diagonals run a little past the corners, so that their flat
        // ends lie outside the area.
        const QPointF overshoot(area.width() / 10, h / 10);
        const QPointF topLeft = area.topLeft() - overshoot;
        const QPointF bottomRight = area.bottomRight() + overshoot;
        const QPointF bottomLeft(area.left() - overshoot.x(), area.bottom() + overshoot.y());
        const QPointF topRight(area.right() + overshoot.x(), area.top() - overshoot.y());
        for (const auto &[width, color] : {std::pair{h / 5, White}, std::pair{h / 12, Red}}) {
            line(topLeft, bottomRight, width, color);
            line(bottomLeft, topRight, width, color);
        }
        const QPointF centre = area.center();
        for (const auto &[width, color] : {std::pair{h / 3, White}, std::pair{h / 5, Red}}) {
            rect(centre.x() - width / 2, area.top(), width, h, color);
            rect(area.left(), centre.y() - width / 2, area.width(), width, color);
        }
        m_painter.restore();
    }

private:
    void stripes(std::initializer_list<Band> bands, Qt::Orientation orientation)
    {
        const int length = orientation == Qt::Horizontal ? FlagHeight : FlagWidth;
        int total = 0;
        for (const Band &band : bands)
            total += band.weight;
        int sum = 0;
        int start = 0;
        for (const Band &band : bands) {
            sum += band.weight;
            const int end = qRound(qreal(length) * sum / total);
            if (orientation == Qt::Horizontal)
                rect(0, start, FlagWidth, end - start, band.color);
            else
                rect(start, 0, end - start, FlagHeight, band.color);
            start = end;
        }
    }

    QPainter m_painter;
};

// A simplified maple leaf around a centre, about 8 pixels across.
QPolygonF MapleLeaf(qreal cx, qreal cy)
{
    static const QPointF half[] = {{0, -4.2},   {0.9, -2.4}, {2, -2.9},  {1.6, -0.6},
                                   {3.6, -1.6}, {3.2, -0.2}, {4.2, 0.2}, {2.6, 1.6},
                                   {3, 2.4},    {0.4, 2.2},  {0.4, 4}};
    QPolygonF leaf;
    for (const QPointF &point : half)
        leaf << QPointF(cx + point.x(), cy + point.y());
    for (auto point = std::rbegin(half); point != std::rend(half); ++point) {
        if (point->x() != 0)
            leaf << QPointF(cx - point->x(), cy + point->y());
    }
    return leaf;
}

struct FlagDesign
{
    const char16_t *code;
    void (*draw)(FlagPainter &flag);
};

// One design per flag, in the order of the codes.
const FlagDesign Designs[] = {
    {u"AE",
     [](FlagPainter &f) {
         f.horizontal({{0x00732F}, {White}, {Black}});
         f.rect(0, 0, 5, FlagHeight, 0xFF0000);
     }},
    {u"AR",
     [](FlagPainter &f) {
         f.horizontal({{0x74ACDF}, {White}, {0x74ACDF}});
         f.star(10.5, 6.5, 2, 0xF6B40E, 12, 0, 0.6);
     }},
    {u"AU",
     [](FlagPainter &f) {
         f.fill(0x012169);
         f.unionJack({0, 0, 10.5, 6.5});
         f.star(5.25, 10, 1.9, White, 7);
         for (const QPointF &p :
              {QPointF(16, 2.6), QPointF(13.4, 6), QPointF(18.6, 5.4), QPointF(16, 10.8)})
             f.star(p.x(), p.y(), 1.2, White, 7);
         f.star(17.3, 7.6, 0.7, White);
     }},
    {u"BA",
     [](FlagPainter &f) {
         f.fill(0x002395);
         f.polygon({QPointF(5, 0), QPointF(16, 0), QPointF(16, FlagHeight)}, 0xFECB00);
         for (int i = 0; i < 7; ++i)
             f.star(3 + i * 1.6, 0.9 + i * 1.9, 0.9, White);
     }},
    {u"BG",
     [](FlagPainter &f) {
         f.horizontal({{White}, {0x00966E}, {0xD62612}});
     }},
    {u"BR",
     [](FlagPainter &f) {
         f.fill(0x009B3A);
         f.polygon({QPointF(10.5, 1.3), QPointF(19.5, 6.5), QPointF(10.5, 11.7), QPointF(1.5, 6.5)},
                   0xFEDF00);
         f.disc(10.5, 6.5, 3.2, 0x002776);
         f.line({7.6, 5.8}, {13.4, 7.2}, 0.8, White);
     }},
    {u"BY",
     [](FlagPainter &f) {
         f.horizontal({{0xC8313E, 2}, {0x4AA657, 1}});
         f.rect(0, 0, 3, FlagHeight, White);
         for (int y : {1, 4, 7, 10})
             f.rect(1, y, 1, 2, 0xC8313E);
     }},
    {u"CA",
     [](FlagPainter &f) {
         f.vertical({{0xFF0000, 1}, {White, 2}, {0xFF0000, 1}});
         f.polygon(MapleLeaf(10.5, 6.3), 0xFF0000);
     }},
    {u"CH",
     [](FlagPainter &f) {
         f.fill(0xDA291C);
         f.rect(9, 2, 3, 9, White);
         f.rect(6, 5, 9, 3, White);
     }},
    {u"CL",
     [](FlagPainter &f) {
         f.horizontal({{White}, {0xD52B1E}});
         f.rect(0, 0, 7, 7, 0x0039A6);
         f.star(3.5, 3.6, 2.3, White);
     }},
    {u"CN",
     [](FlagPainter &f) {
         f.fill(0xEE1C25);
         f.star(4, 3.7, 2.7, 0xFFFF00);
         for (const QPointF &p :
              {QPointF(7.6, 1.2), QPointF(9, 2.7), QPointF(9, 4.7), QPointF(7.6, 6.1)})
             f.star(p.x(), p.y(), 0.9, 0xFFFF00);
     }},
    {u"CZ",
     [](FlagPainter &f) {
         f.horizontal({{White}, {0xD7141A}});
         f.polygon({QPointF(0, 0), QPointF(10.5, 6.5), QPointF(0, FlagHeight)}, 0x11457E);
     }},
    {u"DE",
     [](FlagPainter &f) {
         f.horizontal({{Black}, {0xDD0000}, {Gold}});
     }},
    {u"DK",
     [](FlagPainter &f) {
         f.fill(0xC8102E);
         f.nordicCross(6, 3, White);
     }},
    {u"EE",
     [](FlagPainter &f) {
         f.horizontal({{0x0072CE}, {Black}, {White}});
     }},
    {u"FI",
     [](FlagPainter &f) {
         f.fill(White);
         f.nordicCross(6, 3, 0x002F6C);
     }},
    {u"FR",
     [](FlagPainter &f) {
         f.vertical({{0x002395}, {White}, {0xED2939}});
     }},
    {u"GR",
     [](FlagPainter &f) {
         constexpr QRgb Blue = 0x0D5EAF;
         f.horizontal({{Blue}, {White}, {Blue}, {White}, {Blue}, {White}, {Blue}, {White}, {Blue}});
         f.rect(0, 0, 7, 7, Blue);
         f.rect(3, 0, 1, 7, White);
         f.rect(0, 3, 7, 1, White);
     }},
    {u"HK",
     [](FlagPainter &f) {
         f.fill(0xDE2910);
         f.petals(10.5, 6.5, 5, 2.1, 2, 1.1, White);
     }},
    {u"HR",
     [](FlagPainter &f) {
         f.horizontal({{0xFF0000}, {White}, {0x171796}});
         // The chequy shield in the middle.
         for (int y = 4; y < 10; ++y) {
             for (int x = 8; x < 13; ++x)
                 f.rect(x, y, 1, 1, (x + y) % 2 == 0 ? 0xFF0000 : White);
         }
         f.rect(8, 3, 5, 1, 0x2B6EB6);
     }},
    {u"HU",
     [](FlagPainter &f) {
         f.horizontal({{0xCE2939}, {White}, {0x477050}});
     }},
    {u"ID",
     [](FlagPainter &f) {
         f.horizontal({{0xFF0000}, {White}});
     }},
    {u"IE",
     [](FlagPainter &f) {
         f.vertical({{0x169B62}, {White}, {0xFF883E}});
     }},
    {u"IL",
     [](FlagPainter &f) {
         constexpr QRgb Blue = 0x0038B8;
         f.fill(White);
         f.rect(0, 1, FlagWidth, 2, Blue);
         f.rect(0, 10, FlagWidth, 2, Blue);
         f.outline({QPointF(10.5, 3.8), QPointF(12.9, 7.9), QPointF(8.1, 7.9)}, 0.7, Blue);
         f.outline({QPointF(10.5, 9.2), QPointF(12.9, 5.1), QPointF(8.1, 5.1)}, 0.7, Blue);
     }},
    {u"IN",
     [](FlagPainter &f) {
         f.horizontal({{0xFF9933}, {White}, {0x138808}});
         f.ring(10.5, 6.5, 1.7, 0.7, 0x000080);
         f.disc(10.5, 6.5, 0.5, 0x000080);
     }},
    {u"IR",
     [](FlagPainter &f) {
         constexpr QRgb Red = 0xDA0000;
         f.horizontal({{0x239F40}, {White}, {Red}});
         // The emblem in the middle and the script along the white band.
         f.petals(10.5, 6.5, 4, 0.9, 1, 0.5, Red);
         for (int x = 1; x < FlagWidth; x += 3) {
             f.rect(x, 4, 1.5, 0.6, 0x8FCB8F);
             f.rect(x, 8.4, 1.5, 0.6, 0xF08080);
         }
     }},
    {u"IT",
     [](FlagPainter &f) {
         f.vertical({{0x009246}, {White}, {0xCE2B37}});
     }},
    {u"JP",
     [](FlagPainter &f) {
         f.fill(White);
         f.disc(10.5, 6.5, 3.9, 0xBC002D);
     }},
    {u"KR",
     [](FlagPainter &f) {
         constexpr QRgb Red = 0xCD2E3A;
         constexpr QRgb Blue = 0x0047A0;
         f.fill(White);
         // The red and blue halves of the disc, swirled into each other.
         f.disc(10.5, 6.5, 3.2, Blue);
         QPainterPath top;
         top.moveTo(7.3, 6.5);
         top.arcTo(QRectF(7.3, 3.3, 6.4, 6.4), 180, -180);
         top.closeSubpath();
         f.polygon(top.toFillPolygon(), Red);
         f.disc(8.9, 6.5, 1.6, Red);
         f.disc(12.1, 6.5, 1.6, Blue);
         // The trigrams in the corners.
         f.line({2.8, 1.6}, {5.4, 4.2}, 1.8, Black);
         f.line({15.6, 4.2}, {18.2, 1.6}, 1.8, Black);
         f.line({2.8, 11.4}, {5.4, 8.8}, 1.8, Black);
         f.line({15.6, 8.8}, {18.2, 11.4}, 1.8, Black);
     }},
    {u"LT",
     [](FlagPainter &f) {
         f.horizontal({{0xFDB913}, {0x006A44}, {0xC1272D}});
     }},
    {u"LV",
     [](FlagPainter &f) {
         f.horizontal({{0x9E3039, 2}, {White, 1}, {0x9E3039, 2}});
     }},
    {u"MX",
     [](FlagPainter &f) {
         f.vertical({{0x006847}, {White}, {0xCE1126}});
         f.disc(10.5, 6.2, 1.7, 0x8C5A2B);
         f.rect(9.3, 8.2, 2.4, 0.8, 0x006847);
     }},
    {u"MY",
     [](FlagPainter &f) {
         constexpr QRgb Red = 0xCC0001;
         constexpr QRgb Blue = 0x010066;
         for (int y = 0; y < FlagHeight; ++y)
             f.rect(0, y, FlagWidth, 1, y % 2 == 0 ? Red : White);
         f.rect(0, 0, 10, 7, Blue);
         f.disc(3.9, 3.5, 2.7, 0xFFCC00);
         f.disc(4.9, 3.5, 2.3, Blue);
         f.star(7.4, 3.5, 1.8, 0xFFCC00, 14, 0, 0.5);
     }},
    {u"NO",
     [](FlagPainter &f) {
         f.fill(0xBA0C2F);
         f.nordicCross(5, 5, White);
         f.nordicCross(6, 3, 0x00205B);
     }},
    {u"NZ",
     [](FlagPainter &f) {
         f.fill(0x012169);
         f.unionJack({0, 0, 10.5, 6.5});
         for (const QPointF &p :
              {QPointF(16, 2.8), QPointF(13.6, 6.2), QPointF(18.5, 5.6), QPointF(16, 10.6)}) {
             f.star(p.x(), p.y(), 1.6, White);
             f.star(p.x(), p.y(), 1.0, 0xC8102E);
         }
     }},
    {u"PH",
     [](FlagPainter &f) {
         constexpr QRgb Sun = 0xFCD116;
         f.horizontal({{0x0038A8}, {0xCE1126}});
         f.polygon({QPointF(0, 0), QPointF(9.5, 6.5), QPointF(0, FlagHeight)}, White);
         f.star(3.2, 6.5, 1.8, Sun, 8, 0, 0.55);
         f.star(1, 1.6, 0.7, Sun);
         f.star(1, 11.4, 0.7, Sun);
         f.star(7.2, 6.5, 0.7, Sun);
     }},
    {u"PL",
     [](FlagPainter &f) {
         f.horizontal({{White}, {0xDC143C}});
     }},
    {u"PT",
     [](FlagPainter &f) {
         f.vertical({{0x006600, 2}, {0xFF0000, 3}});
         f.ring(8, 6.5, 2.8, 0.9, 0xFFE000);
         f.rect(7, 5, 2, 3, White);
         f.rect(7.5, 5.5, 1, 2, 0x003399);
     }},
    {u"RO",
     [](FlagPainter &f) {
         f.vertical({{0x002B7F}, {0xFCD116}, {0xCE1126}});
     }},
    {u"RS",
     [](FlagPainter &f) {
         constexpr QRgb Red = 0xC6363C;
         f.horizontal({{Red}, {0x0C4076}, {White}});
         // The crowned shield with the white eagle, towards the hoist.
         f.rect(5.5, 1.5, 3, 1, Gold);
         f.rect(5, 2.5, 4, 7, Red);
         f.rect(5.8, 4, 2.4, 3.6, White);
     }},
    {u"RU",
     [](FlagPainter &f) {
         f.horizontal({{White}, {0x0039A6}, {0xD52B1E}});
     }},
    {u"SE",
     [](FlagPainter &f) {
         f.fill(0x006AA7);
         f.nordicCross(6, 3, 0xFECC00);
     }},
    {u"SI",
     [](FlagPainter &f) {
         constexpr QRgb Blue = 0x005DA4;
         f.horizontal({{White}, {Blue}, {0xED1C24}});
         // The shield with the mountain, towards the upper hoist.
         f.rect(4, 2, 5, 5, 0xED1C24);
         f.rect(4.5, 2.5, 4, 4, Blue);
         f.polygon({QPointF(5, 6.3), QPointF(6.5, 3.8), QPointF(8, 6.3)}, White);
     }},
    {u"SK",
     [](FlagPainter &f) {
         constexpr QRgb Blue = 0x0B4EA2;
         constexpr QRgb Red = 0xEE1C25;
         f.horizontal({{White}, {Blue}, {Red}});
         // The shield with the double cross on three hills.
         f.rect(4, 2, 6, 8, White);
         f.rect(4.6, 2.6, 4.8, 6.8, Red);
         f.rect(6.6, 3.2, 0.9, 4.6, White);
         f.rect(5.6, 4.3, 2.9, 0.8, White);
         f.rect(5.9, 5.7, 2.3, 0.8, White);
         f.rect(4.6, 7.8, 4.8, 1.6, Blue);
     }},
    {u"TH",
     [](FlagPainter &f) {
         f.horizontal({{0xA51931}, {White}, {0x2D2A4A, 2}, {White}, {0xA51931}});
     }},
    {u"TR",
     [](FlagPainter &f) {
         constexpr QRgb Red = 0xE30A17;
         f.fill(Red);
         f.disc(7.5, 6.5, 3.3, White);
         f.disc(8.4, 6.5, 2.65, Red);
         f.star(12, 6.5, 1.6, White, 5, -90);
     }},
    {u"TW",
     [](FlagPainter &f) {
         constexpr QRgb Blue = 0x000095;
         f.fill(0xFE0000);
         f.rect(0, 0, 11, 7, Blue);
         f.star(5.5, 3.5, 2.6, White, 12, 0, 0.6);
         f.disc(5.5, 3.5, 1.4, Blue);
         f.disc(5.5, 3.5, 1.1, White);
     }},
    {u"UA",
     [](FlagPainter &f) {
         f.horizontal({{0x0057B7}, {Yellow}});
     }},
    {u"UK",
     [](FlagPainter &f) {
         f.unionJack({0, 0, FlagWidth, FlagHeight});
     }},
    {u"US",
     [](FlagPainter &f) {
         for (int y = 0; y < FlagHeight; ++y)
             f.rect(0, y, FlagWidth, 1, y % 2 == 0 ? 0xB22234 : White);
         f.rect(0, 0, 9, 7, 0x3C3B6E);
         // The stars, in staggered rows.
         for (int y = 1; y < 7; ++y) {
             for (int x = y % 2 == 1 ? 1 : 2; x < 9; x += 2)
                 f.rect(x, y, 1, 1, White);
         }
     }},
    {u"VN",
     [](FlagPainter &f) {
         f.fill(0xDA251D);
         f.star(10.5, 6.8, 4.2, 0xFFFF00);
     }},
    {u"ZA",
     [](FlagPainter &f) {
         constexpr QRgb Green = 0x007749;
         f.horizontal({{0xE03C31}, {0x001489}});
         // The lying Y: green, bordered white, around a black triangle
         // bordered yellow.
         // The arms start beyond the corners, so that their flat ends lie
         // outside the flag.
         const QPointF fork(8.5, 6.5);
         const QPointF top = fork * -0.3;
         const QPointF bottom(top.x(), FlagHeight - top.y());
         for (const auto &[width, color] : {std::pair{4.4, White}, std::pair{2.6, Green}}) {
             f.line(top, fork, width, color);
             f.line(bottom, fork, width, color);
             f.rect(fork.x(), 6.5 - width / 2, FlagWidth - fork.x(), width, color);
         }
         f.polygon({QPointF(0, 1.6), QPointF(6.4, 6.5), QPointF(0, 11.4)}, 0xFFB612);
         f.polygon({QPointF(0, 3.2), QPointF(4.3, 6.5), QPointF(0, 9.8)}, Black);
     }},
};

QPixmap DrawFlag(const FlagDesign &design)
{
    QImage image(FlagWidth, FlagHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        FlagPainter painter(image);
        design.draw(painter);
    }
    return QPixmap::fromImage(image);
}

constexpr QStringView FlagPrefix = u"FLAG_";

} // namespace

QPixmap FlagPicture(QStringView name)
{
    static QHash<QString, QPixmap> drawn;
    if (!name.startsWith(FlagPrefix, Qt::CaseInsensitive))
        return {};
    const QString code = name.sliced(FlagPrefix.size()).toString().toUpper();
    if (const auto found = drawn.constFind(code); found != drawn.cend())
        return *found;
    for (const FlagDesign &design : Designs) {
        if (code == QStringView(design.code))
            return *drawn.insert(code, DrawFlag(design));
    }
    return {};
}

QStringList FlagNames()
{
    QStringList names;
    for (const FlagDesign &design : Designs)
        names << FlagPrefix.toString().append(QStringView(design.code));
    return names;
}
