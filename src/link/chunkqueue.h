#pragma once

#include "core/mappedregion.h"

#include <QByteArray>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <span>

// Hands the bytes of a link from the thread that reads them to the thread
// that processes them, first in first out. The reading thread writes
// straight into large regions of memory (see TMappedRegion), which go back
// to the system once every byte in them has been taken.
//
// Each connection has a generation: once the queue has moved on to a later
// one, bytes still coming from an earlier connection are dropped.
//
// The queue holds at most `limit` bytes: beyond that the reader stops taking
// bytes off the link (the link's own flow control then holds the peer back)
// until the consumer has taken the queue down to half of it.
class TChunkQueue
{
public:
    explicit TChunkQueue(std::size_t limit) : m_limit(limit) {}

    // The reading side, one thread: room at the tail for at least `minimum`
    // bytes, then the bytes written there are committed.
    [[nodiscard]] std::span<char> room(std::size_t minimum);
    // True when the queue was empty before: only then does the consumer
    // need waking up.
    bool commit(quint64 generation, std::size_t count);

    // The reading side, before it reads: false when the queue is full; the
    // reader then waits until readerMayResume() wakes it.
    [[nodiscard]] bool hasRoom();

    // The consuming side: a copy of at most `maxBytes` of the oldest bytes,
    // or an empty array.
    [[nodiscard]] QByteArray take(qsizetype maxBytes);
    [[nodiscard]] bool isEmpty() const;
    // True, once, when a reader waiting for room may read again.
    [[nodiscard]] bool readerMayResume();
    // Drops what is queued and accepts bytes of `generation` only.
    void restart(quint64 generation);

    // Bytes committed since the last restart; readable from any thread.
    [[nodiscard]] quint64 bytesCommitted() const
    {
        return m_bytesCommitted.load(std::memory_order_relaxed);
    }

    static constexpr std::size_t RegionSize = TMappedRegion::Step;

private:
    struct Piece
    {
        std::shared_ptr<TMappedRegion> region;
        const char *data;
        std::size_t size;
    };

    // Touched by the reading thread only.
    std::shared_ptr<TMappedRegion> m_region;
    std::size_t m_regionUsed = 0;

    mutable std::mutex m_mutex;
    std::deque<Piece> m_pieces;
    quint64 m_generation = 0;
    std::atomic<quint64> m_bytesCommitted = 0;
    const std::size_t m_limit;
    std::size_t m_pending = 0;
    bool m_readerWaiting = false;
};
