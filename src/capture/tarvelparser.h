#pragma once

#include "datagramstore.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <memory>

// Cuts the byte streams of both directions into datagrams: lines ending in
// CR, format-97 frames measured by their length field, and thermometer lines
// such as "+025.3C" CR. Bytes that form no datagram yet wait in a pending
// buffer of their direction; a forced hand-over makes the whole buffer one
// datagram. Every datagram is kept in the capture and announced by onPacket.
class TTarvelParser
{
public:
    explicit TTarvelParser(
        std::shared_ptr<DatagramStore> store = std::make_shared<DatagramStore>());

    // Hands bytes of one direction over. Handlers run before this returns:
    // onPacket once per datagram cut, then onBufferChange once.
    void ProcessData(QByteArrayView data, Direction direction, bool force);

    // Empties both pending buffers and the capture, without events.
    void Clear();

    // Writes the capture as an XML data file, atomically. Throws AppError
    // when the file cannot be written.
    void SaveToFile(const QString &fileName) const;

    // The datagrams cut since the start or the last Clear.
    [[nodiscard]] const DatagramRange &capture() const { return m_capture; }
    [[nodiscard]] QByteArrayView pending(Direction direction) const;
    // How many bytes of the direction have left its pending buffer so far
    // (cut, flushed or cleared): the stream position of the buffer's first
    // byte. Lets a display append what is new instead of redrawing it all.
    [[nodiscard]] quint64 pendingOffset(Direction direction) const;

    // The new datagram; its bytes stay valid while the capture holds it.
    std::function<void(const Datagram &datagram)> onPacket;
    // The whole pending buffer of the direction just handed over, possibly
    // empty; a view, valid until the next hand-over.
    std::function<void(QByteArrayView buffer, Direction direction)> onBufferChange;

private:
    class PendingBuffer
    {
    public:
        [[nodiscard]] QByteArrayView bytes() const
        {
            return QByteArrayView(m_bytes).sliced(m_head);
        }
        void append(QByteArrayView data) { m_bytes.append(data); }
        void consume(qsizetype count);
        void clear();
        [[nodiscard]] quint64 offset() const { return m_offset; }
        // Position of the first CR, remembering how far it has looked so that
        // a buffer growing a byte at a time is never searched again.
        [[nodiscard]] qsizetype firstCarriageReturn();

    private:
        QByteArray m_bytes;
        qsizetype m_head = 0;
        qsizetype m_noCarriageReturnBefore = 0;
        quint64 m_offset = 0;
    };

    struct Cut
    {
        qsizetype length = 0;
        bool valid = false;
    };

    [[nodiscard]] static Cut cutStep(PendingBuffer &buffer);
    void emitDatagram(PendingBuffer &buffer, Direction direction, Cut cut);
    PendingBuffer &buffer(Direction direction) { return m_pending[std::size_t(direction)]; }

    DatagramRange m_capture;
    std::array<PendingBuffer, 2> m_pending;
};
