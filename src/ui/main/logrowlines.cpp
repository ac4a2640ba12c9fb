#include "logrowlines.h"

quint64 LogRowLines::rowAtLine(quint64 line) const
{
    // The first row whose end lies below the line.
    quint64 low = 0;
    quint64 high = m_size;
    while (low < high) {
        const quint64 middle = low + (high - low) / 2;
        if (endOf(middle) > line)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void LogRowLines::append(quint64 lines)
{
    const quint64 total = totalLines() + lines;
    if (m_size % ChunkSize == 0)
        m_chunks.push_back(m_carver.carve(ChunkSize * sizeof(quint64)));
    chunkData(m_chunks.size() - 1)[m_size % ChunkSize] = total;
    ++m_size;
}

void LogRowLines::clear()
{
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    // Lets the last region go as well.
    m_carver = TRegionCarver();
    m_size = 0;
}

std::size_t LogRowLines::memoryUsage() const
{
    return m_chunks.capacity() * sizeof(m_chunks[0]) +
           m_chunks.size() * ChunkSize * sizeof(quint64);
}
