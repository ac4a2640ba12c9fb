#include "capture/tarvelparser.h"
#include "core/apperror.h"
#include "core/byteformat.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The worked example frame: 2A 61 00 08 01 02 23 14 81 07 AA 0D.
const QByteArray Frame = QByteArray::fromHex("2A610008010223148107AA0D");

// Records every event of a splitter as a line of text, so that a whole
// sequence of hand-overs can be compared at once.
struct Recorder
{
    TTarvelParser parser;
    QStringList events;

    Recorder()
    {
        parser.onPacket = [this](const Datagram &d) {
            events << u"packet %1 %2 %3"_s.arg(DirectionName(d.direction), BytesToHex(d.data),
                                               d.valid ? u"valid"_s : u"invalid"_s);
        };
        parser.onBufferChange = [this](QByteArrayView buffer, Direction direction) {
            events << u"buffer %1 %2"_s.arg(DirectionName(direction), BytesToHex(buffer)).trimmed();
        };
    }
};

// A hand-over written as "Rx:hex", "Tx:hex", with "!" after the direction
// for a forced one: "Rx!:" flushes the Rx buffer.
void handOver(TTarvelParser &parser, const QString &step)
{
    const qsizetype colon = step.indexOf(u':');
    const QStringView head = QStringView(step).first(colon);
    const Direction direction = head.startsWith(u"Rx") ? Direction::Rx : Direction::Tx;
    parser.ProcessData(HexToBytes(QStringView(step).sliced(colon + 1)), direction,
                       head.endsWith(u'!'));
}

QString hex(const char *text)
{
    return BytesToHex(QByteArray(text));
}

} // namespace

class TestTarvelParser : public QObject
{
    Q_OBJECT

private slots:
    void cutting_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("events");

        const QString frame = BytesToHex(Frame);
        const QString half1 = frame.first(12), half2 = frame.sliced(12);

