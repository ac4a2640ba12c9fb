#pragma once

#include <QByteArrayView>

// Format-97 frames: "*", 97, LEN (big endian, count of the bytes after it),
// ADR, SIG, INST, data, SUM, CR.
namespace Frame97 {
constexpr char Prefix = '*';
constexpr quint8 Format = 97;
constexpr quint8 CarriageReturn = 13;
constexpr int MinimumLength = 8;
constexpr int MaximumLength = 65535;
} // namespace Frame97

// The frame checksum: 255 minus the 8-bit sum of the bytes.
[[nodiscard]] quint8 FrameChecksum(QByteArrayView bytes) noexcept;

// Validation result codes, in the order the checks run: the first failing
// check decides.
enum Frame97Fault : quint8
{
    Frame97Ok = 0,
    Frame97TooShort = 1,
    Frame97BadPrefix = 2,
    Frame97BadFormat = 3,
    Frame97BadLength = 4,
    Frame97BadChecksum = 5,
    Frame97BadTerminator = 6,
};

// 0 for a correct format-97 frame, else the code of the first fault.
[[nodiscard]] quint8 ValidateFrame97(QByteArrayView frame) noexcept;
