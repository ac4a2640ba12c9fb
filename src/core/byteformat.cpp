#include "byteformat.h"

#include "apperror.h"

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int hexDigitValue(char32_t c) noexcept
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    return -1;
}

char32_t unit(QChar c)
{
    return c.unicode();
}

char32_t unit(char c)
{
    return static_cast<quint8>(c);
}

QString toText(QStringView text)
{
    return text.toString();
}

QString toText(QByteArrayView text)
{
    return QString::fromLatin1(text);
}

template <typename View>
QByteArray hexToBytes(View text)
{
    const qsizetype count = text.size() / 2;
    QByteArray bytes(count, Qt::Uninitialized);
    char *out = bytes.data();
    for (qsizetype i = 0; i < count; ++i) {
        const int high = hexDigitValue(unit(text[2 * i]));
        const int low = hexDigitValue(unit(text[2 * i + 1]));
        if (high < 0 || low < 0) {
            const QString pair = QStringLiteral("$") + toText(text.sliced(2 * i, 2));
            throw ConversionError::invalidInteger(pair);
        }
        out[i] = static_cast<char>(high * 16 + low);
    }
    return bytes;
}

} // namespace

char *WriteHex(char *out, QByteArrayView bytes) noexcept
{
    for (char byte : bytes) {
        const auto value = static_cast<quint8>(byte);
        *out++ = HexDigits[value >> 4];
        *out++ = HexDigits[value & 0x0F];
    }
    return out;
}

QString BytesToHex(QByteArrayView bytes)
{
    QByteArray hex(bytes.size() * 2, Qt::Uninitialized);
    WriteHex(hex.data(), bytes);
    return QString::fromLatin1(hex);
}

QByteArray HexToBytes(QStringView text)
{
    return hexToBytes(text);
}

QByteArray HexToBytes(QByteArrayView asciiText)
{
    return hexToBytes(asciiText);
}

QString ByteToBin(quint8 byte)
{
    QString bits(9, QLatin1Char(' '));
    for (int bit = 0; bit < 8; ++bit) {
        const int position = bit < 4 ? bit : bit + 1;
        bits[position] = (byte & (0x80 >> bit)) ? QLatin1Char('1') : QLatin1Char('0');
    }
    return bits;
}
