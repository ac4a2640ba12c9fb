#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Hex text: two hexadecimal digits per byte, no separators; written in upper
// case, read in either case.
[[nodiscard]] QString BytesToHex(QByteArrayView bytes);

// Writes the hex text of the bytes to out (2 * bytes.size() characters) and
// returns the position after it.
char *WriteHex(char *out, QByteArrayView bytes) noexcept;

// Reads hex text; a trailing odd character is ignored. Throws
// ConversionError for a pair that is not hexadecimal.
[[nodiscard]] QByteArray HexToBytes(QStringView text);
[[nodiscard]] QByteArray HexToBytes(QByteArrayView asciiText);

// The eight bits from the most significant, in two groups of four: 0010 1010.
[[nodiscard]] QString ByteToBin(quint8 byte);