        QTest::newRow("frame in two halves")
            << QStringList{"Rx:" + half1, "Rx:" + half2}
            << QStringList{"buffer Rx " + half1, "packet Rx " + frame + " valid", "buffer Rx"};
        QTest::newRow("two frames in one hand-over")
            << QStringList{"Rx:" + frame + frame}
            << QStringList{"packet Rx " + frame + " valid", "packet Rx " + frame + " valid",
                           "buffer Rx"};
        QTest::newRow("short line waits for five bytes")
            << QStringList{"Rx:" + hex("OK\r"), "Rx:" + hex("OK\r")}
            << QStringList{"buffer Rx " + hex("OK\r"), "packet Rx " + hex("OK\r") + " valid",
                           "buffer Rx " + hex("OK\r")};
        QTest::newRow("thermometer digits go by the line rule")
            << QStringList{"Rx:" + hex("+025.3C\r")}
            << QStringList{"packet Rx " + hex("+025.3C\r") + " valid", "buffer Rx"};
        QTest::newRow("thermometer rule after a waiting frame rule")
            << QStringList{"Rx:" + hex("temp +025.3C\r")}
            << QStringList{"packet Rx " + hex("temp +025.3C\r") + " valid", "buffer Rx"};
        QTest::newRow("second byte 0: thermometer only")
            << QStringList{"Rx:4100" + hex("-025.5C\r")}
            << QStringList{"packet Rx 4100" + hex("-025.5C\r") + " valid", "buffer Rx"};
        // Only the first CR is looked at, so a later thermometer line does not help.
        QTest::newRow("second byte 0 without thermometer waits")
            << QStringList{"Tx:41004243440D" + hex("-025.5C\r")}
            << QStringList{"buffer Tx 41004243440D" + hex("-025.5C\r")};
        QTest::newRow("leading CR is a datagram of its own")
            << QStringList{"Rx:0D" + hex("ABCD")}
            << QStringList{"packet Rx 0D valid", "buffer Rx " + hex("ABCD")};
        QTest::newRow("zero length field gives a 4-byte invalid datagram")
            << QStringList{"Rx:2A61000001"}
            << QStringList{"packet Rx 2A610000 invalid", "buffer Rx 01"};
        QTest::newRow("bad checksum frame is cut invalid")
            << QStringList{"Rx:2A610008010223148107AB0D"}
            << QStringList{"packet Rx 2A610008010223148107AB0D invalid", "buffer Rx"};
        QTest::newRow("blocked frame flushed by force")
            << QStringList{"Rx:2A6100FF0102", "Rx!:"}
            << QStringList{"buffer Rx 2A6100FF0102", "packet Rx 2A6100FF0102 invalid", "buffer Rx"};
        QTest::newRow("forced empty Rx with nothing pending")
            << QStringList{"Rx!:"} << QStringList{"buffer Rx"};
        QTest::newRow("empty hand-overs do nothing")
            << QStringList{"Tx:", "Tx!:", "Rx:"} << QStringList{};
        QTest::newRow("forced frame is valid")
            << QStringList{"Tx!:" + frame}
            << QStringList{"packet Tx " + frame + " valid", "buffer Tx"};
        QTest::newRow("pending Tx joins a forced send, invalid")
            << QStringList{"Tx:" + hex("AB"), "Tx!:" + frame}
            << QStringList{"buffer Tx " + hex("AB"), "packet Tx " + hex("AB") + frame + " invalid",
                           "buffer Tx"};
        QTest::newRow("directions keep separate buffers")
            << QStringList{"Rx:" + half1, "Tx:" + hex("HELLO\r"), "Rx:" + half2}
            << QStringList{"buffer Rx " + half1, "packet Tx " + hex("HELLO\r") + " valid",
                           "buffer Tx", "packet Rx " + frame + " valid", "buffer Rx"};
        QTest::newRow("line then frame in one hand-over")
            << QStringList{"Rx:" + hex("HELLO\r") + frame}
            << QStringList{"packet Rx " + hex("HELLO\r") + " valid",
                           "packet Rx " + frame + " valid", "buffer Rx"};
    }
    void cutting()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, events);
        Recorder recorder;
        for (const QString &step : steps)
            handOver(recorder.parser, step);
        QCOMPARE(recorder.events, events);
    }

    // The largest length field: 65535 + 4 bytes make one frame once they are
    // all there, and the frame rule does not fail on it.
    void largestLengthFieldWaitsAndCuts()
    {
        Recorder recorder;
        QByteArray bytes = QByteArray::fromHex("2A61FFFF");
        bytes.append(QByteArray(65535, 'x'));
        recorder.parser.ProcessData(bytes.first(bytes.size() - 1), Direction::Rx, false);
        QCOMPARE(recorder.parser.capture().size(), 0u);
        recorder.parser.ProcessData(bytes.last(1), Direction::Rx, false);
        QCOMPARE(recorder.parser.capture().size(), 1u);
        QCOMPARE(recorder.parser.capture().at(0).data.size(), 65539);
        QVERIFY(!recorder.parser.capture().at(0).valid);
    }

    // Whatever the bytes and however they are split into hand-overs, the
    // datagrams of a direction followed by its pending bytes are exactly the
    // bytes handed over in that direction.
    void noByteIsLost()
    {
        QRandomGenerator random(20261211);
        const QByteArray alphabet = QByteArray::fromHex("0D2A61000102") + "+-.C0a";
        for (int round = 0; round < 300; ++round) {
            TTarvelParser parser;
            QByteArray sent[2], cut[2];
            parser.onPacket = [&](const Datagram &d) {
                QVERIFY(!d.data.isEmpty());
                cut[int(d.direction)] += d.data.toByteArray();
            };
            const int handOvers = random.bounded(1, 40);
            for (int h = 0; h < handOvers; ++h) {
                QByteArray data(random.bounded(0, 30), Qt::Uninitialized);
                for (char &c : data)
                    c = random.bounded(2) ? alphabet[random.bounded(int(alphabet.size()))]
                                          : char(random.bounded(256));
                const auto direction = Direction(random.bounded(2));
                const bool force = random.bounded(8) == 0;
                parser.ProcessData(data, direction, force);
                sent[int(direction)] += data;
            }
            for (Direction d : {Direction::Rx, Direction::Tx})
                QCOMPARE(cut[int(d)] + parser.pending(d).toByteArray(), sent[int(d)]);
        }
    }

    void clearEmptiesBuffersAndCaptureSilently()
    {
        Recorder recorder;
        handOver(recorder.parser, "Rx:" + BytesToHex(Frame) + "2A61");
        handOver(recorder.parser, "Tx:" + hex("AB"));
        recorder.events.clear();
        recorder.parser.Clear();
        QVERIFY(recorder.events.isEmpty());
        QVERIFY(recorder.parser.capture().isEmpty());
        QVERIFY(recorder.parser.pending(Direction::Rx).isEmpty());
        QVERIFY(recorder.parser.pending(Direction::Tx).isEmpty());
        // The next hand-over starts from nothing.
        handOver(recorder.parser, "Rx:" + BytesToHex(Frame));
        QCOMPARE(recorder.parser.capture().size(), 1u);
    }

    void saveToFileWritesTheFileForm()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"data.xml"_s);
        TTarvelParser parser;
        parser.ProcessData(Frame, Direction::Rx, false);
        parser.ProcessData("HELLO\r", Direction::Tx, false);
        parser.ProcessData(QByteArray::fromHex("2a610008010223148107ab0d"), Direction::Rx, false);
        parser.ProcessData("pending", Direction::Tx, false);
        parser.SaveToFile(path);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<data>"
                            "<datagram direction=\"Rx\" data=\"2A610008010223148107AA0D\" "
                            "valid=\"True\"></datagram>"
                            "<datagram direction=\"Tx\" data=\"48454C4C4F0D\" "
                            "valid=\"True\"></datagram>"
                            "<datagram direction=\"Rx\" data=\"2A610008010223148107AB0D\" "
                            "valid=\"False\"></datagram></data>\r\n"));
    }

    void saveAfterClearWritesAnEmptyRoot()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"data.xml"_s);
        TTarvelParser parser;
        parser.ProcessData(Frame, Direction::Rx, false);
        parser.Clear();
        parser.SaveToFile(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<data></data>\r\n"));
    }

    void saveFailureThrowsAndKeepsTheOldFile()
    {
        QTemporaryDir dir;
        TTarvelParser parser;
        parser.ProcessData(Frame, Direction::Rx, false);
        QVERIFY_THROWS_EXCEPTION(AppError, parser.SaveToFile(dir.filePath(u"no/such/dir/x.xml"_s)));

        // A folder that cannot take the temporary file leaves the old one.
        const QString path = dir.filePath(u"kept.xml"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        if (QFile(dir.filePath(u"probe"_s)).open(QIODevice::WriteOnly))
            QSKIP("running with rights that ignore folder permissions");
        QVERIFY_THROWS_EXCEPTION(AppError, parser.SaveToFile(path));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(TestTarvelParser)
#include "tst_tarvelparser.moc"
