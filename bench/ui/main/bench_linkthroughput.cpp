// Figures of the main window draining real links at full speed, on the
// offscreen platform: a TCP peer on 127.0.0.1 and a pseudo-terminal pair made
// by socat, each measured beside a plain reader of the same link fed by the
// same peer in the same run.
//
// The peers are this program started again in a peer mode, so that the CPU
// time and memory measured here are the window's alone:
//   --peer-tcp FILE         listens on 127.0.0.1, prints its port, sends FILE
//                           to the first connection at full speed, closes.
//   --peer-pty FILE PATH    opens the pseudo-terminal PATH, prints "ready",
//                           writes FILE once a line arrives on stdin, then
//                           keeps PATH open until stdin ends.
// The plain readers are `socat -u TCP:...` for TCP (128 KiB reads, as cat
// does) and `head -c BYTES COM5` for the pseudo-terminal.
//
// The traffic, from a fixed seed, is a mix of (by count) 50 % the 12-byte
// format-97 frame 2A 61 00 08 01 02 23 14 81 07 AA 0D, 30 % short CR lines
// such as "AB12 temp 25.3" CR (two upper-case letters or digits first) and
// 20 % runs of 5 to 16 random bytes ending in CR. A random run has no CR
// before its end and a second byte of 1 to 96, so the splitter cuts it as one
// line: it never waits for the length of a frame that is not there, nor (a
// second byte of 0 fits no rule) for a thermometer line. The
// stream is cut at exactly the size asked for, so the last few bytes may stay
// pending in the splitter.
//
// Figures per link (MB = 10^6 bytes):
// - the drain time: wall time from opening the link until the program has
//   taken the last byte off the link (the TCP client reads on a thread of its
//   own, watched from another thread; the serial port is read where the
//   bytes are processed, so there it is the processing time), held against
//   the plain reader's time for the same bytes;
// - the processing time: wall time from opening the link until the bytes
//   handed to the splitter (the capture's datagrams plus the pending Rx
//   bytes) reach the bytes sent;
// - the worst lateness of a 10 ms timer throughout: the event loop's delay;
// - CPU seconds (user + system) of this process per MB received;
// - growth of the peak resident memory per MB received (the peak is reset
//   before each run), with the shared datagram store's and the log view's
//   own share;
// - the check that every byte reached the capture in order: the capture is
//   saved with SaveToFile and the hexadecimal data of the file is compared
//   with the traffic byte for byte.
//
// TARVEL_BENCH_MB sets the TCP size (default 100); the serial link gets a
// tenth of it. The program exits 0 whatever the figures are.

#include "capture/tarvelparser.h"
#include "ui/main/linkcontrol.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/main/rxbufferbox.h"
#include "ui/main/tarvelapplication.h"
#include "ui/main/terminallogview.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <malloc.h>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr double Megabyte = 1e6;
constexpr int ProbeIntervalMs = 10;
// A run that receives nothing for this long is given up as incomplete.
constexpr int StallTimeoutMs = 15000;
constexpr int SerialPortNumber = 5;

// The targets the figures are held against.
constexpr double MinRateRatio = 0.5;
constexpr double MaxCpuSecondsPerMb = 0.05;
constexpr double MaxMemoryPerMb = 4.0;
constexpr double MaxEventLoopDelayMs = 100.0;

// ---------------------------------------------------------------- peers

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

int runTcpPeer(const char *file)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(listener, 1) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        std::perror("peer: listen");
        return 1;
    }
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);

    const int connection = ::accept(listener, nullptr, nullptr);
    const int input = ::open(file, O_RDONLY);
    struct stat status = {};
    if (connection < 0 || input < 0 || ::fstat(input, &status) != 0) {
        std::perror("peer: accept");
        return 1;
    }
    off_t offset = 0;
    while (offset < status.st_size) {
        const ssize_t n =
            ::sendfile(connection, input, &offset, std::size_t(status.st_size - offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::perror("peer: send");
            return 1;
        }
    }
    ::close(connection);
    std::printf("%lld\n", static_cast<long long>(offset));
    return 0;
}

