#include "datagramstore.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t EntriesPerChunk = 1024;
constexpr std::size_t BlockSize = 256 << 10;
// Datagrams larger than this get a block of their own, so that the unused
// tail of a shared block stays small beside its size.
constexpr std::size_t LargeDatagram = BlockSize / 16;

constexpr quint8 TxFlag = 1;
constexpr quint8 ValidFlag = 2;
} // namespace

DatagramStore::DatagramStore() = default;
DatagramStore::~DatagramStore() = default;

char *DatagramStore::allocate(std::size_t length)
{
    if (length == 0)
        return nullptr;
    const bool fitsLastBlock =
        !m_blocks.empty() && m_blocks.back().size - m_blocks.back().used >= length;
    if (!fitsLastBlock) {
        Storage storage;
        std::size_t size = BlockSize;
        if (length > LargeDatagram) {
            size = length;
            storage.own = std::make_unique_for_overwrite<char[]>(size);
        } else {
            storage.piece = m_carver.carve(size);
        }
        char *bytes = storage.data();
        m_blocks.push_back(Block{std::move(storage), bytes, size, 0, m_end});
    }
    Block &block = m_blocks.back();
    char *out = block.bytes + block.used;
    block.used += length;
    block.lastUser = m_end;
    return out;
}

void DatagramStore::pushEntryChunk()
{
    TRegionCarver::Piece piece = m_carver.carve(EntriesPerChunk * sizeof(Entry));
    m_entryChunks.push_back(reinterpret_cast<Entry *>(piece.data));
    m_entryRegions.push_back(std::move(piece.region));
}

void DatagramStore::popEntryChunk()
{
    m_entryChunks.pop_front();
    m_entryRegions.pop_front();
}

DatagramStore::Index DatagramStore::append(Direction direction, QByteArrayView data, bool valid)
{
    const std::size_t slot = m_end % EntriesPerChunk;
    if (slot == 0)
        pushEntryChunk();
    const auto length = static_cast<std::size_t>(data.size());
    char *bytes = allocate(length);
    if (length)
        std::memcpy(bytes, data.data(), length);
    Entry &entry = m_entryChunks.back()[slot];
    entry.data = bytes;
    entry.lengthLow = static_cast<quint32>(length);
    entry.lengthHigh = static_cast<quint16>(static_cast<quint64>(length) >> 32);
    entry.flags = quint8((direction == Direction::Tx ? TxFlag : 0) | (valid ? ValidFlag : 0));
    entry.spare = 0;
    return m_end++;
}

Datagram DatagramStore::at(Index index) const
{
    Q_ASSERT(index >= m_first && index < m_end);
    const Index firstInChunks = m_first - m_first % EntriesPerChunk;
    const Index offset = index - firstInChunks;
    const Entry &entry = m_entryChunks[offset / EntriesPerChunk][offset % EntriesPerChunk];
    const qsizetype length = qsizetype((quint64(entry.lengthHigh) << 32) | entry.lengthLow);
    return Datagram{(entry.flags & TxFlag) ? Direction::Tx : Direction::Rx,
                    QByteArrayView(entry.data, length), (entry.flags & ValidFlag) != 0};
}

std::size_t DatagramStore::memoryUsage() const
{
    std::size_t total = m_entryChunks.size() * EntriesPerChunk * sizeof(Entry);
    for (const Block &block : m_blocks)
        total += block.size;
    return total;
}

void DatagramStore::registerRange(DatagramRange *range)
{
    m_ranges.push_back(range);
}

void DatagramStore::unregisterRange(DatagramRange *range)
{
    std::erase(m_ranges, range);
    releaseUnreferenced();
}

void DatagramStore::releaseUnreferenced()
{
    Index keepFrom = m_end;
    for (const DatagramRange *range : m_ranges)
        keepFrom = std::min(keepFrom, range->begin());
    if (keepFrom <= m_first)
        return;

    // Blocks are filled in order, so their last users rise along the deque.
    while (!m_blocks.empty() && m_blocks.front().lastUser < keepFrom)
        m_blocks.pop_front();
    // Whole chunks of entries before keepFrom go; a partly used chunk stays.
    const Index firstInChunks = m_first - m_first % EntriesPerChunk;
    const Index keepChunkStart = keepFrom - keepFrom % EntriesPerChunk;
    for (Index chunk = firstInChunks; chunk < keepChunkStart; chunk += EntriesPerChunk)
        popEntryChunk();
    m_first = keepFrom;
}

DatagramRange::DatagramRange(std::shared_ptr<DatagramStore> store)
    : m_store(std::move(store)), m_begin(m_store->end())
{
    m_store->registerRange(this);
}

DatagramRange::~DatagramRange()
{
    m_store->unregisterRange(this);
}

void DatagramRange::clear()
{
    m_begin = m_store->end();
    m_store->releaseUnreferenced();
}
