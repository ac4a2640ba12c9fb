#include "bytenotation.h"

#include "beep.h"
#include "codepage.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

int hexDigitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The integer conversion: optional sign, then decimal digits or a hex prefix
// ("$", "x", "X") with up to 32 bits of hex digits; nothing may follow.
std::optional<qint32> convertInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    const bool hex = i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X');
    if (hex)
        ++i;
    if (i == text.size())
        return std::nullopt;

    quint64 magnitude = 0;
    const quint64 limit = hex ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        const int digit = hex ? hexDigitValue(c) : (isDecimalDigit(c) ? c.unicode() - u'0' : -1);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + quint64(digit);
        if (magnitude > limit)
            return std::nullopt;
    }
    // A hex value is a 32-bit pattern; a minus sign negates it.
    const auto pattern = static_cast<quint32>(magnitude);
    return static_cast<qint32>(negative ? 0u - pattern : pattern);
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

QStringView trimmed(QStringView text)
{
    while (!text.isEmpty() && isBlankOrControl(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlankOrControl(text.back()))
        text.chop(1);
    return text;
}

// A decimal number with "." as its point, whatever the locale: optional sign,
// digits with an optional fraction, optional exponent.
std::optional<double> parseDecimal(QStringView text)
{
    text = trimmed(text);
    qsizetype i = 0;
    const auto digitsFrom = [&](qsizetype &pos) {
        const qsizetype start = pos;
        while (pos < text.size() && isDecimalDigit(text[pos]))
            ++pos;
        return pos - start;
    };
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    qsizetype mantissaDigits = digitsFrom(i);
    if (i < text.size() && text[i] == u'.') {
        ++i;
        mantissaDigits += digitsFrom(i);
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
            negativeExponent = text[i++] == u'-';
        if (digitsFrom(i) == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    // from_chars reads the C form whatever the process locale, but takes no "+".
    const QByteArray latin1 = (text.startsWith(u'+') ? text.sliced(1) : text).toLatin1();
    double value = 0;
    const auto [end, error] = std::from_chars(latin1.data(), latin1.data() + latin1.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small to tell from zero, or too large for any 32-bit result.
        const bool negative = text.startsWith(u'-');
        if (negativeExponent)
            return 0.0;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    if (error != std::errc() || end != latin1.data() + latin1.size())
        return std::nullopt;
    return value;
}

void appendBigEndian(QByteArray &out, quint32 value, int byteCount)
{
    for (int shift = 8 * (byteCount - 1); shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

// Thrown inside the conversion when a DALLAS value leaves the 32-bit range.
struct DallasOverflow
{
};

void appendDallas(QByteArray &out, QStringView argument)
{
    const std::optional<double> value = parseDecimal(argument);
    if (!value)
        return;
    const double scaled = std::nearbyint(*value * 32.0);
    if (!(scaled >= double(std::numeric_limits<qint32>::min()) &&
          scaled <= double(std::numeric_limits<qint32>::max())))
        throw DallasOverflow{};
    appendBigEndian(out, static_cast<quint32>(static_cast<qint32>(scaled)), 2);
}

void appendCall(QByteArray &out, QStringView item, qsizetype closeIndex)
{
    const qsizetype openIndex = item.indexOf(u'(');
    const QString name =
        (openIndex < 0 ? QStringView() : item.first(openIndex)).toString().toUpper();
    const qsizetype argumentStart = openIndex < 0 ? 0 : openIndex + 1;
    const QStringView argument = item.sliced(argumentStart, closeIndex - argumentStart);

    if (name == u"DALLAS") {
        appendDallas(out, argument);
        return;
    }
    // Evaluated for every name, so a bad argument beeps even under an unknown one.
    const auto n = static_cast<quint32>(ParseNumber(argument));
    if (name == u"BYTE")
        appendBigEndian(out, n, 1);
    else if (name == u"WORD")
        appendBigEndian(out, n, 2);
    else if (name == u"LONGWORD")
        appendBigEndian(out, n, 4);
}

void appendItem(QByteArray &out, QStringView item)
{
    if (item.isEmpty())
        return;
    const qsizetype closeIndex = item.indexOf(u')');
    const qsizetype openIndex = item.indexOf(u'(');
    if (closeIndex >= 0 && (openIndex < 0 || closeIndex > openIndex))
        appendCall(out, item, closeIndex);
    else
        appendBigEndian(out, static_cast<quint32>(ParseNumber(item)), 1);
}

// The items of a group: the text between "{" and its first "}".
void appendGroup(QByteArray &out, QStringView group)
{
    while (true) {
        const qsizetype comma = group.indexOf(u',');
        if (comma < 0) {
            appendItem(out, group);
            return;
        }
        appendItem(out, group.first(comma));
        group = group.sliced(comma + 1);
    }
}

} // namespace

qint32 ParseNumber(QStringView text)
{
    text = trimmed(text);
    bool hex = false;
    if (text.startsWith(u'$')) {
        text = text.sliced(1);
        hex = true;
    }
    if (text.size() >= 2 && (text.startsWith(u"0x") || text.startsWith(u"0X"))) {
        text = text.sliced(2);
        hex = true;
    }
    if (!text.isEmpty() && (text.back() == u'h' || text.back() == u'H')) {
        text.chop(1);
        hex = true;
    }
    // A "$" in front, then collapse "$$" runs, as the conversion reads one prefix.
    const QString number = hex ? QStringLiteral("$") + text.toString() : text.toString();
    QStringView normalised = number;
    while (normalised.startsWith(u"$$"))
        normalised = normalised.sliced(1);

    if (const std::optional<qint32> value = convertInteger(normalised))
        return *value;
    Beep();
    return ParseNumberFailed;
}

QByteArray TextToBytes(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype lastClose = text.lastIndexOf(u'}');
    qsizetype pos = 0;
    try {
        while (pos < text.size()) {
            if (text[pos] == u'{' && pos < lastClose) {
                const qsizetype close = text.indexOf(u'}', pos + 1);
                appendGroup(out, text.sliced(pos + 1, close - pos - 1));
                pos = close + 1;
                continue;
            }
            // Plain characters up to the next group; a "{" after the last "}"
            // opens no group, so the run then goes to the end.
            qsizetype next = text.indexOf(u'{', pos + 1);
            if (next < 0 || next >= lastClose)
                next = text.size();
            out.append(CodePage::fromText(text.sliced(pos, next - pos)));
            pos = next;
        }
    } catch (const DallasOverflow &) {
        return {};
    }
    return out;
}