int runPtyPeer(const char *file, const char *path)
{
    const int output = ::open(path, O_WRONLY | O_NOCTTY);
    const int input = ::open(file, O_RDONLY);
    if (output < 0 || input < 0) {
        std::perror("peer: open");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 1;

    std::vector<char> buffer(64 * 1024);
    long long sent = 0;
    for (;;) {
        const ssize_t n = ::read(input, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return 1;
        if (n == 0)
            break;
        if (!writeAll(output, buffer.data(), std::size_t(n))) {
            std::perror("peer: write");
            return 1;
        }
        sent += n;
    }
    std::printf("%lld\n", sent);
    std::fflush(stdout);
    // The pseudo-terminal stays open until the reader has everything: its
    // closing would end the pair, and the reader's side with it.
    while (std::fgets(line, sizeof line, stdin)) {
    }
    ::close(output);
    return 0;
}

// ---------------------------------------------------------------- traffic

const char Frame[] = "\x2A\x61\x00\x08\x01\x02\x23\x14\x81\x07\xAA\x0D";
constexpr std::size_t FrameSize = sizeof Frame - 1;

struct Mix
{
    quint64 items[3] = {};
    quint64 bytes[3] = {};
};

// Appends one item of the mix: 0 a frame, 1 a CR line, 2 a random run.
void appendItem(std::string &out, std::mt19937 &random, Mix &mix)
{
    static constexpr char Heads[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::size_t start = out.size();
    const unsigned pick = random() % 100;
    int kind = 0;
    if (pick < 50) {
        out.append(Frame, FrameSize);
    } else if (pick < 80) {
        kind = 1;
        const char first = Heads[random() % 36];
        const char second = Heads[random() % 36];
        const auto number = unsigned(random() % 100);
        const auto whole = unsigned(random() % 40);
        const auto tenth = unsigned(random() % 10);
        char line[32];
        const int n = std::snprintf(line, sizeof line, "%c%c%02u temp %u.%u\r", first, second,
                                    number, whole, tenth);
        out.append(line, std::size_t(n));
    } else {
        kind = 2;
        const unsigned length = 5 + random() % 12;
        char first = char(random() % 256);
        while (first == '\r')
            first = char(random() % 256);
        // A second byte of 0 would leave the run uncut until a thermometer
        // line comes, a CR would cut it after two bytes.
        char second = char(1 + random() % 96);
        while (second == '\r')
            second = char(1 + random() % 96);
        out.push_back(first);
        out.push_back(second);
        for (unsigned i = 2; i + 1 < length; ++i) {
            char byte = char(random() % 256);
            while (byte == '\r')
                byte = char(random() % 256);
            out.push_back(byte);
        }
        out.push_back('\r');
    }
    ++mix.items[kind];
    mix.bytes[kind] += out.size() - start;
}

// Writes exactly `size` bytes of the mix to the file.
Mix writeTraffic(const QString &fileName, quint64 size)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
        std::exit(1);
    }
    std::mt19937 random(97);
    Mix mix;
    std::string chunk;
    quint64 written = 0;
    while (written < size) {
        chunk.clear();
        while (chunk.size() < (1u << 20))
            appendItem(chunk, random, mix);
        const quint64 take = std::min<quint64>(chunk.size(), size - written);
        file.write(chunk.data(), qint64(take));
        written += take;
    }
    return mix;
}

// ---------------------------------------------------------------- process figures

// User and system CPU seconds of this process.
struct CpuTime
{
    double user = 0;
    double system = 0;

    [[nodiscard]] double total() const { return user + system; }
    CpuTime operator-(const CpuTime &earlier) const
    {
        return {user - earlier.user, system - earlier.system};
    }
};

CpuTime cpuTime()
{
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    return {double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6,
            double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) / 1e6};
}

