#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <memory>
#include <optional>

class QHostAddress;
class TChunkQueue;
class TTcpReader;

// The TCP client of the link: a numeric IPv4 address and a port, connected
// without blocking. Errors carry the socket error numbers users know from
// other terminals: 10061 refused, 10060 timed out, 10065 host unreachable,
// 10051 network unreachable, 10054 reset, 10053 aborted...
//
// The socket is read on a thread of its own as fast as the peer sends; the
// bytes wait in a queue and are handed over here, a chunk of at most
// ChunkBytes per dataReceived(), in turns short enough to keep the event loop answering.
// A connection the peer ends is reported once every byte before the end has
// been handed over.
class TTcpClient : public QObject
{
    Q_OBJECT

public:
    // Received bytes not yet handed over are held up to this many; then the
    // peer is held back by the connection's flow control.
    static constexpr std::size_t DefaultQueueLimit = std::size_t(256) * 1024 * 1024;

    explicit TTcpClient(QObject *parent = nullptr, std::size_t queueLimit = DefaultQueueLimit);
    ~TTcpClient() override;

    void setAddress(const QString &address);
    [[nodiscard]] QString address() const { return m_address; }
    void setPort(int port);
    [[nodiscard]] int port() const { return m_port; }

    // Starts connecting, ending any earlier connection first. Throws
    // AppError when the address is not a numeric IPv4 address (four decimal
    // numbers 0 to 255; no name lookup) or the port is out of 0..65535 (the
    // socket refuses to open). Then, from the event loop, emits
    // connecting(), and later connected() or errorOccurred(). A connection
    // that gets no answer fails with 10060 after connectTimeout().
    void open();
    // Ends the connection; emits disconnected() when it was connected.
    void close();
    // Connected, from connected() to disconnected().
    [[nodiscard]] bool isActive() const { return m_active; }

    [[nodiscard]] QString peerAddress() const;
    [[nodiscard]] int peerPort() const;

    // The bytes handed over and not read yet.
    [[nodiscard]] QByteArray readAll();
    // Queues the bytes for sending; they go out in the order of the calls.
    qint64 write(QByteArrayView data);
    // Bytes taken off the socket since open(), whether handed over yet or
    // not. Safe to call from any thread.
    [[nodiscard]] quint64 bytesRead() const;

    // How long one turn of handing over bytes may last at most (plus the
    // processing of one chunk) before the event loop gets its turn.
    static constexpr int DeliveryTurnMs = 4;
    // The largest chunk handed over by one dataReceived().
    static constexpr qsizetype ChunkBytes = 64 * 1024;

    // How long a connection attempt may go unanswered; tests shorten it.
    static constexpr int ConnectTimeoutMs = 10000;
    [[nodiscard]] int connectTimeout() const { return m_connectTimer.interval(); }
    void setConnectTimeout(int milliseconds) { m_connectTimer.setInterval(milliseconds); }

    // The socket error number for an error of the socket; the text tells
    // apart the system errors the socket reports as one NetworkError.
    [[nodiscard]] static int SocketErrorCode(QAbstractSocket::SocketError error,
                                             const QString &errorString);

signals:
    void connecting();
    void connected();
    // The connection ended: closed by us, by the peer, or broken (then
    // errorOccurred() follows with the reason).
    void disconnected();
    void errorOccurred(int socketErrorCode);
    void dataReceived();

private:
    void startConnecting(quint64 generation, const QHostAddress &host, quint16 port);
    void handleConnected(quint64 generation, const QString &peerAddress, int peerPort);
    void handleDataQueued(quint64 generation);
    void handleEnded(quint64 generation, int socketErrorCode);
    void handleTimeout();
    // Drops the connection on the reading thread and ignores whatever it
    // still reports.
    void abandonConnection();
    void scheduleDelivery();
    void deliver();
    void reportEnd();
    // Runs a function of the reader on its thread, after the earlier ones.
    template <typename Function>
    void onReaderThread(Function function);

    std::shared_ptr<TChunkQueue> m_queue;
    QThread m_thread;
    TTcpReader *m_reader;
    QTimer m_connectTimer;
    QString m_address;
    int m_port = 0;
    bool m_active = false;
    QString m_peerAddress;
    int m_peerPort = 0;
    QByteArray m_readable;
    bool m_deliveryScheduled = false;
    // The peer ended the connection: the error number (0 for an orderly
    // end) waits until the bytes before the end are handed over.
    std::optional<int> m_pendingEnd;
    // Counts open() and close() calls, so that a connection started by an
    // earlier open() does not begin after a close(), and what the reader
    // reports about an abandoned connection is ignored.
    quint64 m_generation = 0;
};
