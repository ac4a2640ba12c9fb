#include "capture/capturefilereader.h"
#include "capture/tarvelparser.h"
#include "core/apperror.h"
#include "core/byteformat.h"
#include "core/frame97.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A correct format-97 frame with the given address, signature, instruction
// and data.
QByteArray frame(const QByteArray &body)
{
    QByteArray f;
    f.append(Frame97::Prefix);
    f.append(char(Frame97::Format));
    f.append(char(0));
    f.append(char(body.size() + 2));
    f.append(body);
    f.append(char(FrameChecksum(f)));
    f.append(char(Frame97::CarriageReturn));
    return f;
}

const QByteArray FrameA = QByteArray::fromHex("2A610008010223148107AA0D");
const QByteArray FrameB = frame(QByteArray::fromHex("05060708"));

QString hex(const QByteArray &bytes)
{
    return BytesToHex(bytes);
}

// The capture as "Rx 2A61... valid" lines.
QStringList captureRows(const TTarvelParser &parser)
{
    QStringList rows;
    for (quint64 i = 0; i < parser.capture().size(); ++i) {
        const Datagram d = parser.capture().at(i);
        rows << u"%1 %2 %3"_s.arg(DirectionName(d.direction), BytesToHex(d.data),
                                  d.valid ? u"valid"_s : u"invalid"_s);
    }
    return rows;
}

// A hand-over written as "Rx:hex" or "Tx:hex", with "!" after the direction
// for a forced one, as the send line makes them.
void handOver(TTarvelParser &parser, const QString &step)
{
    const qsizetype colon = step.indexOf(u':');
    const QStringView head = QStringView(step).first(colon);
    parser.ProcessData(HexToBytes(QStringView(step).sliced(colon + 1)),
                       head.startsWith(u"Rx") ? Direction::Rx : Direction::Tx, head.endsWith(u'!'));
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(u"capture.xml"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) < 0)
        qFatal("cannot write the test file");
    return path;
}

} // namespace