// A "Vm...:  1234 kB" figure of this process, in bytes.
qint64 statusBytes(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(name) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

// Hands freed memory back and makes the current resident size the peak, so
// that the next peak is this run's. False where the system cannot.
bool resetPeakMemory()
{
    ::malloc_trim(0);
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// ---------------------------------------------------------------- capture check

struct CaptureCheck
{
    quint64 datagrams = 0;
    quint64 bytes = 0;
    bool matches = false;
};

// Reads the saved capture and compares the bytes of its datagrams, in order,
// with the traffic file.
CaptureCheck checkCaptureFile(const QString &captureName, const QString &trafficName)
{
    CaptureCheck check;
    QFile capture(captureName);
    QFile traffic(trafficName);
    if (!capture.open(QIODevice::ReadOnly) || !traffic.open(QIODevice::ReadOnly))
        return check;
    static constexpr char Marker[] = "data=\"";
    constexpr int MarkerLength = sizeof Marker - 1;
    int matched = 0;
    bool inData = false;
    int high = -1;
    bool same = true;
    QByteArray expected;
    qsizetype expectedAt = 0;
    auto nibble = [](char c) {
        return c <= '9' ? c - '0' : (c <= 'F' ? c - 'A' + 10 : c - 'a' + 10);
    };
    QByteArray chunk;
    while (!(chunk = capture.read(4 << 20)).isEmpty()) {
        for (const char c : std::as_const(chunk)) {
            if (!inData) {
                matched = c == Marker[matched] ? matched + 1 : (c == Marker[0] ? 1 : 0);
                if (matched == MarkerLength) {
                    inData = true;
                    matched = 0;
                    ++check.datagrams;
                }
                continue;
            }
            if (c == '"') {
                inData = false;
                continue;
            }
            if (high < 0) {
                high = nibble(c);
                continue;
            }
            const char byte = char(high * 16 + nibble(c));
            high = -1;
            if (expectedAt == expected.size()) {
                expected = traffic.read(4 << 20);
                expectedAt = 0;
            }
            same = same && expectedAt < expected.size() && expected[expectedAt] == byte;
            ++expectedAt;
            ++check.bytes;
        }
    }
    check.matches = same && high < 0 && !inData;
    return check;
}

// ---------------------------------------------------------------- runs

struct Figures
{
    bool ran = false;
    bool complete = false;
    quint64 sent = 0;
    quint64 bytes = 0;
    double seconds = 0;
    // Until the last byte was off the link; below 0 when not watched.
    double drainSeconds = -1;
    CpuTime cpu;
    qint64 peakGrowth = -1;
    bool peakIsRss = false;
    double worstDelayMs = 0;
    std::size_t storeMemory = 0;
    std::size_t viewMemory = 0;
    quint64 datagrams = 0;
    quint64 logRows = 0;
    quint64 capturedPlusPending = 0;
    quint64 pending = 0;
    quint64 reads = 0;
    qsizetype largestRead = 0;
    int logPaints = 0;
    int bufferPaints = 0;
    CaptureCheck saved;
    double saveSeconds = 0;
    QString note;

    [[nodiscard]] double megabytes() const { return double(bytes) / Megabyte; }
    [[nodiscard]] bool drainWatched() const { return drainSeconds >= 0; }
    [[nodiscard]] double drainOrProcessingSeconds() const
    {
        return drainWatched() ? drainSeconds : seconds;
    }
};

// Notes, from a thread of its own, when a count of bytes taken off a link
// reaches a size. It looks every 100 us, which bounds its error.
class DrainWatch
{
public:
    DrainWatch(std::function<quint64()> bytesOffLink, quint64 bytes, const QElapsedTimer &clock)
        : m_thread([this, bytesOffLink = std::move(bytesOffLink), bytes, &clock] {
              while (!m_stop.load()) {
                  if (bytesOffLink() >= bytes) {
                      m_seconds = double(clock.nsecsElapsed()) / 1e9;
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::microseconds(100));
              }
          })
    {}
    ~DrainWatch() { stop(); }
    DrainWatch(const DrainWatch &) = delete;
    DrainWatch &operator=(const DrainWatch &) = delete;

    // The drain time, or below 0 when the size was not reached.
    double stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_seconds;
    }

private:
    std::atomic<bool> m_stop = false;
    double m_seconds = -1;
    std::thread m_thread;
};

struct PaintCounter : QObject
{
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Waits for the first line a peer prints.
QByteArray firstLine(QProcess &process)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000))
            return {};
    }
    return process.readLine().trimmed();
}

QString selfPath()
{
    return QCoreApplication::applicationFilePath();
}

void startPeer(QProcess &peer, const QStringList &arguments)
{
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(selfPath(), arguments);
}

// Ends a child of ours that is still running.
void finish(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.closeWriteChannel();
    if (!process.waitForFinished(3000)) {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(3000);
    }
}

// A plain reader's run: whether it read every byte, and how long it took
// from its start to its end.
struct PlainRun
{
    bool complete = false;
    double seconds = 0;
};

