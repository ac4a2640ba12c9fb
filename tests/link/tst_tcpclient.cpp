#include "core/apperror.h"
#include "link/tcpclient.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Records the client's events in order, as names.
class EventLog : public QObject
{
public:
    explicit EventLog(TTcpClient &client)
    {
        connect(&client, &TTcpClient::connecting, this, [this] { events << "connecting"; });
        connect(&client, &TTcpClient::connected, this, [this] { events << "connected"; });
        connect(&client, &TTcpClient::disconnected, this, [this] { events << "disconnected"; });
        connect(&client, &TTcpClient::errorOccurred, this,
                [this](int code) { events << QStringLiteral("error %1").arg(code); });
    }
    QStringList events;
};

// A server on the loopback with the one connection it accepted.
struct LoopbackServer
{
    QTcpServer server;
    QTcpSocket *peer = nullptr;

    bool listen() { return server.listen(QHostAddress::LocalHost); }
    bool accept()
    {
        if (!server.hasPendingConnections() && !server.waitForNewConnection(5000))
            return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
};

// Opens the client to the server and waits until both ends are connected.
bool connectTo(TTcpClient &client, LoopbackServer &server)
{
    client.setAddress(QStringLiteral("127.0.0.1"));
    client.setPort(server.server.serverPort());
    client.open();
    QSignalSpy connected(&client, &TTcpClient::connected);
    return connected.wait(5000) && server.accept();
}

// Closes a socket so that the peer receives a reset instead of an end.
void resetSocket(QTcpSocket *socket)
{
    const linger abortive = {1, 0};
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                 sizeof abortive);
    socket->close();
}

} // namespace

class TestTcpClient : public QObject
{
    Q_OBJECT

private slots:
    // Connecting is announced after open() returns, then the connection;
    // bytes of every value pass both ways.
    void connectAndExchange()
    {
        LoopbackServer server;
        QVERIFY(server.listen());
        TTcpClient client;
        EventLog log(client);
        client.setAddress("127.0.0.1");
        client.setPort(server.server.serverPort());
        client.open();
        QVERIFY(log.events.isEmpty());
        QVERIFY(!client.isActive());

        QSignalSpy connected(&client, &TTcpClient::connected);
        QVERIFY(connected.wait(5000));
        QCOMPARE(log.events, QStringList({"connecting", "connected"}));
        QVERIFY(client.isActive());
        QVERIFY(server.accept());
        QCOMPARE(client.peerAddress(), "127.0.0.1");
        QCOMPARE(client.peerPort(), int(server.server.serverPort()));

        QByteArray bytes;
        for (int value = 0; value < 256; ++value)
            bytes.append(char(value));
        QSignalSpy sent(server.peer, &QTcpSocket::readyRead);
        QCOMPARE(client.write(bytes), bytes.size());
        while (server.peer->bytesAvailable() < bytes.size())
            QVERIFY(sent.wait(5000));
        QCOMPARE(server.peer->readAll(), bytes);

        QSignalSpy received(&client, &TTcpClient::dataReceived);
        server.peer->write(bytes);
        QByteArray got;
        while (got.size() < bytes.size() && received.wait(5000))
            got += client.readAll();
        QCOMPARE(got, bytes);
    }

    // A peer that sends much more than one read takes and closes at once:
    // every byte comes, in order and in bounded chunks, before the
    // disconnect, also when the queue fills and holds the peer back. Many
    // small writes reach the peer in order.
    void everyByteBeforeThePeerCloses_data()
    {
        QTest::addColumn<std::size_t>("queueLimit");
        QTest::newRow("ample queue") << TTcpClient::DefaultQueueLimit;
        QTest::newRow("queue full at 100 KiB") << std::size_t(100 * 1024);
    }
    void everyByteBeforeThePeerCloses()
    {
        QFETCH(std::size_t, queueLimit);
        LoopbackServer server;
        QVERIFY(server.listen());
        TTcpClient client(nullptr, queueLimit);
        QVERIFY(connectTo(client, server));
        EventLog log(client);

        QByteArray bytes(8 << 20, Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7 + i / 251) & 0xFF);
        QByteArray got;
        qsizetype largest = 0;
        bool bytesAfterTheEnd = false;
        connect(&client, &TTcpClient::dataReceived, &client, [&] {
            const QByteArray chunk = client.readAll();
            largest = std::max(largest, chunk.size());
            bytesAfterTheEnd = bytesAfterTheEnd || log.events.contains("disconnected");
            got += chunk;
        });
        // Written first and read by the peer: a peer closing with bytes
        // unread would reset the connection.
        QByteArray written;
        for (int i = 0; i < 100; ++i) {
            const QByteArray line = QByteArray::number(i) + '\n';
            QCOMPARE(client.write(line), line.size());
            written += line;
        }
        QTRY_COMPARE(server.peer->bytesAvailable(), written.size());
        QCOMPARE(server.peer->readAll(), written);
        server.peer->write(bytes);
        server.peer->disconnectFromHost();

