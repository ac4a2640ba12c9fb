// Figures of the log view on the offscreen platform: the time to paint a
// full screen with few and with a million rows, the time to re-wrap a
// million rows on a resize, how fast datagrams pass from the splitter into
// the view, how late the event loop gets while 100,000 datagrams a second
// arrive, and what the view keeps per row besides the shared store.

#include "capture/tarvelparser.h"
#include "core/frame97.h"
#include "ui/main/terminallogview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr QSize ScreenSize(1280, 1024);
constexpr qsizetype ReadSize = 4096;
constexpr quint64 ManyRows = 1'000'000;
constexpr int RealTimeRate = 100'000;
constexpr int RealTimeSeconds = 3;

// A stream of traffic as a device produces it: format-97 frames with 1 to
// 24 data bytes, and now and then a text line or a thermometer line.
QByteArray makeTraffic(quint64 datagrams, QList<QByteArray> *pieces = nullptr)
{
    QRandomGenerator random(97);
    QByteArray stream;
    for (quint64 i = 0; i < datagrams; ++i) {
        QByteArray datagram;
        const quint32 kind = random.bounded(10);
        if (kind == 0) {
            datagram = "+0" + QByteArray::number(random.bounded(10, 99)) + ".5C\r";
        } else if (kind == 1) {
            datagram = "STATUS OK " + QByteArray::number(random.bounded(100000)) + '\r';
        } else {
            const int dataLength = 1 + int(random.bounded(24));
            const int length = 3 + dataLength + 2;
            datagram.append(Frame97::Prefix);
            datagram.append(char(Frame97::Format));
            datagram.append(char(length >> 8));
            datagram.append(char(length & 0xFF));
            for (int b = 0; b < 3 + dataLength; ++b)
                datagram.append(char(random.bounded(256)));
            datagram.append(char(FrameChecksum(datagram)));
            datagram.append(char(Frame97::CarriageReturn));
        }
        if (pieces)
            pieces->append(datagram);
        stream.append(datagram);
    }
    return stream;
}

void feed(TTarvelParser &parser, const QByteArray &stream)
{
    for (qsizetype at = 0; at < stream.size(); at += ReadSize)
        parser.ProcessData(
            QByteArrayView(stream).sliced(at, std::min(ReadSize, stream.size() - at)),
            Direction::Rx, false);
}

// The view as the main window has it: a splitter feeding it through onPacket.
struct Log
{
    std::shared_ptr<DatagramStore> store = std::make_shared<DatagramStore>();
    TTarvelParser parser{store};
    TTerminalLogView view{store};

    Log()
    {
        parser.onPacket = [this](const Datagram &datagram) { view.AddPacketRow(datagram); };
        view.resize(ScreenSize);
        view.show();
        QCoreApplication::processEvents();
    }

    void fill(const QByteArray &stream)
    {
        view.beginUpdate();
        feed(parser, stream);
        view.endUpdate();
        QCoreApplication::processEvents();
    }
};

struct Times
{
    double mean = 0;
    double worst = 0;
};

template <typename Step>
Times measure(int runs, Step step)
{
    Times times;
    QElapsedTimer clock;
    for (int i = 0; i < runs; ++i) {
        clock.start();
        step(i);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        times.mean += ms / runs;
        times.worst = std::max(times.worst, ms);
    }
    return times;
}

Times paintTimes(TTerminalLogView &view)
{
    return measure(100, [&view](int) { view.viewport()->repaint(); });
}