// A pseudo-terminal pair made by socat for the time of one run: the port
// COM5 of the mapping folder and the peer's end beside it.
class Pseudoterminals
{
public:
    explicit Pseudoterminals(const QString &folder) : m_folder(folder)
    {
        m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_socat.start(QStringLiteral("socat"),
                      {QStringLiteral("pty,raw,echo=0,link=%1").arg(comPath()),
                       QStringLiteral("pty,raw,echo=0,link=%1").arg(peerPath())});
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000 &&
               !(QFileInfo::exists(comPath()) && QFileInfo::exists(peerPath())))
            QThread::msleep(10);
    }
    ~Pseudoterminals()
    {
        m_socat.terminate();
        if (!m_socat.waitForFinished(3000))
            m_socat.kill();
        m_socat.waitForFinished(3000);
    }
    Pseudoterminals(const Pseudoterminals &) = delete;
    Pseudoterminals &operator=(const Pseudoterminals &) = delete;

    [[nodiscard]] bool ready() const
    {
        return QFileInfo::exists(comPath()) && QFileInfo::exists(peerPath());
    }
    [[nodiscard]] QString comPath() const
    {
        return m_folder + QStringLiteral("/COM%1").arg(SerialPortNumber);
    }
    [[nodiscard]] QString peerPath() const { return m_folder + QStringLiteral("/peer"); }

private:
    QString m_folder;
    QProcess m_socat;
};

// Runs a plain reader to its end, its output thrown away, timed from its
// start; `started`, when given, runs once it is up (to let the peer go).
PlainRun timePlainReader(const QString &program, const QStringList &arguments,
                         const std::function<void()> &started)
{
    PlainRun run;
    QProcess reader;
    reader.setStandardOutputFile(QProcess::nullDevice());
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    reader.start(program, arguments);
    if (started) {
        reader.waitForStarted();
        started();
    }
    const bool finished = reader.waitForFinished(StallTimeoutMs * 8);
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    run.complete = finished && reader.exitCode() == 0;
    finish(reader);
    return run;
}

PlainRun plainTcp(const QString &trafficName, quint64 bytes)
{
    PlainRun run;
    QProcess peer;
    startPeer(peer, {QStringLiteral("--peer-tcp"), trafficName});
    const QByteArray port = firstLine(peer);
    if (port.isEmpty()) {
        finish(peer);
        return run;
    }
    run = timePlainReader(QStringLiteral("socat"),
                          {QStringLiteral("-u"), QStringLiteral("-b"), QStringLiteral("131072"),
                           QStringLiteral("TCP:127.0.0.1:%1").arg(QString::fromLatin1(port)),
                           QStringLiteral("STDOUT")},
                          {});
    peer.waitForFinished(5000);
    run.complete =
        run.complete && peer.exitCode() == 0 && peer.readAll().trimmed().toULongLong() == bytes;
    finish(peer);
    return run;
}

PlainRun plainSerial(const QString &trafficName, const QString &folder, quint64 bytes)
{
    PlainRun run;
    Pseudoterminals pair(folder);
    if (!pair.ready())
        return run;
    QProcess peer;
    startPeer(peer, {QStringLiteral("--peer-pty"), trafficName, pair.peerPath()});
    if (firstLine(peer) != "ready") {
        finish(peer);
        return run;
    }
    run = timePlainReader(QStringLiteral("head"),
                          {QStringLiteral("-c"), QString::number(bytes), pair.comPath()}, [&peer] {
                              peer.write("go\n");
                              peer.waitForBytesWritten();
                          });
    finish(peer);
    return run;
}

