#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

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

    // Starts connecting. Throws AppError when the address is not a numeric
    // IPv4 address or the port is out of range (the socket refuses to open).
    // Then emits connecting(), and later connected() or errorOccurred().
    // A connection that gets no answer fails with 10060 after 10 seconds.
    void open();
    // Ends the connection; emits disconnected() when it was connected.
    void close();
    // Connected, from connected() to disconnected().
    [[nodiscard]] bool isActive() const { return m_active; }

    [[nodiscard]] QString peerAddress() const;
    [[nodiscard]] int peerPort() const;

    [[nodiscard]] QByteArray readAll();
    qint64 write(QByteArrayView data);

    static constexpr int ConnectTimeoutMs = 10000;

signals:
    void connecting();
    void connected();
    // The connection ended: closed by us, by the peer, or broken (then
    // errorOccurred() follows with the reason).
    void disconnected();
    void errorOccurred(int socketErrorCode);
    void dataReceived();

private:
    QTcpSocket *m_socket;
    QTimer m_connectTimer;
    QString m_address;
    int m_port = 0;
    bool m_active = false;
};