        QSignalSpy disconnected(&client, &TTcpClient::disconnected);
        QVERIFY(disconnected.wait(10000));
        QCOMPARE(log.events, QStringList({"disconnected"}));
        QVERIFY(!bytesAfterTheEnd);
        QCOMPARE(got.size(), bytes.size());
        QVERIFY(got == bytes);
        QVERIFY(largest <= TTcpClient::ChunkBytes);
    }

    // The connection ends from either side: one disconnect, no error.
    void endings_data()
    {
        QTest::addColumn<bool>("byPeer");
        QTest::newRow("peer closes") << true;
        QTest::newRow("we close") << false;
    }
    void endings()
    {
        QFETCH(bool, byPeer);
        LoopbackServer server;
        QVERIFY(server.listen());
        TTcpClient client;
        QVERIFY(connectTo(client, server));
        EventLog log(client);

        QSignalSpy peerDisconnected(server.peer, &QTcpSocket::disconnected);
        if (byPeer) {
            server.peer->close();
            QSignalSpy disconnected(&client, &TTcpClient::disconnected);
            QVERIFY(disconnected.wait(5000));
        } else {
            client.close();
            QVERIFY(peerDisconnected.wait(5000));
        }
        QCOMPARE(log.events, QStringList({"disconnected"}));
        QVERIFY(!client.isActive());
        QCOMPARE(client.write("x"), -1);

        client.close(); // nothing more to end
        QCOMPARE(log.events, QStringList({"disconnected"}));
    }

    // A peer that resets the connection: the link ends first, then the
    // reason follows, so that the reason is the last word.
    void reset()
    {
        LoopbackServer server;
        QVERIFY(server.listen());
        TTcpClient client;
        QVERIFY(connectTo(client, server));
        EventLog log(client);

        resetSocket(server.peer);
        QSignalSpy error(&client, &TTcpClient::errorOccurred);
        QVERIFY(error.wait(5000));
        QCOMPARE(log.events, QStringList({"disconnected", "error 10054"}));
        QVERIFY(!client.isActive());
    }

    // A closed port refuses: the error alone, no connection, no disconnect.
    void refused()
    {
        quint16 port = 0;
        {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            port = closed.serverPort();
        }
        TTcpClient client;
        EventLog log(client);
        client.setAddress("127.0.0.1");
        client.setPort(port);
        client.open();
        QSignalSpy error(&client, &TTcpClient::errorOccurred);
        QVERIFY(error.wait(5000));
        QCOMPARE(log.events, QStringList({"connecting", "error 10061"}));
        QVERIFY(!client.isActive());
    }

    // A listener whose queue of accepted connections is full drops further
    // connection requests unanswered; the attempt ends with a timeout.
    void noAnswer()
    {
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(listener >= 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), length) == 0);
        QVERIFY(::listen(listener, 0) == 0);
        QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) == 0);
        const quint16 port = ntohs(address.sin_port);
        // Fill the queue; it is never accepted from.
        QList<QTcpSocket *> fillers;
        for (int i = 0; i < 2; ++i) {
            auto *filler = new QTcpSocket(this);
            filler->connectToHost(QHostAddress::LocalHost, port);
            filler->waitForConnected(500);
            fillers << filler;
        }

        TTcpClient client;
        client.setConnectTimeout(500);
        EventLog log(client);
        client.setAddress("127.0.0.1");
        client.setPort(port);
        client.open();
        QSignalSpy error(&client, &TTcpClient::errorOccurred);
        QVERIFY(error.wait(5000));
        QCOMPARE(log.events, QStringList({"connecting", "error 10060"}));
        QVERIFY(!client.isActive());
        QVERIFY(!error.wait(300)); // nothing arrives after the timeout

        qDeleteAll(fillers);
        ::close(listener);
    }

    // A close() before the connection starts cancels it.
    void closeBeforeConnecting()
    {
        LoopbackServer server;
        QVERIFY(server.listen());
        TTcpClient client;
        EventLog log(client);
        client.setAddress("127.0.0.1");
        client.setPort(server.server.serverPort());
        client.open();
        client.close();
        QVERIFY(!server.server.waitForNewConnection(300));
        QVERIFY(log.events.isEmpty());
    }

    // Only four decimal numbers and a port in range open; no name lookup.
    void invalidTargets_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port");
        QTest::newRow("name") << "localhost" << 80;
        QTest::newRow("empty") << "" << 80;
        QTest::newRow("three parts") << "1.2.3" << 80;
        QTest::newRow("five parts") << "1.2.3.4.5" << 80;
        QTest::newRow("out of range") << "256.0.0.1" << 80;
        QTest::newRow("hexadecimal") << "0x7f.0.0.1" << 80;
        QTest::newRow("IPv6") << "::1" << 80;
        QTest::newRow("negative port") << "127.0.0.1" << -1;
        QTest::newRow("port too big") << "127.0.0.1" << 65536;
    }
    void invalidTargets()
    {
        QFETCH(QString, address);
        QFETCH(int, port);
        TTcpClient client;
        EventLog log(client);
        client.setAddress(address);
        client.setPort(port);
        QVERIFY_THROWS_EXCEPTION(AppError, client.open());
        QTest::qWait(50);
        QVERIFY(log.events.isEmpty());
    }

    // System errors that the socket reports as one kind are told apart by
    // their text.
    void networkErrorNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("host") << "Host unreachable" << 10065;
        QTest::newRow("network") << "Network unreachable" << 10051;
        QTest::newRow("timeout") << "Connection timed out" << 10060;
        QTest::newRow("reset") << "Connection reset by peer" << 10054;
        QTest::newRow("other") << "Unknown error" << 10051;
    }
    void networkErrorNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(TTcpClient::SocketErrorCode(QAbstractSocket::NetworkError, text), code);
    }
};

QTEST_GUILESS_MAIN(TestTcpClient)
#include "tst_tcpclient.moc"