// Drives a fresh main window through one link until `bytes` bytes have been
// received. `open` opens the link and starts the peer's sending;
// `bytesOffLink`, where the link is read apart from the processing, counts
// the bytes read off it.
Figures programRun(quint64 bytes, const QString &folder, const QString &trafficName,
                   const std::function<bool(TfMainTarvelTerm &)> &open,
                   const std::function<quint64(TfMainTarvelTerm &)> &bytesOffLink = {})
{
    Figures figures;
    auto window = std::make_unique<TfMainTarvelTerm>();
    window->show();
    {
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 200)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    PaintCounter logPaints;
    PaintCounter bufferPaints;
    window->logView()->viewport()->installEventFilter(&logPaints);
    window->rxBufferBox()->viewport()->installEventFilter(&bufferPaints);

    QEventLoop loop;
    QElapsedTimer sinceProgress;
    QObject::connect(&window->link(), &TLinkControl::received, &loop, [&](const QByteArray &chunk) {
        // The window's own handler, connected first, has split the chunk.
        figures.bytes += quint64(chunk.size());
        ++figures.reads;
        figures.largestRead = std::max(figures.largestRead, chunk.size());
        sinceProgress.start();
        if (figures.bytes >= bytes)
            loop.quit();
    });
    QElapsedTimer probeClock;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, &loop, [&] {
        const double late = double(probeClock.nsecsElapsed()) / 1e6 - ProbeIntervalMs;
        figures.worstDelayMs = std::max(figures.worstDelayMs, late);
        probeClock.start();
    });
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        if (sinceProgress.elapsed() > StallTimeoutMs)
            loop.quit();
    });
    // A link that fails to open leads to the connection dialog; it is
    // turned down so that the run ends instead of waiting for a click.
    QTimer dialogCloser;
    QObject::connect(&dialogCloser, &QTimer::timeout, &loop, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    dialogCloser.start(100);

    const bool peakReset = resetPeakMemory();
    const qint64 memoryBefore = statusBytes(peakReset ? "VmHWM" : "VmRSS");
    const CpuTime cpuBefore = cpuTime();
    QElapsedTimer clock;
    clock.start();
    std::optional<DrainWatch> drain;
    if (bytesOffLink)
        drain.emplace([&window, &bytesOffLink] { return bytesOffLink(*window); }, bytes, clock);
    sinceProgress.start();
    probe.start(ProbeIntervalMs);
    probeClock.start();
    watchdog.start(500);
    if (open(*window))
        loop.exec();
    else
        figures.note = QStringLiteral("the link did not open");
    figures.seconds = double(clock.nsecsElapsed()) / 1e9;
    figures.cpu = cpuTime() - cpuBefore;
    if (drain)
        figures.drainSeconds = drain->stop();
    // The last stretch counts too, though the probe did not fire after it.
    figures.worstDelayMs =
        std::max(figures.worstDelayMs, double(probeClock.nsecsElapsed()) / 1e6 - ProbeIntervalMs);
    probe.stop();
    watchdog.stop();
    const qint64 memoryAfter = statusBytes(peakReset ? "VmHWM" : "VmRSS");
    figures.peakGrowth = memoryBefore < 0 || memoryAfter < 0 ? -1 : memoryAfter - memoryBefore;
    figures.peakIsRss = !peakReset;
    figures.ran = true;
    figures.sent = bytes;
    figures.complete = figures.bytes == bytes;
    figures.logPaints = logPaints.count;
    figures.bufferPaints = bufferPaints.count;

    const TTarvelParser &parser = window->parser();
    const DatagramRange &capture = parser.capture();
    figures.datagrams = capture.size();
    figures.logRows = window->logView()->rowCount();
    figures.storeMemory = capture.store()->memoryUsage();
    figures.viewMemory = window->logView()->memoryUsage();
    figures.pending = quint64(parser.pending(Direction::Rx).size());
    for (quint64 i = 0; i < capture.size(); ++i)
        figures.capturedPlusPending += quint64(capture.at(i).data.size());
    figures.capturedPlusPending += figures.pending;

    const QString captureName = folder + QStringLiteral("/capture.xml");
    QElapsedTimer saveClock;
    saveClock.start();
    RunReportingErrors(window.get(), [&] { window->parser().SaveToFile(captureName); });
    figures.saveSeconds = double(saveClock.nsecsElapsed()) / 1e9;
    figures.saved = checkCaptureFile(captureName, trafficName);
    QFile::remove(captureName);

    window->link().OpenConnection(pugi::xml_node());
    window.reset();
    QCoreApplication::processEvents();
    ::malloc_trim(0);
    return figures;
}

Figures programTcp(quint64 bytes, const QString &folder, const QString &trafficName)
{
    QProcess peer;
    startPeer(peer, {QStringLiteral("--peer-tcp"), trafficName});
    const QByteArray port = firstLine(peer);
    if (port.isEmpty()) {
        finish(peer);
        return {};
    }
    Figures figures = programRun(
        bytes, folder, trafficName,
        [&](TfMainTarvelTerm &window) {
            pugi::xml_node node = window.config().root().append_child("CONNECTION");
            node.append_attribute("type") = "TCP";
            node.append_attribute("ip") = "127.0.0.1";
            node.append_attribute("port") = port.constData();
            window.link().OpenConnection(node);
            return true;
        },
        [](TfMainTarvelTerm &window) { return window.link().tcpClient().bytesRead(); });
    peer.waitForFinished(5000);
    if (peer.exitCode() != 0 || peer.readAll().trimmed().toULongLong() != bytes)
        figures.note = QStringLiteral("the peer did not send everything");
    finish(peer);
    return figures;
}

