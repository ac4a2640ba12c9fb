// Figures of the capture files with 1,000,000 datagrams (12-byte Rx frames
// and Tx text lines): saving beside a plain write of as many bytes; opening
// by the reader and the splitter into a store, and by the real main window
// (offscreen) with its log view, beside pugixml alone parsing the same file;
// and the peak memory of each step.

#include "capture/capturefilereader.h"
#include "capture/tarvelparser.h"
#include "core/frame97.h"
#include "ui/main/capturecommands.h"
#include "ui/main/mainwindow.h"
#include "ui/main/progresssimple.h"
#include "ui/main/terminallogview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr quint64 DatagramCount = 1'000'000;

// A line of /proc/self/status in KiB, or -1.
long long statusKiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    // The file reports no size: read it whole rather than up to its "end".
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').front().toLongLong();
    return -1;
}

// Lets the next VmHWM reading show the peak of the next step alone.
void resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

struct Step
{
    const char *name;
    QElapsedTimer timer;
    long long rssBefore;

    explicit Step(const char *stepName) : name(stepName)
    {
        resetPeak();
        rssBefore = statusKiB("VmRSS");
        timer.start();
    }

    void report(qint64 bytes) const
    {
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        const long long peak = statusKiB("VmHWM");
        std::printf("%-44s %8.3f s %9.1f MB/s   peak %7.1f MiB (+%.1f MiB)\n", name, seconds,
                    double(bytes) / 1e6 / seconds, double(peak) / 1024.0,
                    double(peak - rssBefore) / 1024.0);
        std::fflush(stdout);
    }
};

QByteArray frame(QRandomGenerator &random)
{
    QByteArray f;
    f.append(Frame97::Prefix);
    f.append(char(Frame97::Format));
    f.append(char(0));
    f.append(char(8));
    for (int i = 0; i < 6; ++i)
        f.append(char(random.bounded(256)));
    f.append(char(FrameChecksum(f)));
    f.append(char(Frame97::CarriageReturn));
    return f;
}

// Two of three datagrams are received frames, the third a sent text line.
void fillCapture(TTarvelParser &parser)
{
    QRandomGenerator random(2024);
    for (quint64 i = 0; i < DatagramCount; ++i) {
        if (i % 3 == 2)
            parser.ProcessData("SET " + QByteArray::number(random.bounded(1'000'000)) + '\r',
                               Direction::Tx, false);
        else
            parser.ProcessData(frame(random), Direction::Rx, false);
    }
}

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::exit(1);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("capture.xml"));
    std::printf("Capture of %llu datagrams in %s\n", static_cast<unsigned long long>(DatagramCount),
                qPrintable(path));

    auto source = std::make_unique<TTarvelParser>();
    fillCapture(*source);
    check(source->capture().size() == DatagramCount, "datagrams generated");

    qint64 fileSize = 0;
    {
        const Step step("save (SaveToFile)");
        source->SaveToFile(path);
        fileSize = QFileInfo(path).size();
        step.report(fileSize);
    }
    std::printf("file size %.1f MB\n", double(fileSize) / 1e6);
    {
        QFile file(path);
        check(file.open(QIODevice::ReadOnly), "file readable");
        const QByteArray bytes = file.readAll();
        const Step step("  baseline: plain write of the same bytes");
        QSaveFile out(dir.filePath(QStringLiteral("plain.xml")));
        check(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit(),
              "plain write");
        step.report(fileSize);
    }
    source.reset();

    {
        const Step step("  baseline: pugixml load_file alone");
        pugi::xml_document document;
        check(bool(document.load_file(path.toLocal8Bit().constData())), "pugixml parse");
        step.report(fileSize);
    }
    {
        const Step step("open: reader + splitter into a store");
        TTarvelParser parser;
        QElapsedTimer phase;
        phase.start();
        const TCaptureFileReader reader(path);
        const qint64 parseNs = phase.nsecsElapsed();
        const qsizetype steps = reader.HandOver(parser, [](qsizetype) {});
        check(quint64(steps) == DatagramCount, "every datagram handed over");
        check(parser.capture().size() == DatagramCount, "every datagram cut again");
        step.report(fileSize);
        std::printf("    of which reading and parsing %.3f s, handing over %.3f s\n",
                    double(parseNs) / 1e9, double(phase.nsecsElapsed() - parseNs) / 1e9);
    }
    {
        TfMainTarvelTerm window;
        AttachCaptureCommands(window);
        window.show();
        QCoreApplication::processEvents();
        auto *commands = window.findChild<TCaptureCommands *>();
        check(commands != nullptr, "capture commands attached");
        // Every pass of the event loop while the file opens, with the
        // gauge's position then.
        QElapsedTimer clock;
        QList<std::pair<qint64, int>> passes;
        QTimer watcher;
        watcher.setInterval(0);
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *progress = qobject_cast<TfProgressSimple *>(widget);
                    progress && progress->isVisible())
                    passes.append({clock.nsecsElapsed(), progress->progress()});
        });
        watcher.start();
        const Step step("open: main window with log view (offscreen)");
        clock.start();
        commands->OpenData(path);
        const qint64 total = clock.nsecsElapsed();
        watcher.stop();
        QCoreApplication::processEvents();
        check(window.logView()->rowCount() == DatagramCount, "every row in the log");
        check(window.parser().capture().size() == DatagramCount, "every datagram captured");
        step.report(fileSize);

        // The longest stretch without a pass once the gauge moves, that is
        // while the datagrams are handed over (parsing is one call).
        qint64 longestGap = 0;
        qint64 firstPass = passes.isEmpty() ? total : passes.front().first;
        for (qsizetype i = 1; i < passes.size(); ++i)
            if (passes[i - 1].second > 0)
                longestGap = std::max(longestGap, passes[i].first - passes[i - 1].first);
        std::printf("    progress window painted after %.1f ms; %lld event-loop passes;"
                    " longest gap while handing over %.1f ms\n",
                    double(firstPass) / 1e6, static_cast<long long>(passes.size()),
                    double(longestGap) / 1e6);
    }
    std::printf("VmHWM at the end %.1f MiB\n", double(statusKiB("VmHWM")) / 1024.0);
    return 0;
}
