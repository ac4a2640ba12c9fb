#include "capturefilewriter.h"

#include "core/apperror.h"
#include "core/byteformat.h"
#include "datagramstore.h"

#include <QSaveFile>

#include <cstring>

namespace {

constexpr qsizetype FlushThreshold = 1 << 20;

class CaptureWriter
{
public:
    explicit CaptureWriter(const QString &fileName) : m_file(fileName)
    {
        if (!m_file.open(QIODevice::WriteOnly))
            fail();
        m_buffer.reserve(FlushThreshold * 2);
    }

    void append(std::string_view text) { m_buffer.append(text.data(), qsizetype(text.size())); }

    void appendHex(QByteArrayView bytes)
    {
        const qsizetype start = m_buffer.size();
        m_buffer.resize(start + 2 * bytes.size());
        WriteHex(m_buffer.data() + start, bytes);
    }

    void flushIfFull()
    {
        if (m_buffer.size() >= FlushThreshold)
            flush();
    }

    void commit()
    {
        flush();
        if (!m_file.commit())
            fail();
    }

private:
    void flush()
    {
        if (m_file.write(m_buffer) != m_buffer.size())
            fail();
        m_buffer.resize(0);
    }

    [[noreturn]] void fail()
    {
        const QString reason = m_file.errorString();
        m_file.cancelWriting();
        throw AppError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(m_file.fileName(), reason));
    }

    QSaveFile m_file;
    QByteArray m_buffer;
};

} // namespace

void WriteCaptureFile(const QString &fileName, const DatagramRange &datagrams)
{
    CaptureWriter writer(fileName);
    writer.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<data>");
    for (quint64 i = 0; i < datagrams.size(); ++i) {
        const Datagram datagram = datagrams.at(i);
        writer.append(datagram.direction == Direction::Rx ? "<datagram direction=\"Rx\" data=\""
                                                          : "<datagram direction=\"Tx\" data=\"");
        writer.appendHex(datagram.data);
        writer.append(datagram.valid ? "\" valid=\"True\"></datagram>"
                                     : "\" valid=\"False\"></datagram>");
        writer.flushIfFull();
    }
    writer.append("</data>\r\n");
    writer.commit();
}
