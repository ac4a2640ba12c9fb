#pragma once

#include "core/direction.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace pugi {
class xml_document;
}

class TTarvelParser;

// An XML data file opened for loading: the whole file parsed into a document
// that lives as long as the reader. Any layout is accepted and the root's name
// is not checked; only the root's direct `datagram` children count, with their
// `direction` and `data` attributes (`valid` is worked out again by whoever
// cuts the bytes).
class TCaptureFileReader
{
public:
    // Reads and parses the file. Throws AppError with the reason when the
    // file cannot be read, and with the parser's description and the byte
    // offset when it is not well-formed XML.
    explicit TCaptureFileReader(const QString &fileName);
    ~TCaptureFileReader();
    TCaptureFileReader(const TCaptureFileReader &) = delete;
    TCaptureFileReader &operator=(const TCaptureFileReader &) = delete;

    // The root's child nodes of every kind (elements, text, comments,
    // processing instructions): the length of a progress bar over HandOver.
    [[nodiscard]] qsizetype nodeCount() const { return m_nodeCount; }

    using Sink = std::function<void(QByteArrayView data, Direction direction)>;
    // Receives the number of steps taken so far.
    using Progress = std::function<void(qsizetype steps)>;

    // Hands the bytes of every `datagram` child to the sink, in document
    // order. A direction other than exactly "Rx" or "Tx" (missing, empty,
    // another case) skips the element; so do nodes of other names or kinds.
    // Each datagram handed over, an empty one included, is one step.
    //
    // Progress is reported at most once per interval, looking at the clock
    // only every few hundred nodes, and once more at the end. Throws
    // ConversionError at the first `data` pair that is not hexadecimal;
    // what was handed over before it stays handed over. Returns the steps.
    qsizetype HandOver(const Sink &sink, const Progress &progress = {},
                       std::chrono::milliseconds interval = std::chrono::milliseconds(50)) const;

    // Hands every datagram to the splitter without force, so that its rules
    // cut the bytes again.
    qsizetype HandOver(TTarvelParser &parser, const Progress &progress = {},
                       std::chrono::milliseconds interval = std::chrono::milliseconds(50)) const;

private:
    // The file's bytes; the document points into them.
    QByteArray m_bytes;
    std::unique_ptr<pugi::xml_document> m_document;
    qsizetype m_nodeCount = 0;
};
