#include "tarvelparser.h"

#include "capturefilewriter.h"
#include "core/frame97.h"

#include <cstring>

namespace {
constexpr char CarriageReturn = 13;
// Buffers shorter than this are never cut: they wait for more bytes.
constexpr qsizetype MinimumCutLength = 5;
constexpr qsizetype KeptCapacity = 1 << 20;

bool isThermometerLine(QByteArrayView b, qsizetype crPosition)
{
    const qsizetype p = crPosition;
    return p >= 7 && (b[p - 7] == '+' || b[p - 7] == '-') && b[p - 3] == '.' && b[p - 1] == 'C';
}
} // namespace

void TTarvelParser::PendingBuffer::consume(qsizetype count)
{
    m_offset += quint64(count);
    m_head += count;
    m_noCarriageReturnBefore = std::max<qsizetype>(0, m_noCarriageReturnBefore - count);
    if (m_head == m_bytes.size()) {
        clear();
    } else if (m_head > m_bytes.size() / 2) {
        // Moving the rest down only when it is the smaller half keeps cutting
        // many datagrams off one hand-over linear.
        m_bytes.remove(0, m_head);
        m_head = 0;
    }
}

void TTarvelParser::PendingBuffer::clear()
{
    m_offset += quint64(m_bytes.size() - m_head);
    if (m_bytes.capacity() > KeptCapacity)
        m_bytes = QByteArray();
    else
        m_bytes.resize(0);
    m_head = 0;
    m_noCarriageReturnBefore = 0;
}

qsizetype TTarvelParser::PendingBuffer::firstCarriageReturn()
{
    const QByteArrayView b = bytes();
    const qsizetype from = m_noCarriageReturnBefore;
    const void *found = std::memchr(b.data() + from, CarriageReturn, std::size_t(b.size() - from));
    if (!found) {
        m_noCarriageReturnBefore = b.size();
        return -1;
    }
    m_noCarriageReturnBefore = static_cast<const char *>(found) - b.data();
    return m_noCarriageReturnBefore;
}

TTarvelParser::TTarvelParser(std::shared_ptr<DatagramStore> store) : m_capture(std::move(store)) {}

QByteArrayView TTarvelParser::pending(Direction direction) const
{
    return m_pending[std::size_t(direction)].bytes();
}

quint64 TTarvelParser::pendingOffset(Direction direction) const
{
    return m_pending[std::size_t(direction)].offset();
}

TTarvelParser::Cut TTarvelParser::cutStep(PendingBuffer &buffer)
{
    const QByteArrayView b = buffer.bytes();
    const qsizetype n = b.size();
    if (n < MinimumCutLength)
        return {};
    const auto second = static_cast<quint8>(b[1]);
    if (second >= 1 && second <= 96) {
        // Line rule; without a CR the thermometer rule cannot match either.
        const qsizetype cr = buffer.firstCarriageReturn();
        return cr < 0 ? Cut{} : Cut{cr + 1, true};
    }
    if (second >= Frame97::Format) {
        const qsizetype total = static_cast<quint8>(b[2]) * 256 + static_cast<quint8>(b[3]) + 4;
        if (n >= total)
            return Cut{total, ValidateFrame97(b.first(total)) == Frame97Ok};
    }
    const qsizetype cr = buffer.firstCarriageReturn();
    if (cr >= 0 && isThermometerLine(b, cr))
        return Cut{cr + 1, true};
    return {};
}

void TTarvelParser::emitDatagram(PendingBuffer &buffer, Direction direction, Cut cut)
{
    const DatagramStore::Index index =
        m_capture.store()->append(direction, buffer.bytes().first(cut.length), cut.valid);
    buffer.consume(cut.length);
    if (onPacket)
        onPacket(m_capture.store()->at(index));
}

void TTarvelParser::ProcessData(QByteArrayView data, Direction direction, bool force)
{
    if (data.isEmpty() && (!force || direction == Direction::Tx))
        return;
    PendingBuffer &pending = buffer(direction);
    pending.append(data);
    if (force) {
        const QByteArrayView whole = pending.bytes();
        if (!whole.isEmpty())
            emitDatagram(pending, direction,
                         Cut{whole.size(), ValidateFrame97(whole) == Frame97Ok});
    } else {
        for (Cut cut = cutStep(pending); cut.length > 0; cut = cutStep(pending))
            emitDatagram(pending, direction, cut);
    }
    if (onBufferChange)
        onBufferChange(pending.bytes(), direction);
}

void TTarvelParser::Clear()
{
    for (PendingBuffer &pending : m_pending)
        pending.clear();
    m_capture.clear();
}

void TTarvelParser::SaveToFile(const QString &fileName) const
{
    WriteCaptureFile(fileName, m_capture);
}
