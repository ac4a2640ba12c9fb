// Fuzz target for the format-97 check. The input is validated as it is, and
// is also wrapped into a correct frame which then gets one byte changed: a
// single changed byte must always be caught, by the check that owns it.

#include "core/frame97.h"
#include "fuzzcheck.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

void checkAsGiven(QByteArrayView frame)
{
    const quint8 result = ValidateFrame97(frame);
    FUZZ_CHECK(result <= Frame97BadTerminator);
    FUZZ_CHECK((result == Frame97TooShort) == (frame.size() < Frame97::MinimumLength));
    if (result != Frame97Ok)
        return;
    const qsizetype n = frame.size();
    const auto at = [&](qsizetype i) { return static_cast<quint8>(frame[i]); };
    FUZZ_CHECK(frame[0] == Frame97::Prefix);
    FUZZ_CHECK(at(1) == Frame97::Format);
    FUZZ_CHECK(at(2) * 256 + at(3) == n - 4);
    FUZZ_CHECK(at(n - 1) == Frame97::CarriageReturn);
    FUZZ_CHECK(at(n - 2) == FrameChecksum(frame.first(n - 2)));
}

// "*", 97, LEN, the body, SUM, CR.
QByteArray wrap(QByteArrayView body)
{
    const qsizetype length = body.size() + 2;
    QByteArray frame;
    frame.reserve(body.size() + 6);
    frame.append(Frame97::Prefix);
    frame.append(static_cast<char>(Frame97::Format));
    frame.append(static_cast<char>(length >> 8));
    frame.append(static_cast<char>(length & 0xFF));
    frame.append(body);
    frame.append(static_cast<char>(FrameChecksum(frame)));
    frame.append(static_cast<char>(Frame97::CarriageReturn));
    return frame;
}

void checkChangedByte(QByteArrayView body)
{
    if (body.size() + 6 < Frame97::MinimumLength || body.size() + 6 > Frame97::MaximumLength)
        return;
    QByteArray frame = wrap(body);
    FUZZ_CHECK(ValidateFrame97(frame) == Frame97Ok);

    // The position and the change come from the body, so the fuzzer steers them.
    const qsizetype n = frame.size();
    quint32 seed = 0;
    for (char byte : body)
        seed = seed * 31 + static_cast<quint8>(byte);
    const qsizetype position = static_cast<qsizetype>(seed % quint32(n));
    const auto change = static_cast<char>((seed >> 16) % 255 + 1);
    frame[position] = static_cast<char>(frame[position] ^ change);

    quint8 expected = Frame97BadChecksum; // the body and the checksum itself
    if (position == 0)
        expected = Frame97BadPrefix;
    else if (position == 1)
        expected = Frame97BadFormat;
    else if (position <= 3)
        expected = Frame97BadLength;
    else if (position == n - 1)
        expected = Frame97BadTerminator;
    FUZZ_CHECK(ValidateFrame97(frame) == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > std::size_t(Frame97::MaximumLength))
        return 0;
    const QByteArrayView input(data, static_cast<qsizetype>(size));
    checkAsGiven(input);
    checkChangedByte(input);
    return 0;
}
