#include "link/injectioncommand.h"
#include "link/injectionserver.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QByteArray frame(const QByteArray &message)
{
    QByteArray header(4, '\0');
    qToLittleEndian<quint32>(quint32(message.size()), header.data());
    return header + message;
}

QByteArray countOnly(quint32 count)
{
    QByteArray header(4, '\0');
    qToLittleEndian<quint32>(count, header.data());
    return header;
}

// Runs a blocking client call on a thread of its own while this thread's
// event loop serves the socket.
template <typename Call>
auto runBeside(Call call)
{
    decltype(call()) result{};
    QScopedPointer<QThread> thread(QThread::create([&] { result = call(); }));
    QSignalSpy finished(thread.get(), &QThread::finished);
    thread->start();
    if (!finished.wait(10000))
        qFatal("client call did not end");
    return result;
}

// Leaves a socket file behind as a crashed program would: bound, never
// listening, not removed.
bool makeStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), name.size());
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

} // namespace

class TestInjection : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_path;
    std::unique_ptr<TInjectionServer> m_server;
    QList<QByteArray> m_messages;

    // A raw client of the server on this thread.
    std::unique_ptr<QLocalSocket> connectClient()
    {
        auto client = std::make_unique<QLocalSocket>();
        client->connectToServer(m_path);
        if (!client->waitForConnected(5000))
            return nullptr;
        return client;
    }
    // Waits for count answers of four zero bytes.
    static bool waitAnswers(QLocalSocket &client, int count)
    {
        QSignalSpy readable(&client, &QLocalSocket::readyRead);
        while (client.bytesAvailable() < 4 * count) {
            if (!readable.wait(5000))
                return false;
        }
        return client.readAll() == QByteArray(4 * count, '\0');
    }

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        m_path = m_folder.filePath("inject.sock");
        m_messages.clear();
        m_server = std::make_unique<TInjectionServer>();
        m_server->onMessage = [this](QByteArrayView message) {
            m_messages << message.toByteArray();
        };
        QVERIFY(m_server->listen(m_path));
        QCOMPARE(m_server->path(), m_path);
    }
    void cleanup()
    {
        m_server.reset();
        QVERIFY(!QFile::exists(m_path));
    }

    void defaultPath()
    {
        qputenv("TARVEL_INJECT_SOCKET", "/somewhere/else.sock");
        QCOMPARE(TInjectionServer::defaultPath(), "/somewhere/else.sock");
        qunsetenv("TARVEL_INJECT_SOCKET");
        qputenv("XDG_RUNTIME_DIR", "/run/user/1234");
        QCOMPARE(TInjectionServer::defaultPath(), "/run/user/1234/tarvel-terminal.sock");
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(TInjectionServer::defaultPath(),
                 QStringLiteral("/tmp/tarvel-terminal-%1.sock").arg(::getuid()));
    }

    void onlyForTheUser()
    {
        struct stat status = {};
        QVERIFY(::stat(QFile::encodeName(m_path).constData(), &status) == 0);
        QVERIFY(S_ISSOCK(status.st_mode));
        QCOMPARE(status.st_mode & 07777, 0600u);
    }

    // Several messages in one write, an empty one among them, each answered.
    void messagesOnOneConnection()
    {
        auto client = connectClient();
        QVERIFY(client);
        const QByteArray binary("\x01\x00\x2A\x0D", 4);
        client->write(frame("\x01"
                            "AB") +
                      frame({}) + frame(binary) + frame(QByteArray("\0x", 2)));
        QVERIFY(waitAnswers(*client, 4));
        QCOMPARE(m_messages, QList<QByteArray>({"\x01"
                                                "AB",
                                                {},
                                                binary,
                                                QByteArray("\0x", 2)}));
    }

    // A message that arrives in pieces, the count too, is handed on whole.
    void splitWrites()
    {
        auto client = connectClient();
        QVERIFY(client);
        const QByteArray data = frame("\x01"
                                      "split message");
        for (char byte : data) {
            client->write(&byte, 1);
            QVERIFY(client->waitForBytesWritten(5000));
            QTest::qWait(1);
        }
        QVERIFY(waitAnswers(*client, 1));
        QCOMPARE(m_messages, QList<QByteArray>({"\x01"
                                                "split message"}));
    }

    // Truncated and oversized messages end their own connection only.
    void badMessages_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("clientLeaves"); // else the server closes
        QTest::newRow("truncated") << frame("\x01"
                                            "0123456789")
                                          .left(8)
                                   << true;
        QTest::newRow("count only") << countOnly(5) << true;
        QTest::newRow("oversized") << countOnly(TInjectionServer::MaximumMessageSize + 1) << false;
        QTest::newRow("huge") << countOnly(0xFFFFFFFFu) << false;
    }
    void badMessages()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, clientLeaves);
        auto bystander = connectClient();
        QVERIFY(bystander);
        bystander->write(frame("\x01"
                               "fi")); // half a message, finished below

        auto client = connectClient();
        QVERIFY(client);
        QSignalSpy ended(client.get(), &QLocalSocket::disconnected);
        client->write(data);
        QVERIFY(client->waitForBytesWritten(5000));
        if (clientLeaves)
            client->disconnectFromServer();
        else
            QVERIFY(ended.wait(5000));
        QVERIFY(!client->waitForReadyRead(100));
        QCOMPARE(client->bytesAvailable(), 0);

        bystander->write(frame(QByteArray("\0rst", 4)));
        QVERIFY(waitAnswers(*bystander, 2));
        QCOMPARE(m_messages, QList<QByteArray>({"\x01"
                                                "fi",
                                                QByteArray("\0rst", 4)}));
    }

    // The largest message allowed passes.
    void largestMessage()
    {
        const QByteArray big(int(TInjectionServer::MaximumMessageSize), 'x');
        QVERIFY(runBeside([&] { return InjectMessage(m_path, big, 10000); }));
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().size(), big.size());
    }

    // A second program does not take the socket of a running one.
    void secondInstance()
    {
        TInjectionServer second;
        QVERIFY(!second.listen(m_path));
        QVERIFY(!second.isListening());
        QVERIFY(runBeside([&] {
            return InjectMessage(m_path, "\x01"
                                         "a");
        }));
        QCOMPARE(m_messages, QList<QByteArray>({"\x01"
                                                "a"}));
    }

    // A file left by a crash is replaced; a file that is no socket is not
    // touched.
    void leftoverFiles()
    {
        m_server.reset();
        QVERIFY(makeStaleSocket(m_path));
        TInjectionServer server;
        QVERIFY(server.listen(m_path));
        server.close();

        QFile plain(m_path);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("keep");
        plain.close();
        QVERIFY(!server.listen(m_path));
        QVERIFY(plain.open(QIODevice::ReadOnly));
        QCOMPARE(plain.readAll(), "keep");
        QVERIFY(plain.remove());
    }

    void injectMessageWithoutServer()
    {
        m_server.reset();
        QVERIFY(!InjectMessage(m_path,
                               "\x01"
                               "a",
                               1000));
    }

    // The command line: direction and hex text become one message.
    void injectCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message"); // what the server receives
        QTest::newRow("rx") << QStringList{"rx", "2a610D"} << 0 << QByteArray("\x01\x2A\x61\x0D");
        QTest::newRow("TX") << QStringList{"TX", "00FF"} << 0 << QByteArray("\x00\x00\xFF", 3);
        QTest::newRow("no bytes") << QStringList{"rx"} << 0 << QByteArray("\x01");
        QTest::newRow("no direction") << QStringList{} << InjectUsageError << QByteArray();
        QTest::newRow("bad direction")
            << QStringList{"up", "00"} << InjectUsageError << QByteArray();
        QTest::newRow("bad hex") << QStringList{"tx", "G1"} << InjectUsageError << QByteArray();
        QTest::newRow("too many") << QStringList{"tx", "00", "11"} << InjectUsageError
                                  << QByteArray();
    }
    void injectCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        qputenv("TARVEL_INJECT_SOCKET", QFile::encodeName(m_path));
        QCOMPARE(runBeside([&] { return RunInjectCommand(arguments); }), exitCode);
        QCOMPARE(m_messages, message.isNull() ? QList<QByteArray>() : QList<QByteArray>{message});
        qunsetenv("TARVEL_INJECT_SOCKET");
    }

    void injectCommandWithoutServer()
    {
        m_server.reset();
        qputenv("TARVEL_INJECT_SOCKET", QFile::encodeName(m_path));
        QCOMPARE(RunInjectCommand({"rx", "00"}), InjectNotAnswered);
        qunsetenv("TARVEL_INJECT_SOCKET");
    }
};

QTEST_GUILESS_MAIN(TestInjection)
#include "tst_injection.moc"
