// Throughput of the send line's brace notation (TextToBytes) on long lines of
// plain text mixed with {..} groups, beside the code page conversion of the
// same text (what the plain runs cost at least) and a plain copy of it.
// Rates count characters of the line, one per typed byte.

#include "core/beep.h"
#include "core/bytenotation.h"
#include "core/codepage.h"
#include "ratioreporter.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct SendLine
{
    std::string name;
    QString text;
};

// Plain runs of printable text (now and then a letter of the code page beyond
// ASCII) between groups such as {13}, {WORD(1000)} or {$FF,0x10,20h}.
QString mixedLine(qsizetype size, bool withGroups)
{
    static const QString Groups[] = {
        QStringLiteral("{13}"),
        QStringLiteral("{10,13}"),
        QStringLiteral("{WORD(1000)}"),
        QStringLiteral("{BYTE($1F)}"),
        QStringLiteral("{LONGWORD(0x12345678)}"),
        QStringLiteral("{DALLAS(25.5)}"),
        QStringLiteral("{$FF,0x10,20h}"),
        QStringLiteral("{2,3,255}"),
    };
    static const char16_t Accented[] = u"\u010c\u0159\u00e1\u0165\u0142\u00df";
    std::mt19937 random(10);
    std::uniform_int_distribution<int> group(0, int(std::size(Groups)) - 1);
    std::uniform_int_distribution<int> runLength(1, 24);
    std::uniform_int_distribution<int> printable(32, 126);
    std::uniform_int_distribution<int> accented(0, int(std::size(Accented)) - 2);
    std::uniform_int_distribution<int> percent(0, 99);

    QString text = QStringLiteral("AT");
    text.reserve(size + 64);
    while (text.size() < size) {
        if (withGroups)
            text.append(Groups[group(random)]);
        const int length = runLength(random);
        for (int i = 0; i < length; ++i) {
            if (percent(random) < 3) {
                text.append(QChar(Accented[accented(random)]));
                continue;
            }
            const int c = printable(random);
            text.append(QChar(c == '{' || c == '}' ? 'x' : c));
        }
    }
    return text;
}

void benchTextToBytes(benchmark::State &state, const SendLine &line)
{
    for (auto _ : state) {
        QByteArray bytes = TextToBytes(line.text);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(qint64(state.iterations()) * line.text.size());
}

void benchFromText(benchmark::State &state, const SendLine &line)
{
    for (auto _ : state) {
        QByteArray bytes = CodePage::fromText(line.text);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(qint64(state.iterations()) * line.text.size());
}

void benchMemcpy(benchmark::State &state, const SendLine &line)
{
    const auto size = std::size_t(line.text.size()) * sizeof(QChar);
    std::vector<char> target(size);
    for (auto _ : state) {
        std::memcpy(target.data(), line.text.constData(), size);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * line.text.size());
}

} // namespace

int main(int argc, char **argv)
{
    // Every item of the generated lines is valid, so a beep means the
    // benchmark measures the error path instead.
    static int beeps = 0;
    SetBeepHandler([] { ++beeps; });

    std::vector<SendLine> lines;
    lines.push_back({"groups_10KB", mixedLine(10'000, true)});
    lines.push_back({"groups_1MB", mixedLine(1'000'000, true)});
    lines.push_back({"plain_1MB", mixedLine(1'000'000, false)});
    for (const SendLine &line : lines) {
        if (TextToBytes(line.text).isEmpty() || beeps > 0) {
            std::fprintf(stderr, "%s does not convert cleanly\n", line.name.c_str());
            return 1;
        }
    }

    for (const SendLine &line : lines) {
        benchmark::RegisterBenchmark(("TextToBytes/" + line.name).c_str(), benchTextToBytes,
                                     std::cref(line))
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("fromText/" + line.name).c_str(), benchFromText,
                                     std::cref(line))
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("memcpy/" + line.name).c_str(), benchMemcpy, std::cref(line))
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    reporter.printRatioTable("TextToBytes", "fromText");
    reporter.printRatioTable("TextToBytes", "memcpy");
    return beeps > 0 ? 1 : 0;
}
