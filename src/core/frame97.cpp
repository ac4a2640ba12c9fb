#include "frame97.h"

quint8 FrameChecksum(QByteArrayView bytes) noexcept
{
    quint8 sum = 0;
    for (char byte : bytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(byte));
    return static_cast<quint8>(0xFF - sum);
}

quint8 ValidateFrame97(QByteArrayView frame) noexcept
{
    const qsizetype n = frame.size();
    if (n < Frame97::MinimumLength)
        return Frame97TooShort;
    const auto at = [&](qsizetype i) { return static_cast<quint8>(frame[i]); };
    if (frame[0] != Frame97::Prefix)
        return Frame97BadPrefix;
    if (at(1) != Frame97::Format)
        return Frame97BadFormat;
    if (at(2) * 256 + at(3) != n - 4)
        return Frame97BadLength;
    if (at(n - 2) != FrameChecksum(frame.first(n - 2)))
        return Frame97BadChecksum;
    if (at(n - 1) != Frame97::CarriageReturn)
        return Frame97BadTerminator;
    return Frame97Ok;
}