class TestCaptureFileReader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // A capture saved and opened again: datagrams cut by the rules come back
    // alike; forced ones are cut again, so their bytes may wait or join the
    // next datagram of their direction, and their validity is worked out
    // afresh.
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QString>("pendingTx");

        QTest::newRow("two Rx frames and a HELLO line")
            << QStringList{"Rx:" + hex(FrameA + FrameB.first(5)), "Rx:" + hex(FrameB.sliced(5)),
                           "Tx:" + hex("HELLO\r")}
            << QStringList{"Rx " + hex(FrameA) + " valid", "Rx " + hex(FrameB) + " valid",
                           "Tx " + hex("HELLO\r") + " valid"}
            << QString();
        QTest::newRow("a short line stays pending")
            << QStringList{"Rx:" + hex(FrameA), "Tx!:" + hex("AT\r")}
            << QStringList{"Rx " + hex(FrameA) + " valid"} << hex("AT\r");
        QTest::newRow("a forced 41 42 joins the next Tx datagram")
            << QStringList{"Tx!:4142", "Rx:" + hex(FrameA), "Tx!:" + hex("HELLO\r")}
            << QStringList{"Rx " + hex(FrameA) + " valid", "Tx " + hex("ABHELLO\r") + " valid"}
            << QString();
        QTest::newRow("a forced 41 42 at the end waits")
            << QStringList{"Rx:" + hex(FrameA), "Tx!:4142"}
            << QStringList{"Rx " + hex(FrameA) + " valid"} << u"4142"_s;
    }
    void roundTrip()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, loaded);
        QFETCH(QString, pendingTx);

        TTarvelParser original;
        for (const QString &step : steps)
            handOver(original, step);
        const QString path = m_dir.filePath(u"roundtrip.xml"_s);
        original.SaveToFile(path);

        TTarvelParser opened;
        const TCaptureFileReader reader(path);
        QCOMPARE(reader.HandOver(opened), qsizetype(original.capture().size()));
        QCOMPARE(captureRows(opened), loaded);
        QCOMPARE(BytesToHex(opened.pending(Direction::Tx)), pendingTx);
        QVERIFY(opened.pending(Direction::Rx).isEmpty());
    }

    // Files written by hand: what is loaded, how many datagrams are handed
    // over (the gauge's steps) and how many child nodes the root has (the
    // gauge's length).
    void fileContent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<qsizetype>("steps");
        QTest::addColumn<qsizetype>("nodes");

        const QByteArray a = FrameA.toHex().toUpper(), b = FrameB.toHex().toUpper();
        const auto row = [](const char *direction, const QByteArray &bytes, bool valid) {
            return u"%1 %2 %3"_s.arg(QLatin1StringView(direction), BytesToHex(bytes),
                                     valid ? u"valid"_s : u"invalid"_s);
        };

        QTest::newRow("directions other than Rx and Tx are skipped")
            << "<data><datagram direction=\"rx\" data=\"" + a +
                   "\"/><datagram direction=\"RX\" data=\"" + a +
                   "\"/><datagram direction=\" Rx\" data=\"" + a + "\"/><datagram data=\"" + a +
                   "\"/><datagram direction=\"\" data=\"" + a +
                   "\"/><datagram direction=\"Tx\" data=\"" + b + "\"/></data>"
            << QStringList{row("Tx", FrameB, true)} << qsizetype(1) << qsizetype(6);
        QTest::newRow("other names, comments, text and nested datagrams are skipped")
            << "<data><packet direction=\"Rx\" data=\"" + a + "\"/><!-- " + a +
                   " --><?datagram direction=\"Rx\"?>text<group><datagram direction=\"Rx\" "
                   "data=\"" +
                   a + "\"/></group><Datagram direction=\"Rx\" data=\"" + a +
                   "\"/><datagram direction=\"Rx\" data=\"" + b + "\"/></data>"
            << QStringList{row("Rx", FrameB, true)} << qsizetype(1) << qsizetype(7);
        QTest::newRow("a root of another name")
            << "<capture version=\"2\"><datagram direction=\"Rx\" data=\"" + a +
                   "\"></datagram></capture>"
            << QStringList{row("Rx", FrameA, true)} << qsizetype(1) << qsizetype(1);
        QTest::newRow("empty data still counts as a step")
            << "<data><datagram direction=\"Rx\" data=\"\"/><datagram direction=\"Tx\"/>"
               "<datagram direction=\"Rx\" data=\"" +
                   a + "\"/></data>"
            << QStringList{row("Rx", FrameA, true)} << qsizetype(3) << qsizetype(3);
        QTest::newRow("valid is worked out again")
            << "<data><datagram direction=\"Rx\" data=\"" + a +
                   "\" valid=\"False\"/><datagram direction=\"Rx\" "
                   "data=\"2A610008010223148107AB0D\""
                   " valid=\"True\"/></data>"
            << QStringList{row("Rx", FrameA, true),
                           row("Rx", QByteArray::fromHex("2A610008010223148107AB0D"), false)}
            << qsizetype(2) << qsizetype(2);
        QTest::newRow("any layout, lower-case hex, a trailing odd digit")
            << "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<data>\r\n\t<datagram\r\n"
               "  data='" +
                   FrameA.toHex() + "7' valid='True'\n  direction='Rx' />\n</data>\n"
            << QStringList{row("Rx", FrameA, true)} << qsizetype(1) << qsizetype(1);
        // Pairs are counted in characters: "é" is one character (two bytes in
        // UTF-8), so it is the trailing odd character and is ignored.
        QTest::newRow("a non-ASCII trailing character")
            << QByteArray("<data><datagram direction=\"Tx\" data=\"48454C4C4F0D\xC3\xA9\"/></data>")
            << QStringList{row("Tx", "HELLO\r", true)} << qsizetype(1) << qsizetype(1);
        QTest::newRow("an empty root")
            << QByteArray("<data/>") << QStringList() << qsizetype(0) << qsizetype(0);
    }
    void fileContent()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, loaded);
        QFETCH(qsizetype, steps);
        QFETCH(qsizetype, nodes);

        const TCaptureFileReader reader(writeFile(m_dir, content));
        QCOMPARE(reader.nodeCount(), nodes);
        TTarvelParser parser;
        QList<qsizetype> reported;
        QCOMPARE(reader.HandOver(parser, [&](qsizetype s) { reported << s; }), steps);
        QCOMPARE(captureRows(parser), loaded);
        QCOMPARE(reported.last(), steps);
    }

    void unreadableOrMalformedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("messagePart");

        QTest::newRow("missing file")
            << QByteArray() << u"missing.xml"_s << u"No such file or directory"_s;
        QTest::newRow("a folder") << QByteArray() << u"."_s << u"Cannot read file"_s;
        QTest::newRow("tags that do not match")
            << QByteArray("<data><datagram direction=\"Rx\" data=\"41\"></data>")
            << u"capture.xml"_s << u"at offset 43"_s;
        QTest::newRow("an empty file")
            << QByteArray() << u"capture.xml"_s << u"No document element found"_s;
        QTest::newRow("no quotes") << QByteArray("<data><datagram direction=Rx/></data>")
                                   << u"capture.xml"_s << u"attribute"_s;
    }
    void unreadableOrMalformedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, fileName);
        QFETCH(QString, messagePart);

        QTemporaryDir dir;
        if (fileName == u"capture.xml")
            writeFile(dir, content);
        const QString path = dir.filePath(fileName);
        try {
            TCaptureFileReader reader(path);
            QFAIL("no error");
        } catch (const AppError &error) {
            QVERIFY2(error.message().contains(messagePart), qPrintable(error.message()));
            QVERIFY2(error.message().contains(path), qPrintable(error.message()));
        }
    }

    void aPairThatIsNotHexStopsThereAndKeepsWhatCameBefore()
    {
        const QByteArray content =
            "<data><datagram direction=\"Rx\" data=\"" + FrameA.toHex() +
            "\"/><datagram direction=\"Tx\" data=\"" + QByteArray("HELLO\r").toHex() +
            "G1\"/><datagram direction=\"Rx\" data=\"" + FrameB.toHex() + "\"/></data>";
        const TCaptureFileReader reader(writeFile(m_dir, content));
        TTarvelParser parser;
        try {
            reader.HandOver(parser);
            QFAIL("no error");
        } catch (const ConversionError &error) {
            QCOMPARE(error.message(), u"'$G1' is not a valid integer value"_s);
        }
        QCOMPARE(captureRows(parser), QStringList{"Rx " + hex(FrameA) + " valid"});
        QVERIFY(parser.pending(Direction::Tx).isEmpty());
    }

    // Progress goes at a bounded rate, not once per node, and always ends
    // with the final count.
    void progressIsReportedSparingly()
    {
        constexpr int Count = 5000;
        QByteArray content = "<data>";
        for (int i = 0; i < Count; ++i)
            content += "<datagram direction=\"Rx\" data=\"" + FrameA.toHex() + "\"/>";
        content += "</data>";
        const TCaptureFileReader reader(writeFile(m_dir, content));

        QList<qsizetype> everyTime;
        reader.HandOver([](QByteArrayView, Direction) {},
                        [&](qsizetype steps) { everyTime << steps; }, std::chrono::milliseconds(0));
        QVERIFY2(everyTime.size() > 1 && everyTime.size() <= Count / 100,
                 qPrintable(QString::number(everyTime.size())));
        QVERIFY(std::is_sorted(everyTime.begin(), everyTime.end()));
        QCOMPARE(everyTime.last(), qsizetype(Count));

        QList<qsizetype> rarely;
        reader.HandOver([](QByteArrayView, Direction) {}, [&](qsizetype steps) { rarely << steps; },
                        std::chrono::hours(1));
        QCOMPARE(rarely, QList<qsizetype>{Count});
    }
};

QTEST_GUILESS_MAIN(TestCaptureFileReader)
#include "tst_capturefilereader.moc"
