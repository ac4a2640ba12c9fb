#include "link/injectionserver.h"
#include "ui/main/linkcontrol.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/main/rxbufferbox.h"
#include "ui/main/terminallogview.h"

#include "logrows.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <future>

namespace {

const QByteArray Frame = QByteArray::fromHex("2A610008010223148107AA0D");

} // namespace

// The send line, the receive-buffer box and injection, on the real window
// with real links: a TCP peer on 127.0.0.1 and the local injection socket.
class TestTraffic : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages;

    void sendLine(TfMainTarvelTerm &window, const QString &text, bool cr)
    {
        window.findChild<QLineEdit *>("Edit1")->setText(text);
        window.findChild<QCheckBox *>("cbCR")->setChecked(cr);
        window.findChild<QPushButton *>("bSend")->click();
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
    }

    void sendLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("empty with CR") << QString() << true << QStringList{"Tx 0D invalid"};
        QTest::newRow("empty without CR flushes Rx only")
            << QString() << false << QStringList{"Rx 4F4B invalid"};
        QTest::newRow("AT") << "AT" << true << QStringList{"Rx 4F4B invalid", "Tx 41540D invalid"};
        QTest::newRow("{13") << "{13" << true
                             << QStringList{"Rx 4F4B invalid", "Tx 7B31330D invalid"};
        QTest::newRow("frame") << "*a{0,8,1,2,$23,$14,$81,7,$AA}" << true
                               << QStringList{"Rx 4F4B invalid",
                                              "Tx 2A610008010223148107AA0D valid"};
    }
    void sendLine()
    {
        QFETCH(QString, text);
        QFETCH(bool, cr);
        QFETCH(QStringList, rows);
        TfMainTarvelTerm window;
        if (!text.isEmpty() || !cr)
            window.parser().ProcessData("OK", Direction::Rx, false);
        sendLine(window, text, cr);
        QCOMPARE(logRows(window), rows);
        QVERIFY(window.findChild<QLineEdit *>("Edit1")->text() == text);
    }

    void enterSendsLikeTheButton()
    {
        TfMainTarvelTerm window;
        window.show();
        auto *edit = window.findChild<QLineEdit *>("Edit1");
        edit->setText("AT");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(logRows(window), QStringList{"Tx 41540D invalid"});
    }

    void receiveBufferShowsPendingBytesAndMoveUp()
    {
        TfMainTarvelTerm window;
        window.parser().ProcessData(Frame.first(3), Direction::Rx, false);
        QCOMPARE(window.rxBufferBox()->text(), QString("2A 61 00 "));
        window.parser().ProcessData(Frame.sliced(3), Direction::Rx, false);
        QCOMPARE(window.rxBufferBox()->text(), QString());
        QCOMPARE(logRows(window), QStringList{"Rx 2A610008010223148107AA0D valid"});

        window.parser().ProcessData("ab", Direction::Rx, false);
        window.parser().ProcessData("c", Direction::Rx, false);
        QCOMPARE(window.rxBufferBox()->text(), QString("61 62 63 "));
        window.parser().ProcessData("xyz", Direction::Tx, false);
        QCOMPARE(window.rxBufferBox()->text(), QString("61 62 63 "));
        window.findChild<QPushButton *>("bMoveUp")->click();
        QCOMPARE(window.rxBufferBox()->text(), QString());
        QCOMPARE(logRows(window).last(), QString("Rx 616263 invalid"));

        // After a clear the box starts afresh, also for bytes of the same count.
        window.parser().ProcessData("de", Direction::Rx, false);
        window.findChild<QPushButton *>("bClear")->click();
        window.parser().ProcessData("fgh", Direction::Rx, false);
        QCOMPARE(window.rxBufferBox()->text(), QString("66 67 68 "));
    }

    // The box redraws at a bounded rate, so its scroll range follows the
    // bytes a little later; it still ends at the newest line, also after a
    // burst of hand-overs.
    void receiveBufferFollowsTheEnd()
    {
        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QScrollBar *bar = window.rxBufferBox()->verticalScrollBar();
        // A line without its CR: every byte stays pending.
        for (int i = 0; i < 200; ++i)
            window.parser().ProcessData(QByteArray(25, 'A'), Direction::Rx, false);
        QCOMPARE(window.rxBufferBox()->bytes().size(), 5000);
        QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
        const int firstMaximum = bar->maximum();
        window.parser().ProcessData(QByteArray(5000, 'B'), Direction::Rx, false);
        QTRY_VERIFY(bar->maximum() > firstMaximum && bar->value() == bar->maximum());
    }

    void injection()
    {
        TfMainTarvelTerm window;
        const QString path = m_dir.filePath("inject.sock");
        QVERIFY(window.StartInjectionServer(path));
        window.parser().ProcessData("OK", Direction::Rx, false);

        const auto inject = [&](const QByteArray &message) {
            // The client waits for the answer, which the window gives from
            // its event loop: the client runs on a thread of its own.
            std::future<bool> answered =
                std::async(std::launch::async, [&] { return InjectMessage(path, message, 5000); });
            QTRY_VERIFY(answered.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
            QVERIFY(answered.get());
        };
        inject(QByteArray());
        inject(QByteArray(1, '\0'));
        QCOMPARE(logRows(window), QStringList());
        inject(QByteArray(1, '\1') + Frame);
        QCOMPARE(logRows(window), QStringList{"Rx 4F4B2A610008010223148107AA0D invalid"});
        inject(QByteArray(1, '\2') + Frame);
        QCOMPARE(logRows(window).last(), QString("Tx 2A610008010223148107AA0D valid"));
    }

    void tcpLinkCarriesTrafficBothWays()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        TfMainTarvelTerm window;
        QSignalSpy status(&window, &TfMainTarvelTerm::statusMessage);
        pugi::xml_node node = window.config().root().append_child("connection");
        node.append_attribute("type") = "TCP";
        node.append_attribute("ip") = "127.0.0.1";
        node.append_attribute("port") = server.serverPort();
        window.link().OpenConnection(node);
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *peer = server.nextPendingConnection();
        QTRY_VERIFY(window.link().isLinkOpen());
        QCOMPARE(status.last().first().toString(),
                 QString("TCP: 127.0.0.1:%1").arg(server.serverPort()));
        QCOMPARE(std::string(node.attribute("status").value()), std::string("ok"));
        QVERIFY(QFile::exists("config.xml"));

        sendLine(window, "AT", true);
        QTRY_COMPARE(peer->bytesAvailable(), 3);
        QCOMPARE(peer->readAll(), QByteArray("AT\r"));
        peer->write(Frame);
        QTRY_COMPARE(logRows(window).last(), QString("Rx 2A610008010223148107AA0D valid"));

        peer->close();
        QTRY_COMPARE(status.last().first().toString(), QString("No active port!"));
        QVERIFY(!window.link().isLinkOpen());
        QCOMPARE(std::string(node.attribute("status").value()), std::string("ok"));
    }

    void refusedTcpLinkRecordsTheError()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const quint16 closedPort = server.serverPort();
        server.close();
        TfMainTarvelTerm window;
        QSignalSpy status(&window, &TfMainTarvelTerm::statusMessage);
        pugi::xml_node node = window.config().root().append_child("connection");
        node.append_attribute("type") = "tcp";
        node.append_attribute("ip") = "127.0.0.1";
        node.append_attribute("port") = closedPort;
        m_messages.clear();
        window.link().OpenConnection(node);
        QTRY_COMPARE(status.last().first().toString(), QString("TCP Windows Socket Error 10061"));
        QCOMPARE(std::string(node.attribute("status").value()), std::string("error"));
        QVERIFY(m_messages.isEmpty());
    }

    // A serial port on a pseudo-terminal pair: the program's end is COM5.
    void serialLinkOpensCarriesAndVanishes()
    {
        const QString ports = m_dir.filePath("ports");
        QDir().mkpath(ports);
        qputenv("TARVEL_COM_DIR", ports.toUtf8());
        QProcess socat;
        socat.start("socat", {"pty,raw,echo=0,link=" + ports + "/COM5",
                              "pty,raw,echo=0,link=" + ports + "/peer"});
        QVERIFY(socat.waitForStarted());
        QTRY_VERIFY(QFile::exists(ports + "/COM5") && QFile::exists(ports + "/peer"));

        TfMainTarvelTerm window;
        QSignalSpy status(&window, &TfMainTarvelTerm::statusMessage);
        pugi::xml_node node = window.config().root().append_child("connection");
        node.append_attribute("type") = "serial";
        node.append_attribute("port") = "5";
        node.append_attribute("baudrate") = "19200";
        window.link().OpenConnection(node);
        QStringList texts;
        for (const QList<QVariant> &arguments : status)
            texts << arguments.first().toString();
        QCOMPARE(texts,
                 QStringList({"No active port!", "opening comport COM5", "COM5: 19200,N,8,1"}));
        QCOMPARE(std::string(node.attribute("status").value()), std::string("ok"));

        QSerialPort peer(ports + "/peer");
        QVERIFY(peer.open(QIODevice::ReadWrite));
        sendLine(window, "AT", true);
        QByteArray received;
        QTRY_VERIFY((received += peer.readAll()).size() >= 3);
        QCOMPARE(received, QByteArray("AT\r"));
        peer.write(Frame);
        QTRY_COMPARE(logRows(window).last(), QString("Rx 2A610008010223148107AA0D valid"));

        // The device vanishes: the link ends and nothing hangs.
        socat.terminate();
        QVERIFY(socat.waitForFinished());
        QTRY_VERIFY(!window.link().isLinkOpen());
        QCOMPARE(status.last().first().toString(), QString("No active port!"));
    }

    void failedSerialOpeningAsksForSettings()
    {
        qputenv("TARVEL_COM_DIR", m_dir.filePath("no-ports").toUtf8());
        TfMainTarvelTerm window;
        pugi::xml_node node = window.config().root().append_child("connection");
        node.append_attribute("type") = "serial";
        node.append_attribute("port") = "150";
        m_messages.clear();
        bool dialogShown = false;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                dialogShown = true;
                static_cast<QDialog *>(modal)->reject();
            }
        });
        closer.start(50);
        window.link().OpenConnection(node);
        QVERIFY(dialogShown);
        QCOMPARE(std::string(node.attribute("status").value()), std::string("error"));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(
            m_messages.first().startsWith(QString::fromUtf8("Nepodařilo se otevřít seriový port")));
    }

    // Nodes full of garbage end in a reported failure and the dialog, never
    // in a crash or an escaped error.
    void garbageNodesAreReported_data()
    {
        QTest::addColumn<QString>("type");
        QTest::newRow("serial") << "serial";
        QTest::newRow("tcp") << "TCP";
        QTest::newRow("unknown") << "\x01";
    }
    void garbageNodesAreReported()
    {
        QFETCH(QString, type);
        TfMainTarvelTerm window;
        pugi::xml_node node = window.config().root().append_child("CONNECTION");
        node.append_attribute("type") = type.toUtf8().constData();
        for (const char *name : {"port", "ip", "baudrate", "databits", "parity", "stopbits",
                                 "flowcontrol", "time", "status"})
            node.append_attribute(name) = "\xC3\x28 garbage \x7F";
        m_messages.clear();
        int dialogs = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ++dialogs;
                static_cast<QDialog *>(modal)->reject();
            }
        });
        closer.start(50);
        window.link().OpenConnection(node);
        QVERIFY(!window.link().isLinkOpen());
        if (type == "\x01") {
            QCOMPARE(dialogs, 0);
            return;
        }
        QCOMPARE(dialogs, 1);
        QCOMPARE(std::string(node.attribute("status").value()), std::string("error"));
        QVERIFY(!m_messages.isEmpty());
    }

    void reopensTheNewestGoodConnectionAtStart()
    {
        QTcpServer older, newer;
        QVERIFY(older.listen(QHostAddress::LocalHost));
        QVERIFY(newer.listen(QHostAddress::LocalHost));
        QFile config("config.xml");
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral(R"(<tarvel_terminal>
            <connection type="TCP" ip="127.0.0.1" port="%1" status="ok" time="46000,5"/>
            <connection type="TCP" ip="127.0.0.1" port="%2" status="ok" time="46001,5"/>
            <connection type="TCP" ip="127.0.0.1" port="%1" status="error" time="46002,5"/>
            </tarvel_terminal>)")
                         .arg(older.serverPort())
                         .arg(newer.serverPort())
                         .toUtf8());
        config.close();
        TfMainTarvelTerm window;
        window.show();
        QTRY_VERIFY(newer.hasPendingConnections());
        QVERIFY(!older.hasPendingConnections());
        QTRY_VERIFY(window.link().isLinkOpen());
        window.close();
        QFile::remove("config.xml");
    }
};

QTEST_MAIN(TestTraffic)
#include "tst_traffic.moc"
