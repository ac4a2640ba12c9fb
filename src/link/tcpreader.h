#pragma once

#include <QAbstractSocket>
#include <QObject>

#include <memory>

class QHostAddress;
class QTcpSocket;
class TChunkQueue;

// The socket side of the TCP client, living on a thread of its own: it takes
// the bytes off the socket as fast as they come and queues them, so that the
// peer is never held up by the processing of what it sent. Its functions are
// called on its thread; its signals carry the generation of the connection
// they belong to, so that the client can ignore a connection it has left.
class TTcpReader : public QObject
{
    Q_OBJECT

public:
    // Bytes taken off the socket at most at once.
    static constexpr std::size_t ReadBytes = 256 * 1024;

    explicit TTcpReader(std::shared_ptr<TChunkQueue> queue);
    ~TTcpReader() override;

    // Ends any earlier connection and starts connecting.
    void start(quint64 generation, const QHostAddress &host, quint16 port);
    // Sends while connected; bytes go out in the order of the calls.
    void send(const QByteArray &bytes);
    // Reads on after the queue had been full.
    void resume();
    // Hands what is still to be sent to the system and drops the connection,
    // without signals.
    void stop();

signals:
    void connected(quint64 generation, const QString &peerAddress, int peerPort);
    // The queue received bytes while it was empty.
    void dataQueued(quint64 generation);
    // The connection ended or could not be made; 0 for an orderly end,
    // else the socket error number. Every byte read is queued before.
    void ended(quint64 generation, int socketErrorCode);

private:
    void handleConnected();
    void handleDisconnected();
    void handleError(QAbstractSocket::SocketError error);
    void queueAvailable();
    // Moves the socket's bytes into the queue while it has room, or all of
    // them when the connection ends.
    void takeAvailable(bool evenWhenFull);
    void finish(int socketErrorCode);

    QTcpSocket *m_socket;
    std::shared_ptr<TChunkQueue> m_queue;
    quint64 m_generation = 0;
    bool m_connected = false;
};
