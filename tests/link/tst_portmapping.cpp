#include "link/portmapping.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}
} // namespace

class TestPortMapping : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        qputenv("TARVEL_COM_DIR", QFile::encodeName(m_folder.path()));
    }
    void cleanup()
    {
        QDir(m_folder.path()).removeRecursively();
        QDir().mkpath(m_folder.path());
        qunsetenv("TARVEL_COM_DIR");
    }

    void folder()
    {
        QCOMPARE(PortMappingFolder(), m_folder.path());
        qunsetenv("TARVEL_COM_DIR");
        QCOMPARE(PortMappingFolder(), QDir::homePath() + "/.config/tarvel-terminal/ports");
    }

    // Without entries in the folder the fixed table decides, at the edges of
    // its ranges and beyond it.
    void fixedTable_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("path");
        QTest::newRow("COM0") << 0 << QString();
        QTest::newRow("COM1") << 1 << "/dev/ttyS0";
        QTest::newRow("COM32") << 32 << "/dev/ttyS31";
        QTest::newRow("COM33") << 33 << "/dev/ttyUSB0";
        QTest::newRow("COM64") << 64 << "/dev/ttyUSB31";
        QTest::newRow("COM65") << 65 << "/dev/ttyACM0";
        QTest::newRow("COM96") << 96 << "/dev/ttyACM31";
        QTest::newRow("COM97") << 97 << "/dev/ttyAMA0";
        QTest::newRow("COM112") << 112 << "/dev/ttyAMA15";
        QTest::newRow("COM113") << 113 << "/dev/rfcomm0";
        QTest::newRow("COM128") << 128 << "/dev/rfcomm15";
        QTest::newRow("COM129") << 129 << QString();
        QTest::newRow("COM200") << 200 << QString();
        QTest::newRow("COM201") << 201 << QString();
        QTest::newRow("COM-1") << -1 << QString();
    }
    void fixedTable()
    {
        QFETCH(int, number);
        QFETCH(QString, path);
        QCOMPARE(SerialPortPath(number), path);
    }

    // Entries of the folder come before the table and reach numbers the
    // table does not have.
    void folderEntries()
    {
        const QDir folder(m_folder.path());
        const QString device = folder.filePath("device");
        writeFile(device, {});
        QVERIFY(QFile::link(device, folder.filePath("COM1")));
        QVERIFY(QFile::link("device", folder.filePath("COM2"))); // relative link
        writeFile(folder.filePath("COM150"), "/dev/pts/7\n");
        writeFile(folder.filePath("COM151"), "  device  \n");
        writeFile(folder.filePath("COM3"), "\n"); // empty: the table decides
        QVERIFY(folder.mkdir("COM4"));            // a folder is no entry

        QCOMPARE(SerialPortPath(1), device);
        QCOMPARE(SerialPortPath(2), device);
        QCOMPARE(SerialPortPath(150), "/dev/pts/7");
        QCOMPARE(SerialPortPath(151), device);
        QCOMPARE(SerialPortPath(3), "/dev/ttyS2");
        QCOMPARE(SerialPortPath(4), "/dev/ttyS3");
        QCOMPARE(SerialPortPath(152), QString());
    }

    void availablePorts()
    {
        const QDir folder(m_folder.path());
        writeFile(folder.filePath("device"), {});
        QVERIFY(QFile::link(folder.filePath("device"), folder.filePath("COM140")));
        QVERIFY(QFile::link(folder.filePath("gone"), folder.filePath("COM141")));

        const QList<PortListEntry> ports = AvailablePorts();
        QCOMPARE(ports.size(), 200);
        for (int i = 0; i < ports.size(); ++i)
            QCOMPARE(ports[i].number, i + 1);
        QCOMPARE(ports[139].path, folder.filePath("device"));
        QVERIFY(ports[139].present);
        QCOMPARE(ports[140].path, folder.filePath("gone"));
        QVERIFY(!ports[140].present);
        QVERIFY(ports[141].path.isEmpty());
        QVERIFY(!ports[141].present);
        QCOMPARE(ports[0].path, "/dev/ttyS0");
    }
};

QTEST_GUILESS_MAIN(TestPortMapping)
#include "tst_portmapping.moc"
