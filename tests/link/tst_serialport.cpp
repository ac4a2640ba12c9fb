#include "core/apperror.h"
#include "link/serialport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace Connection;

namespace {

// A pseudo-terminal pair made by socat: COM5 in the mapping folder is the
// port under test, "peer" is the device at the other end.
class PtyPair
{
public:
    PtyPair()
    {
        qputenv("TARVEL_COM_DIR", QFile::encodeName(m_folder.path()));
        m_socat.setProcessChannelMode(QProcess::SeparateChannels);
        m_socat.start(QStringLiteral("socat"),
                      {QStringLiteral("-d"), QStringLiteral("-d"),
                       QStringLiteral("pty,raw,echo=0,link=%1").arg(portLink()),
                       QStringLiteral("pty,raw,echo=0,link=%1").arg(peerLink())});
    }
    ~PtyPair()
    {
        stop();
        qunsetenv("TARVEL_COM_DIR");
    }

    // Waits until socat has made both ends.
    [[nodiscard]] bool waitReady()
    {
        QSignalSpy output(&m_socat, &QProcess::readyReadStandardError);
        QByteArray log;
        while (!log.contains("starting data transfer loop")) {
            if (m_socat.state() == QProcess::NotRunning || !output.wait(5000))
                return false;
            log += m_socat.readAllStandardError();
        }
        return QFileInfo::exists(portLink()) && QFileInfo::exists(peerLink());
    }
    void stop()
    {
        if (m_socat.state() != QProcess::NotRunning) {
            m_socat.kill();
            m_socat.waitForFinished(5000);
        }
    }

    [[nodiscard]] QString portLink() const { return m_folder.filePath(QStringLiteral("COM5")); }
    [[nodiscard]] QString peerLink() const { return m_folder.filePath(QStringLiteral("peer")); }
    [[nodiscard]] QString portDevice() const { return QFileInfo(portLink()).symLinkTarget(); }

private:
    QTemporaryDir m_folder;
    QProcess m_socat;
};

// The peer end, read and written without the class under test.
class Peer
{
public:
    explicit Peer(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {}
    ~Peer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }
    [[nodiscard]] int fd() const { return m_fd; }
    bool write(const QByteArray &data)
    {
        return ::write(m_fd, data.data(), data.size()) == data.size();
    }
    // Reads until count bytes came, for at most a few seconds.
    QByteArray read(qsizetype count)
    {
        QByteArray data;
        QDeadlineTimer deadline(5000);
        while (data.size() < count && !deadline.hasExpired()) {
            char buffer[512];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                data.append(buffer, n);
            else
                QTest::qWait(5);
        }
        return data;
    }

private:
    int m_fd;
};

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private slots:
    // Settings from a connection node reach the device, and the summary
    // tells them. A pseudo-terminal keeps 8 data bits and no parity check
    // whatever it is told, so those show in the summary only.
    void settings_data()
    {
        QTest::addColumn<QByteArray>("attributes");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<speed_t>("speed");
        QTest::addColumn<tcflag_t>("cflags"); // odd, mark/space and stop bits
        QTest::addColumn<bool>("rtsCts");
        QTest::addColumn<bool>("xonXoff");
        QTest::newRow("defaults") << QByteArray() << "COM5: 9600,N,8,1" << speed_t(B9600)
                                  << tcflag_t(0) << false << false;
        QTest::newRow("even 7 2 rts")
            << QByteArray(R"(baudrate="115200" databits="7" )"
                          R"(parity="Sudá" stopbits="2" )"
                          R"(flowcontrol="Rts/Cts")")
            << "COM5: 115200,E,7,2" << speed_t(B115200) << tcflag_t(CSTOPB) << true << false;
        QTest::newRow("odd 5 1.5 xon")
            << QByteArray(R"(baudrate="1200" databits="5" parity="odd" stopbits="1,5" )"
                          R"(flowcontrol="Xon/Xoff")")
            << "COM5: 1200,O,5,1.5" << speed_t(B1200) << tcflag_t(PARODD | CSTOPB) << false << true;
        QTest::newRow("mark dtr") << QByteArray(R"(parity="Značka" flowcontrol="Dtr/Dsr")")
                                  << "COM5: 9600,M,8,1" << speed_t(B9600)
                                  << tcflag_t(PARODD | CMSPAR) << false << false;
        QTest::newRow("space 6") << QByteArray(R"(parity="Mezera" databits="6")")
                                 << "COM5: 9600,S,6,1" << speed_t(B9600) << tcflag_t(CMSPAR)
                                 << false << false;
    }
    void settings()
    {
        QFETCH(QByteArray, attributes);
        QFETCH(QString, summary);
        QFETCH(speed_t, speed);
        QFETCH(tcflag_t, cflags);
        QFETCH(bool, rtsCts);
        QFETCH(bool, xonXoff);

        PtyPair pair;
        QVERIFY(pair.waitReady());
        // Opened before the port takes the device for itself.
        Peer device(pair.portDevice());
        QVERIFY(device.isOpen());

        pugi::xml_document document;
        document.load_string(
            ("<connection type=\"serial\" port=\"5\" " + attributes + "/>").constData());
        TSerialPort port;
        ApplyConnectionToPort(port, document.document_element());
        QSignalSpy opened(&port, &TSerialPort::portOpened);
        port.open();
        QCOMPARE(opened.size(), 1);
        QVERIFY(port.isOpen());
        QCOMPARE(port.summary(), summary);

        termios mode = {};
        QVERIFY(::tcgetattr(device.fd(), &mode) == 0);
        QCOMPARE(cfgetospeed(&mode), speed);
        QCOMPARE(mode.c_cflag & (PARODD | CMSPAR | CSTOPB), cflags);
        QCOMPARE(bool(mode.c_cflag & CRTSCTS), rtsCts);
        QCOMPARE(bool(mode.c_iflag & IXON), xonXoff);
    }

