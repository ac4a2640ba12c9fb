#pragma once

#include "core/regioncarver.h"

#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <vector>

// Where each row of the log view starts and ends, counted in 16-pixel lines
// from the top of the log: a running sum of the row heights, so that finding
// the row at a line is a binary search. Eight bytes per row, kept in chunks
// so that growing never moves what is already stored; the chunks are cut
// from huge-page regions, so that a growing log faults in few pages.
class LogRowLines
{
public:
    [[nodiscard]] quint64 size() const { return m_size; }
    [[nodiscard]] bool isEmpty() const { return m_size == 0; }
    [[nodiscard]] quint64 totalLines() const { return m_size ? endOf(m_size - 1) : 0; }

    // First line of a row, and the line after its last.
    [[nodiscard]] quint64 firstLine(quint64 row) const { return row ? endOf(row - 1) : 0; }
    [[nodiscard]] quint64 endLine(quint64 row) const { return endOf(row); }
    [[nodiscard]] quint64 lineCount(quint64 row) const { return endLine(row) - firstLine(row); }

    // The row that covers a line, or size() for a line below the last row.
    [[nodiscard]] quint64 rowAtLine(quint64 line) const;

    void append(quint64 lines);
    void clear();

    // Measures every row again, in one pass over the stored sums.
    template <typename LinesOfRow>
    void remeasure(LinesOfRow linesOfRow)
    {
        quint64 total = 0;
        quint64 row = 0;
        for (std::size_t c = 0; c < m_chunks.size(); ++c) {
            quint64 *chunk = chunkData(c);
            const quint64 count = std::min<quint64>(ChunkSize, m_size - row);
            for (quint64 i = 0; i < count; ++i, ++row) {
                total += linesOfRow(row);
                chunk[i] = total;
            }
        }
    }

    // Bytes held for the sums.
    [[nodiscard]] std::size_t memoryUsage() const;

private:
    static constexpr quint64 ChunkSize = 8192;

    [[nodiscard]] quint64 endOf(quint64 row) const
    {
        return chunkData(row / ChunkSize)[row % ChunkSize];
    }
    [[nodiscard]] quint64 *chunkData(std::size_t chunk) const
    {
        return reinterpret_cast<quint64 *>(m_chunks[chunk].data);
    }

    TRegionCarver m_carver;
    std::vector<TRegionCarver::Piece> m_chunks;
    quint64 m_size = 0;
};
