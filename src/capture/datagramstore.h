#pragma once

#include "core/regioncarver.h"
#include "datagram.h"

#include <deque>
#include <memory>
#include <vector>

class DatagramRange;

// Append-only storage of datagrams, shared by the capture and the log so
// that each datagram's bytes are kept once. A datagram costs its own bytes
// plus a 16-byte entry; entries and bytes live in large blocks, which are
// freed once no DatagramRange reaches back to them.
class DatagramStore
{
public:
    using Index = quint64;

    DatagramStore();
    ~DatagramStore();
    DatagramStore(const DatagramStore &) = delete;
    DatagramStore &operator=(const DatagramStore &) = delete;

    Index append(Direction direction, QByteArrayView data, bool valid);

    // The datagram at an index from first() up to end().
    [[nodiscard]] Datagram at(Index index) const;
    [[nodiscard]] Index first() const { return m_first; }
    [[nodiscard]] Index end() const { return m_end; }

    // Bytes allocated for entries and datagram bytes.
    [[nodiscard]] std::size_t memoryUsage() const;

private:
    friend class DatagramRange;

    struct Entry
    {
        const char *data;
        quint32 lengthLow;
        quint16 lengthHigh;
        quint8 flags;
        quint8 spare;
    };
    static_assert(sizeof(Entry) == 16);

    // Memory of a block: a piece of a shared region, or for a large
    // datagram an allocation of its own.
    struct Storage
    {
        TRegionCarver::Piece piece;
        std::unique_ptr<char[]> own;
        [[nodiscard]] char *data() const { return own ? own.get() : piece.data; }
    };

    struct Block
    {
        Storage storage;
        char *bytes;
        std::size_t size;
        std::size_t used;
        Index lastUser;
    };

    char *allocate(std::size_t length);
    void pushEntryChunk();
    void popEntryChunk();
    void registerRange(DatagramRange *range);
    void unregisterRange(DatagramRange *range);
    void releaseUnreferenced();

    TRegionCarver m_carver;
    // The chunks of entries, and apart from them (so that finding a chunk
    // stays a cheap lookup) the regions that hold them.
    std::deque<Entry *> m_entryChunks;
    std::deque<std::shared_ptr<TMappedRegion>> m_entryRegions;
    std::deque<Block> m_blocks;
    std::vector<DatagramRange *> m_ranges;
    Index m_first = 0;
    Index m_end = 0;
};

// The datagrams of a store from a starting point to its end. While it
// exists, the store keeps those datagrams; clear() lets them go.
class DatagramRange
{
public:
    explicit DatagramRange(std::shared_ptr<DatagramStore> store);
    ~DatagramRange();
    DatagramRange(const DatagramRange &) = delete;
    DatagramRange &operator=(const DatagramRange &) = delete;

    [[nodiscard]] quint64 size() const { return m_store->end() - m_begin; }
    [[nodiscard]] bool isEmpty() const { return size() == 0; }
    // The i-th datagram of the range, counted from 0.
    [[nodiscard]] Datagram at(quint64 i) const { return m_store->at(m_begin + i); }
    // Starts the range afresh at the store's end.
    void clear();

    [[nodiscard]] DatagramStore::Index begin() const { return m_begin; }
    [[nodiscard]] const std::shared_ptr<DatagramStore> &store() const { return m_store; }

private:
    std::shared_ptr<DatagramStore> m_store;
    DatagramStore::Index m_begin;
};
