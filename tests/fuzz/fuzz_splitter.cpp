// Fuzz target for the datagram splitter. The input describes hand-overs:
//
//   byte 0          count of control bytes that follow (low 4 bits, 0..15)
//   control bytes   one per hand-over, used in turn and again from the first
//                   until the payload is used up:
//                     bit 0     direction (0 Rx, 1 Tx)
//                     bit 1     force
//                     bits 2-7  length: 0..61 bytes, 62 clears the parser
//                               instead, 63 takes all the rest
//   payload         the bytes handed over, in order
//
// Without control bytes the whole payload is one Rx hand-over. A round of
// controls that hands nothing over also passes the rest as one Rx hand-over.
//
// Checked throughout: no byte is lost, duplicated or reordered (per direction
// the datagrams cut and then the pending buffer are exactly the bytes handed
// over), datagrams are non-empty and of the direction handed over, events
// come in order, and the capture keeps exactly the datagrams announced.

#include "capture/tarvelparser.h"
#include "core/frame97.h"
#include "fuzzcheck.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

struct Copy
{
    Direction direction;
    QByteArray data;
    bool valid;
};

struct Model
{
    // Per direction: all bytes handed over since the last clear, and how many
    // of them have left in datagrams.
    std::array<QByteArray, 2> handed;
    std::array<qsizetype, 2> cut{};
    std::vector<Copy> datagrams;

    // The current hand-over.
    Direction direction = Direction::Rx;
    int bufferChanges = 0;
};

constexpr int ClearCode = 62;
constexpr int RestCode = 63;

void checkPending(const TTarvelParser &parser, const Model &model)
{
    for (const Direction direction : {Direction::Rx, Direction::Tx}) {
        const auto d = std::size_t(direction);
        const QByteArray &handed = model.handed[d];
        FUZZ_CHECK(model.cut[d] <= handed.size());
        FUZZ_CHECK(parser.pending(direction) == QByteArrayView(handed).sliced(model.cut[d]));
    }
}

void handOver(TTarvelParser &parser, Model &model, QByteArrayView data, Direction direction,
              bool force)
{
    const bool ignored = data.isEmpty() && (!force || direction == Direction::Tx);
    const std::size_t datagramsBefore = model.datagrams.size();
    const qsizetype pendingBefore = parser.pending(direction).size();
    model.direction = direction;
    model.bufferChanges = 0;
    model.handed[std::size_t(direction)].append(data);

    parser.ProcessData(data, direction, force);

    FUZZ_CHECK(model.bufferChanges == (ignored ? 0 : 1));
    if (ignored)
        FUZZ_CHECK(model.datagrams.size() == datagramsBefore);
    // A forced hand-over makes all it has one datagram and leaves nothing.
    if (force && !ignored) {
        FUZZ_CHECK(parser.pending(direction).isEmpty());
        const bool any = pendingBefore + data.size() > 0;
        FUZZ_CHECK(model.datagrams.size() == datagramsBefore + (any ? 1 : 0));
    }
    checkPending(parser, model);
}

void checkCapture(const TTarvelParser &parser, const Model &model)
{
    const DatagramRange &capture = parser.capture();
    FUZZ_CHECK(capture.size() == model.datagrams.size());
    for (std::size_t i = 0; i < model.datagrams.size(); ++i) {
        const Datagram datagram = capture.at(i);
        const Copy &copy = model.datagrams[i];
        FUZZ_CHECK(datagram.direction == copy.direction);
        FUZZ_CHECK(datagram.valid == copy.valid);
        FUZZ_CHECK(datagram.data == copy.data);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(data, static_cast<qsizetype>(size));
    if (input.isEmpty())
        return 0;
    const qsizetype controlCount = std::min<qsizetype>(input[0] & 0x0F, input.size() - 1);
    const QByteArrayView controls = input.sliced(1, controlCount);
    QByteArrayView payload = input.sliced(1 + controlCount);

    TTarvelParser parser;
    Model model;

    parser.onPacket = [&](const Datagram &datagram) {
        // Datagrams come before the buffer event, in the direction handed over.
        FUZZ_CHECK(model.bufferChanges == 0);
        FUZZ_CHECK(datagram.direction == model.direction);
        FUZZ_CHECK(!datagram.data.isEmpty());
        // Frames and lines end in CR, so only such datagrams can be valid;
        // and a correct frame is always valid, however it was cut.
        if (datagram.valid)
            FUZZ_CHECK(datagram.data.back() == Frame97::CarriageReturn);
        if (ValidateFrame97(datagram.data) == Frame97Ok)
            FUZZ_CHECK(datagram.valid);
        // The datagram is the next run of bytes handed over in its direction.
        const auto d = std::size_t(datagram.direction);
        const QByteArray &handed = model.handed[d];
        FUZZ_CHECK(model.cut[d] + datagram.data.size() <= handed.size());
        FUZZ_CHECK(datagram.data ==
                   QByteArrayView(handed).sliced(model.cut[d], datagram.data.size()));
        model.cut[d] += datagram.data.size();
        model.datagrams.push_back(
            Copy{datagram.direction, datagram.data.toByteArray(), datagram.valid});
    };
    parser.onBufferChange = [&](QByteArrayView buffer, Direction direction) {
        ++model.bufferChanges;
        FUZZ_CHECK(direction == model.direction);
        FUZZ_CHECK(buffer == parser.pending(direction));
    };

    const auto takePayload = [&](qsizetype count) {
        const QByteArrayView taken = payload.first(std::min(count, payload.size()));
        payload = payload.sliced(taken.size());
        return taken;
    };

    if (controls.isEmpty())
        handOver(parser, model, takePayload(payload.size()), Direction::Rx, false);

    qsizetype roundStart = payload.size();
    for (qsizetype i = 0; !controls.isEmpty() && !payload.isEmpty(); ++i) {
        if (i % controls.size() == 0 && i > 0) {
            // A round that handed nothing over would repeat for ever.
            if (payload.size() == roundStart)
                handOver(parser, model, takePayload(payload.size()), Direction::Rx, false);
            roundStart = payload.size();
            if (payload.isEmpty())
                break;
        }
        const auto control = static_cast<quint8>(controls[i % controls.size()]);
        const Direction direction = (control & 1) ? Direction::Tx : Direction::Rx;
        const bool force = (control & 2) != 0;
        const int code = control >> 2;
        if (code == ClearCode) {
            checkCapture(parser, model);
            parser.Clear();
            model = Model{};
            FUZZ_CHECK(parser.capture().isEmpty());
            checkPending(parser, model);
            continue;
        }
        handOver(parser, model, takePayload(code == RestCode ? payload.size() : code), direction,
                 force);
    }
    checkCapture(parser, model);
    return 0;
}
