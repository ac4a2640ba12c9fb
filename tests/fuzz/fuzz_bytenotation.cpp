// Fuzz target for the brace notation and the number reader: any text must
// convert without crashing or hanging, and the results must keep the
// properties below. The input is read as Latin-1 (every byte one character,
// braces and controls included) and, when that differs, as UTF-8 (characters
// beyond Latin-1, surrogate pairs).

#include "core/beep.h"
#include "core/bytenotation.h"
#include "core/codepage.h"
#include "fuzzcheck.h"

#include <QString>
#include <QtEndian>

#include <cstddef>
#include <cstdint>

namespace {

int beeps = 0;

void checkNotation(QStringView text)
{
    const QByteArray bytes = TextToBytes(text);
    // A plain character gives one byte (a surrogate pair one for both), and
    // each item of a group takes at least as many characters as it gives
    // bytes: "7" one, "WORD(7)" two, "LONGWORD(7)" four.
    FUZZ_CHECK(bytes.size() <= text.size());
    // Without both braces there is no group, so every character goes
    // through the code page, an unmatched "{" included.
    if (!text.contains(u'{') || !text.contains(u'}'))
        FUZZ_CHECK(bytes == CodePage::fromText(text));
}

void checkNumber(QStringView text)
{
    beeps = 0;
    const qint32 value = ParseNumber(text);
    if (beeps > 0)
        FUZZ_CHECK(value == ParseNumberFailed);

    // Whatever was read comes back, silently, from each way of writing it.
    beeps = 0;
    const auto pattern = static_cast<quint32>(value);
    FUZZ_CHECK(ParseNumber(QString::number(value)) == value);
    FUZZ_CHECK(ParseNumber(QStringLiteral("$%1").arg(pattern, 0, 16)) == value);
    FUZZ_CHECK(ParseNumber(QStringLiteral(" 0X%1 ").arg(pattern, 0, 16).toUpper()) == value);
    FUZZ_CHECK(ParseNumber(QStringLiteral("%1h").arg(pattern, 0, 16)) == value);
    FUZZ_CHECK(beeps == 0);

    // And through the notation, big endian.
    const QByteArray longword = TextToBytes(QStringLiteral("{LONGWORD(%1)}").arg(value));
    FUZZ_CHECK(longword.size() == 4);
    FUZZ_CHECK(qFromBigEndian<quint32>(longword.constData()) == pattern);
    const QByteArray word =
        TextToBytes(QStringLiteral("{WORD(%1),%2}").arg(value).arg(pattern & 0xFF));
    FUZZ_CHECK(word.size() == 3);
    FUZZ_CHECK(qFromBigEndian<quint16>(word.constData()) == (pattern & 0xFFFF));
    FUZZ_CHECK(static_cast<quint8>(word[2]) == (pattern & 0xFF));
    FUZZ_CHECK(beeps == 0);
}

void check(QStringView text)
{
    checkNotation(text);
    checkNumber(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool beepCounted = [] {
        SetBeepHandler([] { ++beeps; });
        return true;
    }();
    (void)beepCounted;

    const auto *chars = reinterpret_cast<const char *>(data);
    const auto length = static_cast<qsizetype>(size);
    const QString latin1 = QString::fromLatin1(chars, length);
    check(latin1);
    const QString utf8 = QString::fromUtf8(chars, length);
    if (utf8 != latin1)
        check(utf8);
    return 0;
}
