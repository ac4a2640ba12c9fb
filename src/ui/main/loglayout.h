#pragma once

#include <QDebug>
#include <QRect>
#include <QString>

#include <optional>

class QFont;

// The byte under the mouse in the log view. Row is the row index in the
// view, or -1 when the mouse is over no row; Shown tells whether the outline
// has been painted since the item was set.
struct TMouseCursorItem
{
    qint64 Index = 0;
    int Column = 0;
    int Line = 0;
    QRect HexRect;
    QRect CharRect;
    quint8 ByteValue = 0;
    qint64 Row = -1;
    bool Valid = false;
    bool Shown = false;

    friend bool operator==(const TMouseCursorItem &, const TMouseCursorItem &) = default;
};

QDebug operator<<(QDebug debug, const TMouseCursorItem &item);

// Where the pointer falls inside a row: the byte's position in the row's
// data, in its drawn line and the line within the row.
struct LogByteHit
{
    qint64 Index = 0;
    int Column = 0;
    int Line = 0;
    bool Valid = false;

    friend bool operator==(const LogByteHit &, const LogByteHit &) = default;
};

QDebug operator<<(QDebug debug, const LogByteHit &hit);

// Geometry of the log view, without any drawing: the column widths for a
// client width, the height of a row, the position of every byte and the byte
// under a point. Coordinates are the view's, x from its left edge; a row is
// given by the y of its top edge.
//
// Each byte takes three hex digit cells (two digits and a gap) in the hex
// column and one cell in the character column. A row is as high as a whole
// number of 16-pixel lines.
class LogLayout
{
public:
    static constexpr int GutterWidth = 35;
    static constexpr int LineHeight = 16;

    LogLayout() : LogLayout(7, 11) {}
    // A is the width of one hex digit cell, B of one character cell.
    LogLayout(int hexCharWidth, int charCellWidth);

    // The cell widths of a font: "_" and "W", each plus one pixel.
    [[nodiscard]] static LogLayout fromFont(const QFont &font);

    // Lays the columns out for the view's client width.
    void setClientWidth(int width);

    [[nodiscard]] int clientWidth() const { return m_clientWidth; }
    [[nodiscard]] int hexCharWidth() const { return m_hexCharWidth; }
    [[nodiscard]] int charCellWidth() const { return m_charCellWidth; }
    [[nodiscard]] int gutterWidth() const { return GutterWidth; }
    [[nodiscard]] int hexAreaWidth() const { return m_hexAreaWidth; }
    [[nodiscard]] int charAreaWidth() const { return m_charAreaWidth; }
    // How many bytes are drawn on one line of a row (at least one).
    [[nodiscard]] int bytesPerLine() const { return m_bytesPerLine; }

    // Lines drawn for a row of byteCount bytes.
    [[nodiscard]] qint64 drawnLineCount(qint64 byteCount) const;
    // Lines a row of byteCount bytes is high: the measure by hex digit cells,
    // which can leave an empty band under the last drawn line, but never
    // fewer lines than are drawn.
    [[nodiscard]] qint64 lineCount(qint64 byteCount) const;
    [[nodiscard]] qint64 rowHeight(qint64 byteCount) const
    {
        return lineCount(byteCount) * LineHeight;
    }

    // Left edge of the first digit of the byte in a column of its line, and
    // left edge of its character cell.
    [[nodiscard]] int hexX(int column) const
    {
        return 2 + GutterWidth + 3 * m_hexCharWidth * column;
    }
    [[nodiscard]] int charX(int column) const
    {
        return 2 + GutterWidth + m_hexAreaWidth + m_charCellWidth * column;
    }
    // Top edge of the text of a line of a row.
    [[nodiscard]] static int textY(int rowTop, int line) { return rowTop + 2 + LineHeight * line; }

    // The byte under a point of a row of byteCount bytes. Empty for a point
    // in the gutter or right of the character column, where the byte under
    // the mouse stays as it was.
    [[nodiscard]] std::optional<LogByteHit> byteAt(QPoint pos, int rowTop, qint64 byteCount) const;

    // The outlines around a byte's two hex digits and around its character.
    [[nodiscard]] QRect hexRect(int column, int line, int rowTop) const;
    [[nodiscard]] QRect charRect(int column, int line, int rowTop) const;

    // The field of a format-97 frame the byte at index stands in, whatever
    // the row really holds: "PRE", "FRM", ..., "DATA [1]", ..., "SUM", "CR".
    [[nodiscard]] static QString hintLabel(qint64 index, qint64 byteCount);
    // The byte hint: the label, an empty line and the value in decimal,
    // hexadecimal and binary, one per line.
    [[nodiscard]] static QString hintText(qint64 index, qint64 byteCount, quint8 value);

private:
    int m_hexCharWidth;
    int m_charCellWidth;
    int m_clientWidth = 0;
    int m_hexAreaWidth = 0;
    int m_charAreaWidth = 0;
    int m_bytesPerLine = 1;
};
