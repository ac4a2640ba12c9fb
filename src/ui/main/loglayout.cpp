#include "loglayout.h"

#include "core/byteformat.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

QDebug operator<<(QDebug debug, const TMouseCursorItem &item)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TMouseCursorItem(row " << item.Row << ", index " << item.Index << ", line "
                    << item.Line << ", column " << item.Column << ", "
                    << (item.Valid ? "valid" : "invalid") << ", value " << item.ByteValue
                    << ", hex " << item.HexRect << ", char " << item.CharRect << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const LogByteHit &hit)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "LogByteHit(index " << hit.Index << ", line " << hit.Line << ", column "
                    << hit.Column << ", " << (hit.Valid ? "valid" : "invalid") << ')';
    return debug;
}

LogLayout::LogLayout(int hexCharWidth, int charCellWidth)
    : m_hexCharWidth(std::max(hexCharWidth, 1)), m_charCellWidth(std::max(charCellWidth, 1))
{}

LogLayout LogLayout::fromFont(const QFont &font)
{
    const QFontMetrics metrics(font);
    return LogLayout(metrics.horizontalAdvance(u"_"_s) + 1, metrics.horizontalAdvance(u"W"_s) + 1);
}

void LogLayout::setClientWidth(int width)
{
    const qint64 a = m_hexCharWidth;
    const qint64 b = m_charCellWidth;
    const qint64 byteWidth = 3 * a + b;
    // The hex column holds as many whole bytes as the width divided by the
    // width of one byte in both columns allows, less the gap after the last
    // byte, plus a margin of four pixels. The quotient is truncated toward
    // zero, which integer division does for a negative numerator too.
    const qint64 hexDigits = ((width - GutterWidth - 8) * 3 * a - a * byteWidth) / byteWidth;
    m_clientWidth = width;
    m_hexAreaWidth = int(std::max(hexDigits + 4, 2 * a));
    m_charAreaWidth = int(std::max<qint64>(b, width - GutterWidth - m_hexAreaWidth));
    // A byte starts a new line when its two digits and a two-pixel margin
    // would pass the hex column's right edge; the first byte of a line is
    // always drawn.
    const qint64 room = m_hexAreaWidth - 4 - 2 * a;
    m_bytesPerLine = room < 0 ? 1 : int(room / (3 * a) + 1);
}

qint64 LogLayout::drawnLineCount(qint64 byteCount) const
{
    if (byteCount <= 0)
        return 0;
    return (byteCount - 1) / m_bytesPerLine + 1;
}

qint64 LogLayout::lineCount(qint64 byteCount) const
{
    // (3n - 1) digit cells over (D - 4) / A cells per line, rounded up; done
    // as (3n - 1) * A / (D - 4) in integers so that an exact quotient is not
    // pushed to the next line by rounding.
    const qint64 cells = 3 * byteCount - 1;
    const qint64 lineWidth = std::max(m_hexAreaWidth - 4, 1);
    const qint64 measured = cells <= 0 ? 0 : (cells * m_hexCharWidth - 1) / lineWidth + 1;
    return std::max({measured, drawnLineCount(byteCount), qint64(1)});
}

std::optional<LogByteHit> LogLayout::byteAt(QPoint pos, int rowTop, qint64 byteCount) const
{
    const int hexEnd = GutterWidth + m_hexAreaWidth;
    if (pos.x() > hexEnd + m_charAreaWidth || pos.x() <= GutterWidth)
        return std::nullopt;

    LogByteHit hit;
    if (pos.x() > hexEnd)
        hit.Column = (pos.x() - hexEnd) / m_charCellWidth;
    else
        hit.Column = (pos.x() - GutterWidth) / (3 * m_hexCharWidth);
    hit.Line = std::max(pos.y() - rowTop, 0) / LineHeight;
    hit.Index = qint64(hit.Line) * m_bytesPerLine + hit.Column;
    // Right of the last cell of a line there is no byte, even where the next
    // line's first byte would follow by counting.
    hit.Valid = hit.Column < m_bytesPerLine && hit.Index < byteCount;
    return hit;
}

QRect LogLayout::hexRect(int column, int line, int rowTop) const
{
    const int left = GutterWidth + 3 * m_hexCharWidth * column - 2;
    const int top = rowTop + LineHeight * line;
    const int right = std::min(left + 2 * m_hexCharWidth + 8, GutterWidth + m_hexAreaWidth);
    return QRect(left, top, right - left, LineHeight + 1);
}

QRect LogLayout::charRect(int column, int line, int rowTop) const
{
    const int hexEnd = GutterWidth + m_hexAreaWidth;
    const int left = hexEnd + m_charCellWidth * column + 1;
    const int top = rowTop + LineHeight * line;
    const int right = std::min(left + m_charCellWidth + 2, hexEnd + m_charAreaWidth);
    return QRect(left, top, right - left, LineHeight + 1);
}

QString LogLayout::hintLabel(qint64 index, qint64 byteCount)
{
    switch (index) {
    case 0:
        return u"PRE"_s;
    case 1:
        return u"FRM"_s;
    case 2:
        return u"LEN <hi>"_s;
    case 3:
        return u"LEN <lo>"_s;
    case 4:
        return u"ADR"_s;
    case 5:
        return u"SIG"_s;
    case 6:
        return u"INST"_s;
    default:
        break;
    }
    if (index < byteCount - 2)
        return u"DATA [%1]"_s.arg(index - 6);
    if (index == byteCount - 2)
        return u"SUM"_s;
    if (index == byteCount - 1)
        return u"CR"_s;
    return QString();
}

QString LogLayout::hintText(qint64 index, qint64 byteCount, quint8 value)
{
    return hintLabel(index, byteCount) + u"\n\nDEC: "_s + QString::number(value) + u"\nHEX: "_s +
           u"%1"_s.arg(value, 2, 16, QLatin1Char('0')).toUpper() + u"\nBIN: "_s + ByteToBin(value);
}