Figures programSerial(quint64 bytes, const QString &folder, const QString &trafficName)
{
    Pseudoterminals pair(folder);
    if (!pair.ready())
        return {};
    QProcess peer;
    startPeer(peer, {QStringLiteral("--peer-pty"), trafficName, pair.peerPath()});
    if (firstLine(peer) != "ready") {
        finish(peer);
        return {};
    }
    Figures figures = programRun(bytes, folder, trafficName, [&](TfMainTarvelTerm &window) {
        pugi::xml_node node = window.config().root().append_child("CONNECTION");
        node.append_attribute("type") = "serial";
        node.append_attribute("port") = SerialPortNumber;
        node.append_attribute("baudrate") = 115200;
        window.link().OpenConnection(node);
        if (!window.link().serialPort().isOpen())
            return false;
        peer.write("go\n");
        peer.waitForBytesWritten();
        return true;
    });
    finish(peer);
    return figures;
}

// The splitter feeding the log's rows alone, as the window has them: the
// same traffic from memory in 64 KiB pieces into a fresh store, with no link,
// no event loop and no painting. What the window cannot go below.
struct SplitterAlone
{
    bool ran = false;
    double seconds = 0;
    CpuTime cpu;
};

SplitterAlone splitterAlone(const QString &trafficName)
{
    constexpr qsizetype Piece = 64 * 1024;
    SplitterAlone figures;
    QFile file(trafficName);
    if (!file.open(QIODevice::ReadOnly))
        return figures;
    const QByteArray traffic = file.readAll();
    {
        auto store = std::make_shared<DatagramStore>();
        TTarvelParser parser(store);
        TTerminalLogView view(store);
        parser.onPacket = [&view](const Datagram &datagram) { view.AddPacketRow(datagram); };
        const CpuTime before = cpuTime();
        QElapsedTimer clock;
        clock.start();
        for (qsizetype at = 0; at < traffic.size(); at += Piece) {
            parser.ProcessData(
                QByteArrayView(traffic).sliced(at, std::min(Piece, traffic.size() - at)),
                Direction::Rx, false);
        }
        figures.seconds = double(clock.nsecsElapsed()) / 1e9;
        figures.cpu = cpuTime() - before;
        parser.onPacket = nullptr;
    }
    figures.ran = true;
    ::malloc_trim(0);
    return figures;
}

// ---------------------------------------------------------------- report

const char *verdict(bool pass)
{
    return pass ? "PASS" : "MISS";
}

struct Column
{
    const char *name = "";
    PlainRun plain;
    Figures program;
    SplitterAlone alone;
};

void printRow(const char *figure, const QList<Column> &columns,
              const std::function<std::string(const Column &)> &cell, const char *target = "")
{
    std::printf("  %-30s", figure);
    for (const Column &column : columns)
        std::printf(" %-24s", column.program.ran ? cell(column).c_str() : "(not run)");
    std::printf(" %s\n", target);
}

std::string format(const char *pattern, double value, const char *suffix = "")
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return std::string(text) + suffix;
}

std::string judged(const std::string &text, bool pass)
{
    return text + "  " + verdict(pass);
}

