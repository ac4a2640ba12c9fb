#include "capturefilereader.h"

#include "core/apperror.h"
#include "core/byteformat.h"
#include "tarvelparser.h"

#include <QFile>

#include <pugixml.hpp>

#include <cstring>

namespace {

// Comments and processing instructions are kept so that the node count
// covers every kind of child; whitespace between elements is layout only.
constexpr unsigned ParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;

// The clock is read once per this many nodes.
constexpr qsizetype NodesPerClockCheck = 256;

// The direction named exactly "Rx" or "Tx"; anything else is not one.
bool readDirection(const char *text, Direction &direction)
{
    if (std::strcmp(text, "Rx") == 0)
        direction = Direction::Rx;
    else if (std::strcmp(text, "Tx") == 0)
        direction = Direction::Tx;
    else
        return false;
    return true;
}

// Hex text counts in characters. The attribute is UTF-8: plain ASCII is read
// as it is, anything else as characters so that the pairs fall where they
// fall in the text and an error names the characters themselves.
QByteArray decodeHex(const char *text)
{
    const std::size_t length = std::strlen(text);
    unsigned char highBits = 0;
    for (std::size_t i = 0; i < length; ++i)
        highBits |= static_cast<unsigned char>(text[i]);
    if (highBits < 0x80)
        return HexToBytes(QByteArrayView(text, qsizetype(length)));
    return HexToBytes(QStringView(QString::fromUtf8(text, qsizetype(length))));
}

} // namespace

TCaptureFileReader::TCaptureFileReader(const QString &fileName)
    : m_document(std::make_unique<pugi::xml_document>())
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        m_bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(
            QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
    file.close();

    // Parsed in place: the document's texts point into m_bytes.
    const pugi::xml_parse_result result =
        m_document->load_buffer_inplace(m_bytes.data(), std::size_t(m_bytes.size()), ParseOptions);
    if (!result)
        throw AppError(QStringLiteral("Cannot parse file \"%1\". %2 at offset %3.")
                           .arg(fileName, QString::fromUtf8(result.description()))
                           .arg(qint64(result.offset)));

    for (pugi::xml_node node = m_document->document_element().first_child(); node;
         node = node.next_sibling())
        ++m_nodeCount;
}

TCaptureFileReader::~TCaptureFileReader() = default;

qsizetype TCaptureFileReader::HandOver(const Sink &sink, const Progress &progress,
                                       std::chrono::milliseconds interval) const
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextReport = Clock::now() + interval;
    qsizetype steps = 0;
    qsizetype untilClockCheck = NodesPerClockCheck;

    for (pugi::xml_node node = m_document->document_element().first_child(); node;
         node = node.next_sibling()) {
        if (progress && --untilClockCheck == 0) {
            untilClockCheck = NodesPerClockCheck;
            if (const Clock::time_point now = Clock::now(); now >= nextReport) {
                progress(steps);
                nextReport = now + interval;
            }
        }
        if (node.type() != pugi::node_element || std::strcmp(node.name(), "datagram") != 0)
            continue;
        Direction direction;
        if (!readDirection(node.attribute("direction").value(), direction))
            continue;
        const QByteArray bytes = decodeHex(node.attribute("data").value());
        sink(bytes, direction);
        ++steps;
    }
    if (progress)
        progress(steps);
    return steps;
}

qsizetype TCaptureFileReader::HandOver(TTarvelParser &parser, const Progress &progress,
                                       std::chrono::milliseconds interval) const
{
    return HandOver([&parser](QByteArrayView data,
                              Direction direction) { parser.ProcessData(data, direction, false); },
                    progress, interval);
}
