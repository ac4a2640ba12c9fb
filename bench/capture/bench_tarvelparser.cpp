// Throughput of the datagram splitter beside a memcpy + memchr pass over the
// same bytes in the same chunks, the least any splitter must do (copy the
// bytes into the capture and look for the line ends). Also the store's memory
// per datagram, and the time to save a capture of a million datagrams.
//
// Freed memory is kept by the allocator (see main), so every iteration after
// the first writes the capture into pages already mapped, as the baseline
// does. A growing capture always writes into fresh pages, whose first touch
// costs the kernel a page fault each; on a virtual machine that can cost more
// than the splitting itself, so the "splitter_fresh" runs measure it apart:
// they hand all free memory back to the system before every iteration.

#include "capture/tarvelparser.h"
#include "core/frame97.h"
#include "ratioreporter.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t ReadSize = 4096;
constexpr std::size_t StreamSize = 4 << 20;
constexpr quint64 SavedDatagrams = 1'000'000;
constexpr char CarriageReturn = 13;

// One input: the bytes of a stream and the size of the pieces they are
// handed over in.
struct Workload
{
    std::string name;
    std::vector<char> bytes;
    std::size_t chunk = ReadSize;
};

void appendText(std::vector<char> &out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

// A format-97 frame around the data, with the right length and checksum.
void appendFrame(std::vector<char> &out, quint8 address, quint8 signal, quint8 instruction,
                 const std::vector<char> &data)
{
    const std::size_t start = out.size();
    const std::size_t length = 3 + data.size() + 2;
    out.push_back(Frame97::Prefix);
    out.push_back(char(Frame97::Format));
    out.push_back(char(length >> 8));
    out.push_back(char(length & 0xFF));
    out.push_back(char(address));
    out.push_back(char(signal));
    out.push_back(char(instruction));
    out.insert(out.end(), data.begin(), data.end());
    const QByteArrayView body(out.data() + start, qsizetype(out.size() - start));
    out.push_back(char(FrameChecksum(body)));
    out.push_back(char(Frame97::CarriageReturn));
    const QByteArrayView frame(out.data() + start, qsizetype(out.size() - start));
    if (ValidateFrame97(frame) != Frame97Ok) {
        std::fprintf(stderr, "generated frame is invalid\n");
        std::abort();
    }
}

// A text line of 20 to 60 characters and its CR. The first two characters
// are upper-case letters or digits, so the line rule takes it; the rest is any
// printable ASCII.
void appendLine(std::vector<char> &out, std::mt19937 &random, std::size_t length)
{
    static constexpr std::string_view Leading = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uniform_int_distribution<std::size_t> leading(0, Leading.size() - 1);
    std::uniform_int_distribution<int> printable(32, 126);
    out.push_back(Leading[leading(random)]);
    out.push_back(Leading[leading(random)]);
    for (std::size_t i = 2; i < length; ++i)
        out.push_back(char(printable(random)));
    out.push_back(CarriageReturn);
}

void appendThermometerLine(std::vector<char> &out, std::mt19937 &random)
{
    std::uniform_int_distribution<int> tenths(-400, 1250);
    const int value = tenths(random);
    char text[16];
    std::snprintf(text, sizeof text, "%c%03d.%dC\r", value < 0 ? '-' : '+', std::abs(value) / 10,
                  std::abs(value) % 10);
    appendText(out, text);
}

std::vector<char> randomBytes(std::mt19937 &random, std::size_t count)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<char> bytes(count);
    for (char &b : bytes)
        b = char(byte(random));
    return bytes;
}

std::vector<char> frameStream(std::size_t size)
{
    std::vector<char> out;
    out.reserve(size + 16);
    const std::vector<char> data{char(0x14), char(0x81), char(0x07)};
    while (out.size() < size)
        appendFrame(out, 0x01, 0x02, 0x23, data); // 2A 61 00 08 01 02 23 14 81 07 AA 0D
    return out;
}

std::vector<char> lineStream(std::size_t size)
{
    std::mt19937 random(1);
    std::uniform_int_distribution<std::size_t> length(20, 60);
    std::vector<char> out;
    out.reserve(size + 64);
    while (out.size() < size)
        appendLine(out, random, length(random));
    return out;
}

