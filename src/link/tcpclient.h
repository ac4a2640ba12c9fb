#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QTimer>

class QHostAddress;
class QTcpSocket;

// The TCP client of the link: a numeric IPv4 address and a port, connected
// without blocking. Errors carry the socket error numbers users know from
// other terminals: 10061 refused, 10060 timed out, 10065 host unreachable,
// 10051 network unreachable, 10054 reset, 10053 aborted...
class TTcpClient : public QObject
{
    Q_OBJECT

public:
    explicit TTcpClient(QObject *parent = nullptr);
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

    [[nodiscard]] QByteArray readAll();
    qint64 write(QByteArrayView data);

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
    void handleConnected();
    void handleDisconnected();
    void handleError(QAbstractSocket::SocketError error);
    void handleTimeout();

    QTcpSocket *m_socket;
    QTimer m_connectTimer;
    QString m_address;
    int m_port = 0;
    bool m_active = false;
    // Counts open() and close() calls, so that a connection started by an
    // earlier open() does not begin after a close().
    quint64 m_generation = 0;
};