void printPaint(const char *what, TTerminalLogView &view)
{
    const Times times = paintTimes(view);
    const int lines = view.viewport()->height() / 16;
    std::printf("  %-34s %7.3f ms mean, %7.3f ms worst (%d lines of %d bytes shown)\n", what,
                times.mean, times.worst, lines, view.logLayout().bytesPerLine());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("Log view, %dx%d pixels, offscreen\n\n", ScreenSize.width(), ScreenSize.height());

    const QByteArray traffic = makeTraffic(ManyRows);

    std::printf("Paint time per full-screen frame\n");
    {
        Log log;
        log.fill(makeTraffic(100));
        printPaint("100 rows, at the end:", log.view);
    }
    Log big;
    {
        QElapsedTimer clock;
        clock.start();
        big.fill(traffic);
        std::printf("  (filling %llu rows took %.0f ms)\n", (unsigned long long)big.view.rowCount(),
                    double(clock.elapsed()));
        printPaint("1,000,000 rows, at the end:", big.view);
        big.view.setFocusedRow(qint64(big.view.rowCount() / 2));
        QCoreApplication::processEvents();
        printPaint("1,000,000 rows, in the middle:", big.view);
    }

    std::printf("\nResize of 1,000,000 rows (re-wraps every row)\n");
    {
        const QList<int> widths = {900, 1280, 700, 1100};
        const Times rewrap = measure(
            8, [&](int i) { big.view.resize(widths[i % widths.size()], ScreenSize.height()); });
        std::printf("  resize call (re-wrap):             %7.1f ms mean, %7.1f ms worst\n",
                    rewrap.mean, rewrap.worst);
        const Times withPaint = measure(8, [&](int i) {
            big.view.resize(widths[i % widths.size()], ScreenSize.height());
            big.view.viewport()->repaint();
        });
        std::printf("  resize and repaint:                %7.1f ms mean, %7.1f ms worst\n",
                    withPaint.mean, withPaint.worst);
        big.view.resize(ScreenSize);
    }

    std::printf("\nMemory per row\n");
    {
        const double rows = double(big.view.rowCount());
        std::printf("  view's own:   %6.2f bytes per row\n", double(big.view.memoryUsage()) / rows);
        std::printf("  shared store: %6.2f bytes per row (datagram bytes included)\n",
                    double(big.store->memoryUsage()) / rows);
    }

    std::printf("\nAppend rate, 1,000,000 datagrams in 4 KiB reads, no event loop\n");
    {
        TTarvelParser alone;
        QElapsedTimer clock;
        clock.start();
        feed(alone, traffic);
        const double aloneSeconds = double(clock.nsecsElapsed()) / 1e9;

        Log log;
        clock.start();
        feed(log.parser, traffic);
        const double viewSeconds = double(clock.nsecsElapsed()) / 1e9;
        std::printf("  splitter alone:            %6.2f M datagrams/s\n",
                    double(ManyRows) / aloneSeconds / 1e6);
        std::printf("  splitter -> AddPacketRow:  %6.2f M datagrams/s (%.0f ns per row in the "
                    "view)\n",
                    double(ManyRows) / viewSeconds / 1e6,
                    (viewSeconds - aloneSeconds) / double(ManyRows) * 1e9);
        QCoreApplication::processEvents();
    }

    std::printf("\nLive traffic: %d datagrams/s for %d s into a shown view\n", RealTimeRate,
                RealTimeSeconds);
    {
        QList<QByteArray> pieces;
        makeTraffic(10'000, &pieces);
        Log log;
        int paints = 0;
        struct PaintCounter : QObject
        {
            int *count;
            explicit PaintCounter(int *c) : count(c) {}
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    ++*count;
                return false;
            }
        } counter(&paints);
        log.view.viewport()->installEventFilter(&counter);

        QElapsedTimer clock;
        clock.start();
        qint64 sent = 0;
        double worstFeed = 0;
        // The link delivers what has arrived since the last read, like a
        // serial port's data event every millisecond.
        QTimer link;
        link.setTimerType(Qt::PreciseTimer);
        QObject::connect(&link, &QTimer::timeout, [&] {
            QElapsedTimer feedClock;
            feedClock.start();
            const qint64 due = clock.nsecsElapsed() * RealTimeRate / 1'000'000'000;
            QByteArray chunk;
            for (; sent < due; ++sent)
                chunk.append(pieces[sent % pieces.size()]);
            log.parser.ProcessData(chunk, Direction::Rx, false);
            worstFeed = std::max(worstFeed, double(feedClock.nsecsElapsed()) / 1e6);
        });
        // A probe that should fire every 5 ms; its lateness is the delay
        // the user would feel.
        constexpr int ProbeInterval = 5;
        QElapsedTimer probeClock;
        double worstLateness = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const double late = double(probeClock.nsecsElapsed()) / 1e6 - ProbeInterval;
            worstLateness = std::max(worstLateness, late);
            probeClock.start();
        });
        QTimer stop;
        stop.setSingleShot(true);
        QObject::connect(&stop, &QTimer::timeout, &app, &QApplication::quit);

        link.start(1);
        probe.start(ProbeInterval);
        probeClock.start();
        stop.start(RealTimeSeconds * 1000);
        QApplication::exec();
        link.stop();
        probe.stop();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        const quint64 rows = log.view.rowCount();
        // Let the last coalesced repaint happen.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 100)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

        std::printf("  rows added:               %llu (%.0f datagrams/s)\n",
                    (unsigned long long)rows, double(rows) / seconds);
        std::printf("  view repaints:            %d (%.0f per second)\n", paints,
                    double(paints) / seconds);
        std::printf("  worst event-loop delay:   %.2f ms (5 ms probe timer's lateness)\n",
                    worstLateness);
        std::printf("  worst single read:        %.2f ms\n", worstFeed);
        std::printf("  last row in view after:   %s\n",
                    log.view.viewport()->rect().contains(log.view.rowRect(log.view.rowCount() - 1))
                        ? "yes"
                        : "no");
    }
    return 0;
}
