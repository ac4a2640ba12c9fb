#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The one 8-bit code page (Windows-1250, Central European) through which
// every typed character becomes a byte and every byte becomes a shown
// character. The five codes the code page leaves unassigned show as the C1
// control characters of the same value, so all 256 bytes survive a round trip.
namespace CodePage {

// The character shown for a byte.
[[nodiscard]] QChar toChar(quint8 byte) noexcept;

// The byte typed for a character; characters the code page cannot hold
// become '?'.
[[nodiscard]] char toByte(char32_t codePoint) noexcept;

[[nodiscard]] QString toText(QByteArrayView bytes);

// One byte per character; a character outside the code page (also one
// written as a surrogate pair) becomes a single '?'.
[[nodiscard]] QByteArray fromText(QStringView text);

} // namespace CodePage
