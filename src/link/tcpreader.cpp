#include "tcpreader.h"

#include "chunkqueue.h"
#include "tcpclient.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <cerrno>

TTcpReader::TTcpReader(std::shared_ptr<TChunkQueue> queue)
    : m_socket(new QTcpSocket(this)), m_queue(std::move(queue))
{
    // The socket's own buffer only passes the bytes on; bounded, it stays
    // warm in the cache.
    m_socket->setReadBufferSize(qint64(ReadBytes));
    connect(m_socket, &QTcpSocket::connected, this, &TTcpReader::handleConnected);
    connect(m_socket, &QTcpSocket::disconnected, this, &TTcpReader::handleDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TTcpReader::handleError);
    connect(m_socket, &QTcpSocket::readyRead, this, &TTcpReader::queueAvailable);
}

TTcpReader::~TTcpReader()
{
    m_socket->disconnect(this);
    m_socket->abort();
}

void TTcpReader::start(quint64 generation, const QHostAddress &host, quint16 port)
{
    stop();
    m_generation = generation;
    m_socket->connectToHost(host, port);
}

void TTcpReader::send(const QByteArray &bytes)
{
    if (m_connected)
        m_socket->write(bytes);
}

void TTcpReader::stop()
{
    // Cleared first: the abort below reports a disconnect of its own.
    const bool wasConnected = m_connected;
    m_connected = false;
    if (wasConnected)
        m_socket->flush();
    m_socket->abort();
}

void TTcpReader::handleConnected()
{
    m_connected = true;
    emit connected(m_generation, m_socket->peerAddress().toString(), m_socket->peerPort());
}

void TTcpReader::resume()
{
    takeAvailable(false);
}

void TTcpReader::queueAvailable()
{
    takeAvailable(false);
}

void TTcpReader::takeAvailable(bool evenWhenFull)
{
    // Less room than this starts a new region of the queue.
    constexpr std::size_t MinimumRoom = 64 * 1024;
    while (m_socket->bytesAvailable() > 0) {
        // Left in the socket, whose bounded buffer then stops taking bytes
        // from the system, so the peer has to wait.
        if (!evenWhenFull && !m_queue->hasRoom())
            return;
        const std::span<char> room = m_queue->room(MinimumRoom);
        const qint64 count = m_socket->read(room.data(), qint64(std::min(room.size(), ReadBytes)));
        if (count <= 0)
            break;
        if (m_queue->commit(m_generation, std::size_t(count)))
            emit dataQueued(m_generation);
    }
}

void TTcpReader::handleDisconnected()
{
    if (m_connected)
        finish(0);
}

void TTcpReader::handleError(QAbstractSocket::SocketError error)
{
    // The socket reads a reset connection as an ordinary end of the stream;
    // the system's error number, still set from that read on this thread,
    // tells them apart.
    const bool reset = error == QAbstractSocket::RemoteHostClosedError && errno == ECONNRESET;
    // The peer closing the connection is an ordinary end, reported when the
    // socket reports the disconnect.
    if (m_connected && error == QAbstractSocket::RemoteHostClosedError && !reset)
        return;
    // A reset reads as the closed-by-peer error, which has the reset's number.
    finish(TTcpClient::SocketErrorCode(error, m_socket->errorString()));
}

void TTcpReader::finish(int socketErrorCode)
{
    // Bytes that came just before the end are still owed to the client.
    takeAvailable(true);
    m_connected = false;
    m_socket->abort();
    emit ended(m_generation, socketErrorCode);
}
