#include "core/apperror.h"
#include "lang/language.h"
#include "link/intedit.h"
#include "link/newconnection.h"
#include "ui/main/messagebox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <memory>

using namespace Connection;

namespace {

QString attr(const pugi::xml_node &node, const char *name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

int connectionCount(const pugi::xml_node &root)
{
    int count = 0;
    for (const pugi::xml_node &node : root.children())
        count += IsConnectionNode(node) ? 1 : 0;
    return count;
}

// The dialog as the link control uses it, over a history parsed from text,
// with its controls found by their names.
struct Fixture
{
    pugi::xml_document document;
    pugi::xml_node root;
    std::unique_ptr<TfNewConnection> dialog = std::make_unique<TfNewConnection>();

    explicit Fixture(const char *history = "<tarvel_terminal/>")
    {
        document.load_string(history);
        root = document.document_element();
    }
    void open(pugi::xml_node current = {})
    {
        dialog->SetHistoryNode(root);
        dialog->LoadConnection(current);
        dialog->show();
    }
    template <typename T>
    T *get(const char *name) const
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    QComboBox *list(const char *name) const { return get<QComboBox>(name); }
    QListWidget *history() const { return get<QListWidget>("lbHistory"); }
    // The node of the highlighted history line, none when no line is.
    pugi::xml_node highlighted() const
    {
        const QList<QListWidgetItem *> selected = history()->selectedItems();
        if (selected.size() != 1)
            return {};
        const std::vector<TNodeHistoryObject> entries = HistoryEntries(root);
        return entries.at(size_t(history()->row(selected.front()))).node;
    }
    pugi::xml_node nth(int index) const
    {
        pugi::xml_node node = root.first_child();
        while (index-- > 0)
            node = node.next_sibling();
        return node;
    }
    void pressOk() const { QTest::mouseClick(get<QPushButton>("bOk"), Qt::LeftButton); }
};

// A pseudo-terminal: a device node that exists while it is open.
struct PseudoTerminal
{
    int fd = posix_openpt(O_RDWR | O_NOCTTY);
    QString path;
    PseudoTerminal()
    {
        if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0)
            path = QString::fromLocal8Bit(ptsname(fd));
    }
    ~PseudoTerminal()
    {
        if (fd >= 0)
            close(fd);
    }
};

} // namespace

class TestNewConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // No user's port mapping takes part.
        QVERIFY(m_comDir.isValid());
        qputenv("TARVEL_COM_DIR", QFile::encodeName(m_comDir.path()));
    }
    void init()
    {
        m_messages.clear();
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
    }
    void cleanup() { SetMessagePresenter({}); }

    void emptyHistoryShowsTheInitialSettings()
    {
        Fixture f;
        f.open();
        QCOMPARE(f.dialog->objectName(), QStringLiteral("fNewconnection"));
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Tarvel Terminal: Nové připojení"));
        QVERIFY(!f.get<QWidget>("pTop")->isVisible());
        QVERIFY(f.get<QRadioButton>("rbTcpIp")->isChecked());
        QCOMPARE(f.get<QLineEdit>("eHost")->text(), QStringLiteral("192.168.1.254"));
        QCOMPARE(f.get<TIntEdit>("iePort")->Value(), 10001);
        QCOMPARE(f.get<TIntEdit>("iePort")->MaxValue(), 65536);
        QCOMPARE(f.list("cbBaudRate")->currentText(), QStringLiteral("9600"));
        QCOMPARE(f.list("cbDataBits")->currentText(), QStringLiteral("8"));
        QCOMPARE(f.list("cbParity")->currentText(), QStringLiteral("Žádná"));
        QCOMPARE(f.list("cbStopBits")->currentText(), QStringLiteral("1"));
        QCOMPARE(f.list("cbFlowControl")->currentText(), QStringLiteral("Žádné"));

        QComboBox *ports = f.list("cbCOM");
        QCOMPARE(ports->count(), 200);
        QCOMPARE(ports->currentIndex(), -1);
        QVERIFY(ports->itemText(0).startsWith(u"COM 1"));
        QVERIFY(ports->itemText(199).startsWith(u"COM 200"));
        QCOMPARE(f.dialog->ChosenPortNumber(), 0);
        QVERIFY(!f.dialog->SelectedNode());
    }

    void radioButtonsEnableTheirControls()
    {
        Fixture f;
        f.open();
        const QStringList tcp{"lHost", "lPort", "eHost", "iePort"};
        const QStringList serial{"lCOM",      "cbCOM",      "lBaudRate",    "cbBaudRate",
                                 "lDataBits", "cbDataBits", "lStopBits",    "cbStopBits",
                                 "lParity",   "cbParity",   "lFlowControl", "cbFlowControl"};
        const auto enabled = [&f](const QStringList &names, bool expected) {
            for (const QString &name : names) {
                if (f.get<QWidget>(name.toLatin1().constData())->isEnabled() != expected)
                    return false;
            }
            return true;
        };
        QVERIFY(enabled(tcp, true));
        QVERIFY(enabled(serial, false));
        QTest::mouseClick(f.get<QRadioButton>("rbSerialPort"), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(f.get<QRadioButton>("rbSerialPort")->isChecked());
        QVERIFY(enabled(tcp, false));
        QVERIFY(enabled(serial, true));
        QTest::mouseClick(f.get<QRadioButton>("rbTcpIp"), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(enabled(tcp, true));
        QVERIFY(enabled(serial, false));
    }

    void loadsANodeIntoTheControls_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<bool>("tcp");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QStringList>("lists"); // baud rate, data bits, parity, stop bits, flow
        QTest::addColumn<bool>("selected");     // the node equals the controls afterwards

        QTest::newRow("serial as written")
            << R"(type="serial" port="3" baudrate="19200" databits="7" parity="Lichá" stopbits="2" flowcontrol="Dtr/Dsr")"
            << false << "" << 3 << QStringList{"19200", "7", "Lichá", "2", "Dtr/Dsr"} << true;
        QTest::newRow("aliases")
            << R"(type="Serial" port="5" baudrate="115200" databits="9" parity="sudá" stopbits="1.5" flowcontrol="rts")"
            << false << "" << 5 << QStringList{"115200", "8", "Sudá", "1,5", "Rts/Cts"} << false;
        QTest::newRow("baud rate not in the list")
            << R"(type="serial" port="2" baudrate="14400" databits="8" parity="Žádná" stopbits="1" flowcontrol="Žádné")"
            << false << "" << 2 << QStringList{"", "8", "Žádná", "1", "Žádné"} << false;
        QTest::newRow("defaults") << R"(type="SERIAL")" << false << "" << 1
                                  << QStringList{"9600", "8", "Žádná", "1", "Žádné"} << false;
        QTest::newRow("port not in the list")
            << R"(type="serial" port="300" parity="Mezera" flowcontrol="xon")" << false << "" << 1
            << QStringList{"9600", "8", "Mezera", "1", "Xon/Xoff"} << false;
        QTest::newRow("tcp") << R"(type="tcp" ip="10.0.0.7" port="502")" << true << "10.0.0.7"
                             << 502 << QStringList{"9600", "8", "Žádná", "1", "Žádné"} << false;
        QTest::newRow("TCP as written")
            << R"(type="TCP" port="502" ip="10.0.0.7")" << true << "10.0.0.7" << 502
            << QStringList{"9600", "8", "Žádná", "1", "Žádné"} << true;
        QTest::newRow("tcp port above the edit's range")
            << R"(type="TCP" ip="h" port="70000")" << true << "h" << 65536
            << QStringList{"9600", "8", "Žádná", "1", "Žádné"} << false;
    }
    void loadsANodeIntoTheControls()
    {
        QFETCH(QString, node);
        QFETCH(bool, tcp);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QStringList, lists);
        QFETCH(bool, selected);
        Fixture f(QStringLiteral("<tarvel_terminal><connection %1/></tarvel_terminal>")
                      .arg(node)
                      .toUtf8()
                      .constData());
        const pugi::xml_node loaded = f.nth(0);
        f.open(loaded);

        QCOMPARE(f.get<QRadioButton>("rbTcpIp")->isChecked(), tcp);
        QCOMPARE(f.get<QRadioButton>("rbSerialPort")->isChecked(), !tcp);
        if (tcp) {
            QCOMPARE(f.get<QLineEdit>("eHost")->text(), host);
            QCOMPARE(f.get<TIntEdit>("iePort")->Value(), port);
        } else {
            QCOMPARE(f.dialog->ChosenPortNumber(), port);
        }
        const QStringList shown{
            f.list("cbBaudRate")->currentText(), f.list("cbDataBits")->currentText(),
            f.list("cbParity")->currentText(), f.list("cbStopBits")->currentText(),
            f.list("cbFlowControl")->currentText()};
        QCOMPARE(shown, lists);

        // The dialog follows the loaded settings: a node that does not equal
        // them is neither selected nor highlighted.
        QCOMPARE(f.dialog->SelectedNode() == loaded, selected);
        QCOMPARE(f.highlighted() == loaded, selected);
        QCOMPARE(attr(loaded, "active"), selected ? QStringLiteral("True") : QString());
    }

    void followsTheSettings()
    {
        Fixture f(R"(<tarvel_terminal>
            <connection type="serial" port="1" baudrate="9600" databits="8" parity="Žádná" stopbits="1" flowcontrol="Žádné" time="45000"/>
            <connection type="serial" port="2" baudrate="19200" databits="8" parity="Žádná" stopbits="1" flowcontrol="Žádné" time="45002"/>
            <connection type="TCP" port="502" ip="10.0.0.7" time="45001"/>
        </tarvel_terminal>)");
        const pugi::xml_node com1 = f.nth(0), com2 = f.nth(1), tcp = f.nth(2);
        f.open();
        // The newest entry is loaded first.
        QVERIFY(f.dialog->SelectedNode() == com2);
        QVERIFY(f.highlighted() == com2);
        QCOMPARE(f.history()->currentRow(), 0);
        QCOMPARE(attr(com2, "active"), QStringLiteral("True"));

        // Away from every entry and back.
        f.list("cbBaudRate")->setCurrentText(QStringLiteral("38400"));
        QVERIFY(!f.dialog->SelectedNode());
        QVERIFY(!f.highlighted());
        QVERIFY(!com2.attribute("active"));
        f.list("cbBaudRate")->setCurrentText(QStringLiteral("19200"));
        QVERIFY(f.dialog->SelectedNode() == com2);
        QVERIFY(f.highlighted() == com2);

        // Onto another entry by its settings.
        f.list("cbCOM")->setCurrentIndex(0);
        f.list("cbBaudRate")->setCurrentText(QStringLiteral("9600"));
        QVERIFY(f.dialog->SelectedNode() == com1);
        QVERIFY(f.highlighted() == com1);
        QVERIFY(!com2.attribute("active"));
        QCOMPARE(attr(com1, "active"), QStringLiteral("True"));

        // The kind of link counts too.
        f.get<QRadioButton>("rbTcpIp")->click();
        QVERIFY(!f.dialog->SelectedNode());
        f.get<QLineEdit>("eHost")->setText(QStringLiteral("10.0.0.7"));
        f.get<TIntEdit>("iePort")->setText(QStringLiteral("502"));
        QVERIFY(f.dialog->SelectedNode() == tcp);
        QVERIFY(f.highlighted() == tcp);
    }

    void openingWithTheCurrentLinkSelectsIt()
    {
        Fixture f(R"(<tarvel_terminal>
            <connection type="TCP" port="502" ip="10.0.0.7" time="45001"/>
            <connection type="TCP" port="503" ip="10.0.0.7" time="45002"/>
        </tarvel_terminal>)");
        f.open(f.nth(0));
        QVERIFY(f.dialog->SelectedNode() == f.nth(0));
        QVERIFY(f.highlighted() == f.nth(0));
        QCOMPARE(f.get<TIntEdit>("iePort")->Value(), 502);
        QVERIFY(!f.nth(1).attribute("active"));
    }

    void equalEntriesSelectTheEarlierOne()
    {
        Fixture f(R"(<tarvel_terminal>
            <connection type="TCP" port="502" ip="10.0.0.7" time="45001"/>
            <connection type="TCP" port="502" ip="10.0.0.7" time="45002"/>
        </tarvel_terminal>)");
        f.open();
        // The later one is newer and listed first, but the earlier one wins.
        QVERIFY(f.dialog->SelectedNode() == f.nth(0));
        QCOMPARE(f.history()->currentRow(), 1);
        f.pressOk();
        QVERIFY(f.dialog->SelectedNode() == f.nth(0));
        QCOMPARE(connectionCount(f.root), 2);
    }

    void clickingHistoryLines()
    {
        Fixture f(R"(<tarvel_terminal>
            <connection type="modem" port="7" time="45003"/>
            <connection type="serial" port="4" baudrate="2400" databits="8" parity="Sudá" stopbits="1" flowcontrol="Žádné" time="45002"/>
            <connection type="TCP" port="502" ip="10.0.0.7" time="45001"/>
        </tarvel_terminal>)");
        const pugi::xml_node modem = f.nth(0), serial = f.nth(1), tcp = f.nth(2);
        f.open(tcp);
        QListWidget *lines = f.history();
        const auto click = [lines](int row) {
            QTest::mouseClick(lines->viewport(), Qt::LeftButton, {},
                              lines->visualItemRect(lines->item(row)).center());
        };

        click(1);
        QVERIFY(f.dialog->SelectedNode() == serial);
        QVERIFY(f.get<QRadioButton>("rbSerialPort")->isChecked());
        QCOMPARE(f.dialog->ChosenPortNumber(), 4);
        QCOMPARE(f.list("cbBaudRate")->currentText(), QStringLiteral("2400"));
        QCOMPARE(f.list("cbParity")->currentText(), QStringLiteral("Sudá"));

        // An entry of an unknown kind is marked but changes no control.
        click(0);
        QVERIFY(f.dialog->SelectedNode() == modem);
        QCOMPARE(attr(modem, "active"), QStringLiteral("True"));
        QVERIFY(!serial.attribute("active"));
        QVERIFY(f.get<QRadioButton>("rbSerialPort")->isChecked());
        QCOMPARE(f.dialog->ChosenPortNumber(), 4);

        click(2);
        QVERIFY(f.dialog->SelectedNode() == tcp);
        QVERIFY(f.get<QRadioButton>("rbTcpIp")->isChecked());
        QCOMPARE(f.get<QLineEdit>("eHost")->text(), QStringLiteral("10.0.0.7"));
        QVERIFY(!modem.attribute("active"));
    }

    void historyListsNewestFirst()
    {
        Fixture f(R"(<tarvel_terminal>
            <connection type="serial" port="1" baudrate="9600" databits="8" parity="Žádná" stopbits="1" time="45000,25"/>
            <language file="x"/>
            <CONNECTION type="tcp" time="45002"/>
            <connection type="serial" port="9" baudrate="57600" databits="7" parity="Mark" stopbits="2"/>
            <Connection type="usb" time="45003.5"/>
            <connection type="TCP" ip="192.168.1.254" port="10001" time="45003.5"/>
        </tarvel_terminal>)");
        f.open();
        QVERIFY(f.get<QWidget>("pTop")->isVisible());
        QListWidget *lines = f.history();
        QStringList texts;
        QList<int> kinds;
        for (int row = 0; row < lines->count(); ++row) {
            texts << lines->item(row)->text();
            kinds << lines->item(row)->data(THistoryLineDelegate::KindRole).toInt();
        }
        // Equal times keep the document order.
        QCOMPARE(texts, (QStringList{"Unknown", "192.168.1.254:10001", "unknown:unknown",
                                     "COM1: 9600,N,8,1", "COM9: 57600,M,7,2"}));
        QCOMPARE(kinds, (QList<int>{0, 1, 1, 0, 0}));
    }

    void historyTextsStartInOneColumn()
    {
        QListWidget list;
        list.setFont(QFont(QStringLiteral("Arial"), 8));
        const QFontMetrics metrics = list.fontMetrics();
        const QRect line(3, 32, 200, 16);
        const HistoryLineLayout serial = LayOutHistoryLine(metrics, line, Kind::Serial);
        const HistoryLineLayout tcp = LayOutHistoryLine(metrics, line, Kind::Tcp);
        QCOMPARE(serial.prefix, QStringLiteral("serial - "));
        QCOMPARE(tcp.prefix, QStringLiteral("TCP - "));
        QCOMPARE(serial.prefixAt, QPoint(11, 33));
        QCOMPARE(tcp.textAt, serial.textAt);
        QCOMPARE(serial.textAt.x(), 11 + metrics.horizontalAdvance(serial.prefix));
        QCOMPARE(tcp.prefixAt.x() + metrics.horizontalAdvance(tcp.prefix), tcp.textAt.x());
        QVERIFY(tcp.prefixAt.x() > serial.prefixAt.x());
    }

    void okAddsANewConnection()
    {
        Fixture f(
            R"(<tarvel_terminal><connection type="TCP" port="502" ip="10.0.0.7" time="1"/></tarvel_terminal>)");
        f.open();
        f.get<TIntEdit>("iePort")->setText(QStringLiteral("503"));
        QVERIFY(!f.dialog->SelectedNode());
        const double before = DayCount(QDateTime::currentDateTime());
        f.pressOk();
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        const pugi::xml_node added = f.dialog->SelectedNode();
        QVERIFY(added == f.nth(1));
        QCOMPARE(attr(added, "type"), QStringLiteral("TCP"));
        QCOMPARE(attr(added, "port"), QStringLiteral("503"));
        QCOMPARE(attr(added, "ip"), QStringLiteral("10.0.0.7"));
        QVERIFY(ReadTime(added) >= before - 1e-6);
        QVERIFY(ReadTime(added) < before + 0.01);
    }

    void okWithAnEqualEntryOnlyRefreshesItsTime()
    {
        Fixture f(R"(<tarvel_terminal>
            <connection type="serial" port="3" baudrate="9600" databits="8" parity="Žádná" stopbits="1" flowcontrol="Žádné" time="45000"/>
            <connection type="TCP" port="502" ip="10.0.0.7" time="45001"/>
        </tarvel_terminal>)");
        const pugi::xml_node serial = f.nth(0);
        f.open(serial);
        f.pressOk();
        QVERIFY(f.dialog->SelectedNode() == serial);
        QCOMPARE(connectionCount(f.root), 2);
        QVERIFY(f.nth(0) == serial);
        QVERIFY(ReadTime(serial) > 45001);

        // The next time the dialog opens, that entry is on top.
        Fixture again;
        again.root = f.root;
        again.open();
        QCOMPARE(again.history()->item(0)->text(), QStringLiteral("COM3: 9600,N,8,1"));
        QVERIFY(again.dialog->SelectedNode() == serial);
    }

    void okKeepsTenEntries()
    {
        QString xml = QStringLiteral("<tarvel_terminal>");
        const int times[] = {45005, 45002, 45009, 45001, 45007, 45003, 45010, 45004, 45008, 45006};
        for (int i = 0; i < 10; ++i)
            xml += QStringLiteral(R"(<connection type="TCP" ip="10.0.0.%1" port="502" time="%2"/>)")
                       .arg(i)
                       .arg(times[i]);
        xml += QStringLiteral("</tarvel_terminal>");
        const QByteArray text = xml.toUtf8();
        Fixture f(text.constData());
        f.open();
        f.get<QLineEdit>("eHost")->setText(QStringLiteral("10.0.0.99"));
        f.pressOk();
        QCOMPARE(connectionCount(f.root), 10);
        for (const pugi::xml_node &node : f.root.children())
            QVERIFY(attr(node, "ip") != u"10.0.0.3");
        QCOMPARE(attr(f.dialog->SelectedNode(), "ip"), QStringLiteral("10.0.0.99"));
    }

    void okWithoutAHostReturnsNothing()
    {
        Fixture f(
            R"(<tarvel_terminal><connection type="TCP" port="502" ip="" time="1"/></tarvel_terminal>)");
        f.open();
        f.get<QLineEdit>("eHost")->clear();
        f.pressOk();
        QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
        QVERIFY(!f.dialog->SelectedNode());
        QCOMPARE(connectionCount(f.root), 1);
    }

    void serialWithoutAPortStoresPortZero()
    {
        Fixture f;
        f.open();
        f.get<QRadioButton>("rbSerialPort")->click();
        f.pressOk();
        const pugi::xml_node added = f.dialog->SelectedNode();
        QVERIFY(added);
        QCOMPARE(attr(added, "type"), QStringLiteral("serial"));
        QCOMPARE(attr(added, "port"), QStringLiteral("0"));
        QCOMPARE(attr(added, "baudrate"), QStringLiteral("9600"));
        QCOMPARE(attr(added, "parity"), QStringLiteral("Žádná"));
        QCOMPARE(attr(added, "flowcontrol"), QStringLiteral("Žádné"));
    }

    void okWithoutAHistoryOnlyCloses()
    {
        TfNewConnection dialog;
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("bOk")), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.SelectedNode());
    }

    void tcpEntryWithoutAPortRaises()
    {
        Fixture f(
            R"(<tarvel_terminal><connection type="TCP" ip="10.0.0.7" time="1"/></tarvel_terminal>)");
        QVERIFY_THROWS_EXCEPTION(ConversionError, f.dialog->SetHistoryNode(f.root));
    }

    void portListFollowsDevices()
    {
        QTemporaryDir mapping;
        QVERIFY(mapping.isValid());
        const QByteArray previous = qgetenv("TARVEL_COM_DIR");
        qputenv("TARVEL_COM_DIR", QFile::encodeName(mapping.path()));
        const auto restore = qScopeGuard([&previous] { qputenv("TARVEL_COM_DIR", previous); });
        Fixture f;
        f.open();
        f.get<QRadioButton>("rbSerialPort")->click();
        QComboBox *ports = f.list("cbCOM");
        ports->setCurrentIndex(149);
        QCOMPARE(ports->itemText(149), QStringLiteral("COM 150"));

        PseudoTerminal device;
        QVERIFY(!device.path.isEmpty());
        const QString link = QDir(mapping.path()).filePath(QStringLiteral("COM150"));
        QVERIFY(QFile::link(device.path, link));
        QTRY_VERIFY(ports->itemText(149).contains(device.path));
        QVERIFY(ports->itemText(149).startsWith(u"COM 150"));
        QCOMPARE(f.dialog->ChosenPortNumber(), 150);
        QVERIFY(ports->isEnabled());

        QVERIFY(QFile::remove(link));
        QTRY_COMPARE(ports->itemText(149), QStringLiteral("COM 150"));
        QCOMPARE(f.dialog->ChosenPortNumber(), 150);
    }

    // Last: the language stays loaded for the rest of the run.
    void translatedWhenCreated()
    {
        QTemporaryDir folder;
        const QString fileName = folder.filePath(QStringLiteral("en.lng.xml"));
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // An ordinary literal: moc misreads "//" inside raw strings.
        file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<tarvelterminal xmlns=\"http://tarvel.example.com/xml/2008/language\">\n"
                   "  <language name=\"English\"><forms>\n"
                   "    <fNewConnection Caption=\"New connection\">\n"
                   "      <bOk Caption=\"Connect\"/>\n"
                   "      <lHistory Caption=\"History:\"/>\n"
                   "      <bCancel Colour=\"red\"/>\n"
                   "      <rbTcpIp Caption=\"not reached\"/>\n"
                   "    </fNewConnection>\n"
                   "  </forms></language>\n"
                   "</tarvelterminal>\n");
        file.close();
        Language().LoadLanguageFile(fileName);

        // The bad attribute is reported; the dialog opens all the same.
        Fixture f;
        f.open();
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("New connection"));
        QCOMPARE(f.get<QPushButton>("bOk")->text(), QStringLiteral("Connect"));
        QCOMPARE(f.get<QLabel>("lHistory")->text(), QStringLiteral("History:"));
        QCOMPARE(f.get<QRadioButton>("rbTcpIp")->text(), QStringLiteral("TCP/IP"));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.front().contains(u"Colour"));
        QVERIFY(f.dialog->isVisible());
    }

private:
    QTemporaryDir m_comDir;
    QStringList m_messages;
};

QTEST_MAIN(TestNewConnection)
#include "tst_newconnection.moc"