// Frames with 0 to 32 data bytes, text lines, thermometer lines and, with
// noise, short runs of random bytes, in random order.
std::vector<char> mixedStream(std::size_t size, bool withNoise)
{
    std::mt19937 random(97);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<std::size_t> lineLength(20, 60);
    std::uniform_int_distribution<std::size_t> dataLength(0, 32);
    std::uniform_int_distribution<std::size_t> noiseLength(1, 16);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<char> out;
    out.reserve(size + 128);
    while (out.size() < size) {
        const int k = kind(random);
        if (k < 4)
            appendFrame(out, quint8(byte(random)), quint8(byte(random)), quint8(byte(random)),
                        randomBytes(random, dataLength(random)));
        else if (k < 7)
            appendLine(out, random, lineLength(random));
        else if (k < 9 || !withNoise)
            appendThermometerLine(out, random);
        else {
            const std::vector<char> noise = randomBytes(random, noiseLength(random));
            out.insert(out.end(), noise.begin(), noise.end());
        }
    }
    return out;
}

// One frame of the given total size; its data holds no CR, so nothing but
// the length field can end it.
std::vector<char> largeFrame(std::size_t total)
{
    std::mt19937 random(64);
    std::vector<char> data = randomBytes(random, total - 9);
    std::replace(data.begin(), data.end(), CarriageReturn, char(CarriageReturn + 1));
    std::vector<char> out;
    out.reserve(total);
    appendFrame(out, 0x01, 0x02, 0x23, data);
    return out;
}

// A text line of the given size before its CR.
std::vector<char> longLine(std::size_t length)
{
    std::mt19937 random(2);
    std::vector<char> out;
    out.reserve(length + 1);
    appendLine(out, random, length);
    return out;
}

// Hands a workload's bytes to the parser in its chunk size.
void feed(TTarvelParser &parser, const Workload &workload)
{
    const char *bytes = workload.bytes.data();
    const std::size_t size = workload.bytes.size();
    for (std::size_t offset = 0; offset < size; offset += workload.chunk) {
        const std::size_t length = std::min(workload.chunk, size - offset);
        parser.ProcessData(QByteArrayView(bytes + offset, qsizetype(length)), Direction::Rx, false);
    }
}

