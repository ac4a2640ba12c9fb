#include "chunkqueue.h"

std::span<char> TChunkQueue::room(std::size_t minimum)
{
    if (!m_region || m_region->size() - m_regionUsed < minimum) {
        m_region = std::make_shared<TMappedRegion>(std::max(minimum, RegionSize));
        m_regionUsed = 0;
    }
    return {m_region->data() + m_regionUsed, m_region->size() - m_regionUsed};
}

bool TChunkQueue::commit(quint64 generation, std::size_t count)
{
    if (count == 0)
        return false;
    Piece piece{m_region, m_region->data() + m_regionUsed, count};
    m_regionUsed += count;
    std::lock_guard lock(m_mutex);
    if (generation != m_generation)
        return false;
    const bool wasEmpty = m_pieces.empty();
    m_pieces.push_back(std::move(piece));
    m_pending += count;
    m_bytesCommitted.fetch_add(count, std::memory_order_relaxed);
    return wasEmpty;
}

QByteArray TChunkQueue::take(qsizetype maxBytes)
{
    std::shared_ptr<TMappedRegion> done;
    std::lock_guard lock(m_mutex);
    if (m_pieces.empty())
        return {};
    Piece &piece = m_pieces.front();
    const std::size_t count = std::min(piece.size, std::size_t(maxBytes));
    QByteArray bytes(piece.data, qsizetype(count));
    piece.data += count;
    piece.size -= count;
    m_pending -= count;
    if (piece.size == 0) {
        // The region may go back to the system: after the lock is let go.
        done = std::move(piece.region);
        m_pieces.pop_front();
    }
    return bytes;
}

bool TChunkQueue::hasRoom()
{
    std::lock_guard lock(m_mutex);
    m_readerWaiting = m_pending >= m_limit;
    return !m_readerWaiting;
}

bool TChunkQueue::readerMayResume()
{
    std::lock_guard lock(m_mutex);
    if (!m_readerWaiting || m_pending > m_limit / 2)
        return false;
    m_readerWaiting = false;
    return true;
}

bool TChunkQueue::isEmpty() const
{
    std::lock_guard lock(m_mutex);
    return m_pieces.empty();
}

void TChunkQueue::restart(quint64 generation)
{
    std::deque<Piece> dropped;
    std::lock_guard lock(m_mutex);
    m_generation = generation;
    dropped.swap(m_pieces);
    m_pending = 0;
    m_readerWaiting = false;
    m_bytesCommitted.store(0, std::memory_order_relaxed);
}
