#include "core/apperror.h"
#include "link/connectionnode.h"

#include <QTest>

using namespace Connection;

namespace {
pugi::xml_node parse(pugi::xml_document &document, const char *xml)
{
    document.load_string(xml);
    return document.document_element();
}

Choice serialChoice(int port)
{
    Choice choice;
    choice.serialPort = port;
    return choice;
}
} // namespace

class TestConnectionNode : public QObject
{
    Q_OBJECT

private slots:
    void aliases_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("flow");
        QTest::newRow("sudá") << QString::fromUtf8("sudá") << int(Parity::Even) << 0;
        QTest::newRow("Sudá") << QString::fromUtf8("Sudá") << int(Parity::Even) << 0;
        QTest::newRow("SUDÁ") << QString::fromUtf8("SUDÁ") << int(Parity::Even) << 0;
        QTest::newRow("even") << "even" << int(Parity::Even) << 0;
        QTest::newRow("1") << "1" << int(Parity::Even) << int(FlowControl::XonXoff);
        QTest::newRow("Lichá") << QString::fromUtf8("Lichá") << int(Parity::Odd) << 0;
        QTest::newRow("značka") << QString::fromUtf8("značka") << int(Parity::Mark) << 0;
        QTest::newRow("Mezera") << "Mezera" << int(Parity::Space) << 0;
        QTest::newRow("4") << "4" << int(Parity::Space) << 0;
        QTest::newRow("other word") << "weird" << int(Parity::None) << 0;
        QTest::newRow("Xon/Xoff") << "Xon/Xoff" << 0 << int(FlowControl::XonXoff);
        QTest::newRow("software") << "software" << 0 << int(FlowControl::XonXoff);
        QTest::newRow("Rts/Cts") << "Rts/Cts" << 0 << int(FlowControl::RtsCts);
        QTest::newRow("cts") << "cts" << 0 << int(FlowControl::RtsCts);
        QTest::newRow("Dtr/Dsr") << "Dtr/Dsr" << 0 << int(FlowControl::DtrDsr);
        QTest::newRow("DTR/RTS") << "DTR/RTS" << 0 << int(FlowControl::DtrDsr);
        QTest::newRow("3") << "3" << int(Parity::Mark) << int(FlowControl::DtrDsr);
    }
    void aliases()
    {
        QFETCH(QString, value);
        QFETCH(int, parity);
        QFETCH(int, flow);
        QCOMPARE(int(ParityFromText(value)), parity);
        QCOMPARE(int(FlowControlFromText(value)), flow);
    }

    void stopAndDataBits()
    {
        QCOMPARE(StopBitsFromText("1.5"), StopBits::OneAndHalf);
        QCOMPARE(StopBitsFromText("1,5"), StopBits::OneAndHalf);
        QCOMPARE(StopBitsFromText("1.50"), StopBits::One);
        QCOMPARE(StopBitsFromText("3"), StopBits::One);
        QCOMPARE(StopBitsFromText("2"), StopBits::Two);
        QCOMPARE(DataBitsItem("5"), 1);
        QCOMPARE(DataBitsItem("9"), 4);
        QCOMPARE(DataBitsItem("x"), 4);
    }

    void serialSettings()
    {
        pugi::xml_document document;
        const pugi::xml_node root = parse(document, R"(<r>
            <CONNECTION type="serial" port="3" baudrate="14400" databits="9" parity="Sudá" stopbits="2" flowcontrol="Rts/Cts"/>
            <connection type="serial"/>
            <connection type="serial" port="x"/></r>)");
        const SerialSettings custom = ReadSerialSettings(root.first_child());
        QCOMPARE(custom.port, 3);
        QCOMPARE(custom.baudRate, 14400);
        QVERIFY(!custom.dataBits);
        QCOMPARE(custom.parity, Parity::Even);
        QCOMPARE(custom.stopBits, StopBits::Two);
        QCOMPARE(custom.flowControl, FlowControl::RtsCts);

        const SerialSettings defaults = ReadSerialSettings(root.first_child().next_sibling());
        QCOMPARE(defaults.port, -1);
        QCOMPARE(defaults.baudRate, 9600);
        QCOMPARE(defaults.dataBits, std::optional<int>(8));
        QVERIFY_THROWS_EXCEPTION(ConversionError, (void)ReadSerialSettings(root.last_child()));
    }

    void displayText_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<QString>("text");
        QTest::newRow("serial")
            << R"(<connection type="Serial" port="1" baudrate="9600" parity="Žádná" databits="8" stopbits="1"/>)"
            << "COM1: 9600,N,8,1";
        QTest::newRow("serial defaults") << R"(<connection type="serial" parity="mark"/>)"
                                         << "COM1: 9600,M,8,1";
        QTest::newRow("tcp") << R"(<connection type="tcp" ip="192.168.1.254" port="10001"/>)"
                             << "192.168.1.254:10001";
        QTest::newRow("tcp without address") << R"(<connection type="TCP"/>)"
                                             << "unknown:unknown";
        QTest::newRow("other") << R"(<connection type="modem"/>)"
                               << "Unknown";
    }
    void displayText()
    {
        QFETCH(QString, xml);
        QFETCH(QString, text);
        pugi::xml_document document;
        QCOMPARE(HistoryDisplayText(parse(document, xml.toUtf8().constData())), text);
    }

    void timeReadsUnderEitherSeparator()
    {
        pugi::xml_document document;
        const pugi::xml_node root = parse(
            document,
            R"(<r><connection time="45678,25"/><connection time="45678.25"/><connection/></r>)");
        QCOMPARE(ReadTime(root.first_child()), 45678.25);
        QCOMPARE(ReadTime(root.first_child().next_sibling()), 45678.25);
        QCOMPARE(ReadTime(root.last_child()), 0.0);
        QCOMPARE(DayCount(QDateTime(QDate(1899, 12, 31), QTime(6, 0))), 1.25);
        const QString written = DayCountText(45678.25);
        QVERIFY(written == "45678.25" || written == "45678,25");
    }

    // Confirming a new connection appends it; the eleventh removes the
    // oldest; an equal one only gets a new time.
    void historyKeepsTenEntries()
    {
        pugi::xml_document document;
        pugi::xml_node root = parse(document, "<tarvel_terminal><presets/></tarvel_terminal>");
        const QDateTime start(QDate(2026, 1, 1), QTime(8, 0));
        for (int port = 1; port <= 10; ++port)
            QVERIFY(ConfirmConnection(root, serialChoice(port), start.addSecs(60 * port)));
        QCOMPARE(HistoryEntries(root).size(), 10u);

        const pugi::xml_node again = ConfirmConnection(root, serialChoice(5), start.addSecs(3600));
        QCOMPARE(HistoryEntries(root).size(), 10u);
        QCOMPARE(HistoryEntries(root).front().node, again);

        Choice tcp;
        tcp.tcp = true;
        tcp.host = "127.0.0.1";
        tcp.tcpPort = 10001;
        ConfirmConnection(root, tcp, start.addSecs(7200));
        const auto entries = HistoryEntries(root);
        QCOMPARE(entries.size(), 10u);
        QCOMPARE(entries.front().text, QString("127.0.0.1:10001"));
        QCOMPARE(entries.front().kind, Kind::Tcp);
        QCOMPARE(entries[1].text, QString("COM5: 9600,N,8,1"));
        for (const auto &entry : entries)
            QVERIFY(entry.text != "COM1: 9600,N,8,1");
        QVERIFY(root.child("presets"));

        tcp.host.clear();
        QVERIFY(!ConfirmConnection(root, tcp, start));
    }

    void matchingComparesExactTexts()
    {
        pugi::xml_document document;
        const pugi::xml_node root = parse(document, R"(<r>
            <connection type="Serial" port="2" baudrate="9600" databits="8" parity="Žádná" stopbits="1" flowcontrol="Žádné"/>
            <connection type="serial" port="02" baudrate="9600" databits="8" parity="Žádná" stopbits="1" flowcontrol="Žádné"/>
            <connection type="TCP" ip="10.0.0.1"/></r>)");
        QCOMPARE(FindConnection(root, serialChoice(2)), root.first_child().next_sibling());
        Choice tcp;
        tcp.tcp = true;
        tcp.host = "10.0.0.1";
        QVERIFY(!FindConnection(root, tcp));
    }

    void lastGoodConnection()
    {
        pugi::xml_document document;
        const pugi::xml_node root = parse(document, R"(<r>
            <connection id="a" status="ok" time="100"/>
            <connection id="b" status="error" time="300"/>
            <connection id="c" status="ok" time="200"/>
            <connection id="d" status="ok" time="200"/>
            <other status="ok" time="900"/>
            <connection id="e" status="connecting" time="400"/></r>)");
        QCOMPARE(std::string(LastGoodConnection(root).attribute("id").value()), std::string("c"));
        pugi::xml_document empty;
        QVERIFY(!LastGoodConnection(parse(empty, R"(<r><connection status="OK"/></r>)")));
    }
};

QTEST_GUILESS_MAIN(TestConnectionNode)
#include "tst_connectionnode.moc"