// With freshMemory, all free memory goes back to the system before each
// iteration, so the capture's blocks are new pages every time.
void benchSplitter(benchmark::State &state, const Workload &workload, bool freshMemory)
{
    quint64 datagrams = 0;
    quint64 datagramBytes = 0;
    std::size_t memory = 0;
    quint64 storedDatagrams = 0;
    qsizetype pendingAtEnd = 0;
    if (freshMemory)
        malloc_trim(0);
    for (auto _ : state) {
        auto parser = std::make_unique<TTarvelParser>();
        quint64 count = 0;
        quint64 bytes = 0;
        parser->onPacket = [&](const Datagram &datagram) {
            ++count;
            bytes += quint64(datagram.data.size());
        };
        parser->onBufferChange = [](QByteArrayView buffer, Direction) {
            benchmark::DoNotOptimize(buffer.data());
        };
        feed(*parser, workload);

        state.PauseTiming();
        datagrams += count;
        datagramBytes = bytes;
        storedDatagrams = count;
        memory = parser->capture().store()->memoryUsage();
        pendingAtEnd = parser->pending(Direction::Rx).size();
        parser.reset();
        if (freshMemory)
            malloc_trim(0);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(qint64(state.iterations() * workload.bytes.size()));
    state.counters["datagrams"] =
        benchmark::Counter(double(datagrams), benchmark::Counter::kIsRate);
    state.counters["pending_at_end"] = double(pendingAtEnd);
    if (storedDatagrams > 0) {
        const double perDatagram = double(memory) / double(storedDatagrams);
        const double average = double(datagramBytes) / double(storedDatagrams);
        state.counters["store_B_per_dgram"] = perDatagram;
        state.counters["avg_dgram_B"] = average;
        state.counters["overhead_B_per_dgram"] = perDatagram - average;
        state.counters["stored_datagrams"] = double(storedDatagrams);
    }
}

// The floor: copy each chunk once and find every CR in it once.
void benchBaseline(benchmark::State &state, const Workload &workload)
{
    const char *source = workload.bytes.data();
    const std::size_t size = workload.bytes.size();
    std::vector<char> target(size);
    for (auto _ : state) {
        std::size_t carriageReturns = 0;
        for (std::size_t offset = 0; offset < size; offset += workload.chunk) {
            const std::size_t length = std::min(workload.chunk, size - offset);
            char *copy = target.data() + offset;
            std::memcpy(copy, source + offset, length);
            const char *end = copy + length;
            for (const char *p = copy;; ++p) {
                p = static_cast<const char *>(std::memchr(p, CarriageReturn, std::size_t(end - p)));
                if (!p)
                    break;
                ++carriageReturns;
            }
        }
        benchmark::DoNotOptimize(carriageReturns);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(qint64(state.iterations() * size));
}

// What writing into fresh pages costs on this machine: map 4 MiB, write
// every byte, unmap.
void benchFirstTouch(benchmark::State &state)
{
    constexpr std::size_t Size = 4 << 20;
    for (auto _ : state) {
        void *pages =
            mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pages == MAP_FAILED) {
            state.SkipWithError("mmap failed");
            return;
        }
        std::memset(pages, 1, Size);
        benchmark::ClobberMemory();
        munmap(pages, Size);
    }
    state.SetBytesProcessed(qint64(state.iterations() * Size));
}

// A capture of a million datagrams (frames, text and thermometer lines),
// built once.
TTarvelParser &savedCapture()
{
    static TTarvelParser *parser = [] {
        auto *p = new TTarvelParser;
        std::mt19937 random(1000);
        std::uniform_int_distribution<int> kind(0, 9);
        std::uniform_int_distribution<std::size_t> lineLength(20, 60);
        std::uniform_int_distribution<std::size_t> dataLength(0, 32);
        std::uniform_int_distribution<int> byte(0, 255);
        Workload workload{"save", {}, ReadSize};
        for (quint64 i = 0; i < SavedDatagrams; ++i) {
            const int k = kind(random);
            if (k < 5)
                appendFrame(workload.bytes, quint8(byte(random)), quint8(byte(random)),
                            quint8(byte(random)), randomBytes(random, dataLength(random)));
            else if (k < 9)
                appendLine(workload.bytes, random, lineLength(random));
            else
                appendThermometerLine(workload.bytes, random);
        }
        feed(*p, workload);
        return p;
    }();
    return *parser;
}

void benchSave(benchmark::State &state)
{
    const TTarvelParser &parser = savedCapture();
    const DatagramRange &capture = parser.capture();
    if (capture.size() != SavedDatagrams) {
        state.SkipWithError("the capture does not hold the expected datagrams");
        return;
    }
    quint64 datagramBytes = 0;
    for (quint64 i = 0; i < capture.size(); ++i)
        datagramBytes += quint64(capture.at(i).data.size());

    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("capture.xml"));
    for (auto _ : state)
        parser.SaveToFile(fileName);
    const qint64 fileSize = QFileInfo(fileName).size();

    state.SetBytesProcessed(qint64(state.iterations()) * fileSize);
    state.counters["datagrams"] = benchmark::Counter(double(state.iterations() * SavedDatagrams),
                                                     benchmark::Counter::kIsRate);
    state.counters["file_MB"] = double(fileSize) / 1e6;
    const double perDatagram = double(capture.store()->memoryUsage()) / double(SavedDatagrams);
    const double average = double(datagramBytes) / double(SavedDatagrams);
    state.counters["store_B_per_dgram"] = perDatagram;
    state.counters["avg_dgram_B"] = average;
    state.counters["overhead_B_per_dgram"] = perDatagram - average;
    state.counters["stored_datagrams"] = double(SavedDatagrams);
}

// The store takes memory in blocks of a megabyte and entries in chunks of
// thousands, so only captures of many datagrams show the cost of one.
constexpr double MemoryTableMinimum = 10'000;

void printMemoryTable(const RatioReporter &reporter)
{
    std::printf("\n%-24s %12s %12s %14s %14s %8s\n", "store memory", "datagrams", "avg bytes",
                "store B/dgram", "overhead B", "<= 16?");
    for (const std::string &caseName : reporter.cases()) {
        for (const std::string role : {"splitter", "save"}) {
            const double stored = reporter.value(caseName, role, "stored_datagrams");
            if (stored < MemoryTableMinimum)
                continue;
            const double overhead = reporter.value(caseName, role, "overhead_B_per_dgram");
            std::printf("%-24s %12.0f %12.2f %14.2f %14.2f %8s\n", caseName.c_str(), stored,
                        reporter.value(caseName, role, "avg_dgram_B"),
                        reporter.value(caseName, role, "store_B_per_dgram"), overhead,
                        overhead <= 16 ? "yes" : "NO");
        }
    }
    std::printf("overhead = store B/dgram - avg bytes; runs with fewer than %.0f datagrams "
                "are left out\n",
                MemoryTableMinimum);
}