void printReport(const QList<Column> &columns)
{
    std::printf("\n  %-30s", "figure (MB = 10^6 bytes)");
    for (const Column &column : columns)
        std::printf(" %-24s", column.name);
    std::printf(" target\n");

    printRow("bytes sent", columns,
             [](const Column &c) { return format("%.0f", double(c.program.sent)); });
    printRow("plain reader wall time", columns, [](const Column &c) {
        return c.plain.complete ? format("%.3f s", c.plain.seconds) : std::string("incomplete");
    });
    printRow("plain reader rate", columns, [](const Column &c) {
        return c.plain.complete ? format("%.1f MB/s", c.program.megabytes() / c.plain.seconds)
                                : std::string("-");
    });
    printRow("program drain time", columns, [](const Column &c) {
        if (!c.program.complete)
            return std::string("incomplete");
        return format("%.3f s", c.program.drainOrProcessingSeconds()) +
               (c.program.drainWatched() ? "" : " (= processing)");
    });
    printRow("program drain rate", columns, [](const Column &c) {
        return format("%.1f MB/s", c.program.megabytes() / c.program.drainOrProcessingSeconds());
    });
    char target[64];
    std::snprintf(target, sizeof target, ">= %.2f", MinRateRatio);
    printRow(
        "drain rate program / plain", columns,
        [](const Column &c) {
            if (!c.plain.complete || !c.program.complete)
                return std::string("-  MISS");
            const double ratio = c.plain.seconds / c.program.drainOrProcessingSeconds();
            return judged(format("%.2f", ratio), ratio >= MinRateRatio);
        },
        target);
    printRow("program processing time", columns, [](const Column &c) {
        return c.program.complete ? format("%.3f s", c.program.seconds) : std::string("incomplete");
    });
    printRow("program processing rate", columns, [](const Column &c) {
        return format("%.1f MB/s", c.program.megabytes() / c.program.seconds);
    });
    printRow("  processing / plain reader", columns, [](const Column &c) {
        if (!c.plain.complete || !c.program.complete)
            return std::string("-");
        return format("%.2f", c.plain.seconds / c.program.seconds);
    });
    std::snprintf(target, sizeof target, "<= %.3f s", MaxCpuSecondsPerMb);
    printRow(
        "CPU per MB received", columns,
        [](const Column &c) {
            const double perMb = c.program.cpu.total() / c.program.megabytes();
            return judged(format("%.4f s", perMb),
                          c.program.complete && perMb <= MaxCpuSecondsPerMb);
        },
        target);
    printRow("  of which system", columns, [](const Column &c) {
        return format("%.4f s", c.program.cpu.system / c.program.megabytes());
    });
    std::snprintf(target, sizeof target, "<= %.1f MB", MaxMemoryPerMb);
    printRow(
        "memory growth per MB received", columns,
        [](const Column &c) {
            if (c.program.peakGrowth < 0)
                return std::string("unknown");
            const double perMb = double(c.program.peakGrowth) / Megabyte / c.program.megabytes();
            return judged(format("%.2f MB", perMb, c.program.peakIsRss ? " (RSS)" : ""),
                          c.program.complete && perMb <= MaxMemoryPerMb);
        },
        target);
    printRow("  of which datagram store", columns, [](const Column &c) {
        return format("%.2f MB", double(c.program.storeMemory) / Megabyte / c.program.megabytes());
    });
    printRow("  of which log view's own", columns, [](const Column &c) {
        return format("%.2f MB", double(c.program.viewMemory) / Megabyte / c.program.megabytes());
    });
    std::snprintf(target, sizeof target, "<= %.0f ms", MaxEventLoopDelayMs);
    printRow(
        "worst event-loop delay", columns,
        [](const Column &c) {
            return judged(format("%.1f ms", c.program.worstDelayMs),
                          c.program.worstDelayMs <= MaxEventLoopDelayMs);
        },
        target);
    printRow(
        "every byte in the capture", columns,
        [](const Column &c) {
            const Figures &f = c.program;
            const bool pass = f.complete && f.capturedPlusPending == f.bytes && f.saved.matches &&
                              f.saved.datagrams == f.datagrams &&
                              f.saved.bytes + f.pending == f.bytes && f.logRows == f.datagrams;
            return judged(pass ? "yes" : "no", pass);
        },
        "capture + pending = sent; saved file = traffic; log rows = datagrams");
    printRow("  capture + pending Rx bytes", columns,
             [](const Column &c) { return format("%.0f", double(c.program.capturedPlusPending)); });
    printRow("  bytes in the saved file", columns, [](const Column &c) {
        return format("%.0f", double(c.program.saved.bytes)) +
               (c.program.saved.matches ? " (same)" : " (DIFFER)");
    });
    printRow("  pending Rx bytes", columns,
             [](const Column &c) { return format("%.0f", double(c.program.pending)); });
    printRow("  datagrams / log rows", columns, [](const Column &c) {
        return format("%.0f", double(c.program.datagrams)) + " / " +
               format("%.0f", double(c.program.logRows));
    });
    printRow("reads from the link", columns, [](const Column &c) {
        return format("%.0f", double(c.program.reads)) + ", max " +
               format("%.0f", double(c.program.largestRead)) + " B";
    });
    printRow("log / Rx-box repaints per s", columns, [](const Column &c) {
        return format("%.0f", c.program.logPaints / c.program.seconds) + " / " +
               format("%.0f", c.program.bufferPaints / c.program.seconds);
    });
    printRow("splitter + log rows alone", columns, [](const Column &c) {
        if (!c.alone.ran)
            return std::string("-");
        const double megabytes = double(c.program.sent) / Megabyte;
        return format("%.1f MB/s", megabytes / c.alone.seconds) + ", " +
               format("%.4f s/MB", c.alone.cpu.total() / megabytes);
    });
    printRow("  of which system", columns, [](const Column &c) {
        return format("%.4f s/MB", c.alone.cpu.system / (double(c.program.sent) / Megabyte));
    });
    printRow("saving the capture", columns,
             [](const Column &c) { return format("%.2f s", c.program.saveSeconds); });
    for (const Column &column : columns) {
        if (!column.program.note.isEmpty())
            std::printf("  %s: %s\n", column.name, qPrintable(column.program.note));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--peer-tcp") == 0)
        return runTcpPeer(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--peer-pty") == 0)
        return runPtyPeer(argv[2], argv[3]);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TarvelApplication app(argc, argv);
    // Nothing may wait for a click: messages go to the console.
    SetMessagePresenter([](QWidget *, const QString &text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });

    bool sized = false;
    double tcpMegabytes = qEnvironmentVariable("TARVEL_BENCH_MB").toDouble(&sized);
    if (!sized || tcpMegabytes <= 0)
        tcpMegabytes = 100;
    const auto tcpBytes = quint64(tcpMegabytes * Megabyte);
    const auto serialBytes = std::max<quint64>(tcpBytes / 10, 100'000);

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    // The window keeps its config.xml in the working folder.
    QDir::setCurrent(folder.path());
    qputenv("TARVEL_COM_DIR", QFile::encodeName(folder.path()));

    const QString trafficName = folder.filePath(QStringLiteral("traffic.bin"));
    const Mix mix = writeTraffic(trafficName, tcpBytes);
    std::printf("Main window draining real links, offscreen; traffic of %.0f MB (serial: the "
                "first %.0f MB):\n",
                double(tcpBytes) / Megabyte, double(serialBytes) / Megabyte);
    const char *kinds[] = {"12-byte format-97 frames", "short CR lines", "random runs + CR"};
    const quint64 allItems = mix.items[0] + mix.items[1] + mix.items[2];
    const quint64 allBytes = mix.bytes[0] + mix.bytes[1] + mix.bytes[2];
    for (int kind = 0; kind < 3; ++kind) {
        std::printf("  %-26s %5.1f %% of datagrams, %5.1f %% of bytes\n", kinds[kind],
                    100.0 * double(mix.items[kind]) / double(allItems),
                    100.0 * double(mix.bytes[kind]) / double(allBytes));
    }

    if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty()) {
        std::printf("\nsocat is not installed: no figures.\n");
        return 0;
    }

    Column tcp;
    tcp.name = "TCP 127.0.0.1";
    std::printf("\nTCP peer on 127.0.0.1 ...\n");
    std::fflush(stdout);
    tcp.plain = plainTcp(trafficName, tcpBytes);
    tcp.program = programTcp(tcpBytes, folder.path(), trafficName);

    Column serial;
    serial.name = "serial (pty)";
    std::printf("pseudo-terminal pair (COM%d) ...\n", SerialPortNumber);
    std::fflush(stdout);
    const QString serialTraffic = folder.filePath(QStringLiteral("serial.bin"));
    {
        QFile whole(trafficName);
        QFile part(serialTraffic);
        if (whole.open(QIODevice::ReadOnly) && part.open(QIODevice::WriteOnly))
            part.write(whole.read(qint64(serialBytes)));
    }
    serial.plain = plainSerial(serialTraffic, folder.path(), serialBytes);
    serial.program = programSerial(serialBytes, folder.path(), serialTraffic);

    std::printf("splitter alone ...\n");
    std::fflush(stdout);
    tcp.alone = splitterAlone(trafficName);
    serial.alone = splitterAlone(serialTraffic);
    const QList<Column> columns = {tcp, serial};
    printReport(columns);
    return 0;
}
