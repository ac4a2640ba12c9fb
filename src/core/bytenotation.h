#pragma once

#include <QByteArray>
#include <QString>

// The value ParseNumber returns for text that is not a number.
constexpr qint32 ParseNumberFailed = 0;

// A signed 32-bit number in decimal, or in hexadecimal when written with a
// leading "$", "0x" or "0X", or a trailing "h" or "H". Surrounding blanks are
// ignored. Text that is not a number beeps and gives ParseNumberFailed.
[[nodiscard]] qint32 ParseNumber(QStringView text);

// The brace notation of the send line and the packet editor: characters stand
// for themselves (one byte each, through the code page), and a group "{...}"
// holds comma-separated items: numbers (one byte), BYTE(n), WORD(n),
// LONGWORD(n) (big endian) and DALLAS(x) (x * 32 as a 16-bit value).
// A DALLAS value beyond the 32-bit range makes the whole result empty.
[[nodiscard]] QByteArray TextToBytes(QStringView text);