// Nanoseconds per byte of the splitter, for inputs of one shape at two sizes
// or handed over whole and a byte at a time: a search that starts again
// from the front on every hand-over shows as a cost per byte that grows with
// the size.
void printScalingTable(const RatioReporter &reporter)
{
    struct Pair
    {
        const char *label;
        const char *first;
        const char *second;
    };
    const Pair pairs[] = {
        {"frame, byte at a time", "frame4K_bytewise", "frame64K_bytewise"},
        {"frame 64K, whole/bytes", "frame64K_whole", "frame64K_bytewise"},
        {"line, byte at a time", "line64K_bytewise", "line1M_bytewise"},
        {"line 1M, whole/bytes", "line1M_whole", "line1M_bytewise"},
    };
    std::printf("\n%-24s %-20s %10s %-20s %10s %8s\n", "splitter ns/byte", "first", "ns/B",
                "second", "ns/B", "growth");
    for (const Pair &pair : pairs) {
        const double first = reporter.megabytesPerSecond(pair.first, "splitter");
        const double second = reporter.megabytesPerSecond(pair.second, "splitter");
        if (first <= 0 || second <= 0)
            continue;
        std::printf("%-24s %-20s %10.2f %-20s %10.2f %7.2fx\n", pair.label, pair.first, 1e3 / first,
                    pair.second, 1e3 / second, first / second);
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Keep freed memory in the process instead of handing it back to the
    // system, so that iterations reuse mapped pages (see the top of the file).
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());

    std::vector<Workload> streams;
    streams.push_back({"frames_4KiB_reads", frameStream(StreamSize), ReadSize});
    streams.push_back({"lines_4KiB_reads", lineStream(StreamSize), ReadSize});
    streams.push_back({"mix_4KiB_reads", mixedStream(StreamSize, true), ReadSize});
    streams.push_back({"mix_clean_4KiB_reads", mixedStream(StreamSize, false), ReadSize});
    std::vector<Workload> large;
    large.push_back({"frame64K_whole", largeFrame(Frame97::MaximumLength), 1 << 30});
    large.push_back({"frame64K_bytewise", largeFrame(Frame97::MaximumLength), 1});
    large.push_back({"frame4K_bytewise", largeFrame(4096), 1});
    large.push_back({"line1M_whole", longLine(1 << 20), 1 << 30});
    large.push_back({"line1M_bytewise", longLine(1 << 20), 1});
    large.push_back({"line64K_bytewise", longLine(1 << 16), 1});

    const auto add = [](const std::string &name, auto function, auto... arguments) {
        benchmark::RegisterBenchmark(name.c_str(), function, arguments...)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    for (const std::vector<Workload> *group : {&streams, &large}) {
        for (const Workload &workload : *group) {
            add("splitter/" + workload.name, benchSplitter, std::cref(workload), false);
            add("baseline/" + workload.name, benchBaseline, std::cref(workload));
        }
    }
    for (const Workload &workload : streams)
        add("splitter_fresh/" + workload.name, benchSplitter, std::cref(workload), true);
    add("first_touch/4MiB", benchFirstTouch);
    benchmark::RegisterBenchmark("save/save_1M_datagrams", benchSave)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    reporter.printRatioTable("splitter", "baseline");
    printScalingTable(reporter);
    reporter.printRatioTable("splitter_fresh", "splitter");
    const double firstTouch = reporter.megabytesPerSecond("4MiB", "first_touch");
    if (firstTouch > 0)
        std::printf("first write to fresh pages on this machine: %.1f MB/s\n", firstTouch);
    printMemoryTable(reporter);
    const double save = reporter.megabytesPerSecond("save_1M_datagrams", "save");
    if (save > 0)
        std::printf("\nSaveToFile, 1,000,000 datagrams: %.1f MB/s of file (%.1f MB), %.0f "
                    "datagrams/s\n",
                    save, reporter.value("save_1M_datagrams", "save", "file_MB"),
                    reporter.value("save_1M_datagrams", "save", "datagrams"));
    return 0;
}