    // A rate outside the standard list opens as a custom rate.
    void customBaudRate()
    {
        PtyPair pair;
        QVERIFY(pair.waitReady());
        TSerialPort port;
        port.setComNumber(5);
        port.setBaudRate(14400);
        port.open();
        QVERIFY(port.isOpen());
        QCOMPARE(port.summary(), "COM5: 14400,N,8,1");
    }

    // Every byte value both ways; modem-line writes that a pseudo-terminal
    // refuses change nothing else.
    void dataBothWays()
    {
        PtyPair pair;
        QVERIFY(pair.waitReady());
        Peer peer(pair.peerLink());
        QVERIFY(peer.isOpen());
        TSerialPort port;
        port.setComNumber(5);
        QSignalSpy closed(&port, &TSerialPort::portClosed);
        port.open();

        port.setRts(false);
        port.setDtr(false);
        QVERIFY(port.isOpen());
        QVERIFY(!port.rts());
        QVERIFY(!port.dtr());
        QVERIFY(!port.cts());
        QVERIFY(!port.dsr());

        const QByteArray bytes = allByteValues();
        QCOMPARE(port.write(bytes), bytes.size());
        QCOMPARE(peer.read(bytes.size()), bytes);

        QSignalSpy received(&port, &TSerialPort::dataReceived);
        QVERIFY(peer.write(bytes));
        QByteArray got;
        while (got.size() < bytes.size() && received.wait(5000))
            got += port.readAll();
        QCOMPARE(got, bytes);
        QCOMPARE(closed.size(), 0);
    }

    // The other end of the pseudo-terminal goes away: the port closes once
    // and stays closed; it opens again when the device is back.
    void vanishingDevice()
    {
        auto pair = std::make_unique<PtyPair>();
        QVERIFY(pair->waitReady());
        TSerialPort port;
        port.setComNumber(5);
        port.open();
        QSignalSpy closed(&port, &TSerialPort::portClosed);

        pair->stop();
        QVERIFY(closed.wait(5000));
        QVERIFY(!port.isOpen());
        QVERIFY(!closed.wait(300));
        QCOMPARE(closed.size(), 1);
        QCOMPARE(port.write("x"), -1);

        pair.reset();
        pair = std::make_unique<PtyPair>();
        QVERIFY(pair->waitReady());
        port.open();
        QVERIFY(port.isOpen());
        port.close();
        QCOMPARE(closed.size(), 2);
    }

    void closeAlwaysReports()
    {
        TSerialPort port;
        QSignalSpy closed(&port, &TSerialPort::portClosed);
        port.close();
        port.close();
        QCOMPARE(closed.size(), 2);
        QVERIFY(!port.isOpen());
    }

    // Failures name the port and the reason; no open event follows.
    void openFailures_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("baudRate");
        QTest::addColumn<QStringList>("mentions");
        QTest::newRow("no mapping") << 150 << 8 << 9600 << QStringList{"COM150", "no device"};
        QTest::newRow("missing device")
            << 7 << 8 << 9600 << QStringList{"COM7", "/missing/tty", "No such file"};
        QTest::newRow("4 data bits") << 5 << 4 << 9600 << QStringList{"COM5", "4 data bits"};
        QTest::newRow("zero rate") << 5 << 8 << 0 << QStringList{"0 is no baud rate"};
    }
    void openFailures()
    {
        QFETCH(int, number);
        QFETCH(int, dataBits);
        QFETCH(int, baudRate);
        QFETCH(QStringList, mentions);

        PtyPair pair;
        QVERIFY(pair.waitReady());
        QVERIFY(QFile::link("/missing/tty", QFileInfo(pair.portLink()).dir().filePath("COM7")));
        TSerialPort port;
        port.setComNumber(number);
        port.setDataBits(dataBits);
        port.setBaudRate(baudRate);
        QSignalSpy opened(&port, &TSerialPort::portOpened);
        try {
            port.open();
            QFAIL("open() did not fail");
        } catch (const AppError &error) {
            for (const QString &mention : mentions)
                QVERIFY2(error.message().contains(mention), qPrintable(error.message()));
        }
        QVERIFY(!port.isOpen());
        QCOMPARE(opened.size(), 0);
    }

    // A device the user may not open: the reason names the owning group.
    void permissionDenied()
    {
        if (::geteuid() == 0)
            QSKIP("root opens every device");
        PtyPair pair;
        QVERIFY(pair.waitReady());
        QVERIFY(QFile::setPermissions(pair.portDevice(), QFile::Permissions()));
        TSerialPort port;
        port.setComNumber(5);
        try {
            port.open();
            QFAIL("open() did not fail");
        } catch (const AppError &error) {
            QVERIFY2(error.message().contains("Permission denied"), qPrintable(error.message()));
            const QString group = QFileInfo(pair.portDevice()).group();
            QVERIFY2(error.message().contains("member of the group \"" + group + "\""),
                     qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
