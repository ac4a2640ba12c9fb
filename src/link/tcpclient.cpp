#include "tcpclient.h"

#include "chunkqueue.h"
#include "core/apperror.h"
#include "tcpreader.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <utility>

namespace {

// Socket error numbers as the text "TCP Windows Socket Error %d" shows them.
enum SocketErrorNumber : int
{
    WsaInvalidArgument = 10022,     // WSAEINVAL
    WsaWouldBlock = 10035,          // WSAEWOULDBLOCK
    WsaAccessDenied = 10013,        // WSAEACCES
    WsaNotSupported = 10045,        // WSAEOPNOTSUPP
    WsaAddressInUse = 10048,        // WSAEADDRINUSE
    WsaAddressNotAvailable = 10049, // WSAEADDRNOTAVAIL
    WsaNetworkDown = 10050,         // WSAENETDOWN
    WsaNetworkUnreachable = 10051,  // WSAENETUNREACH
    WsaConnectionAborted = 10053,   // WSAECONNABORTED
    WsaConnectionReset = 10054,     // WSAECONNRESET
    WsaNoBuffers = 10055,           // WSAENOBUFS
    WsaTimedOut = 10060,            // WSAETIMEDOUT
    WsaConnectionRefused = 10061,   // WSAECONNREFUSED
    WsaHostUnreachable = 10065,     // WSAEHOSTUNREACH
};

// Four decimal numbers 0 to 255 separated by dots, nothing else: the short
// and hexadecimal forms that address parsers also accept are refused.
std::optional<quint32> parseDottedQuad(const QString &text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return std::nullopt;
    quint32 address = 0;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return std::nullopt;
        for (QChar c : part) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
        const int value = part.toInt(nullptr, 10);
        if (value > 255)
            return std::nullopt;
        address = (address << 8) | quint32(value);
    }
    return address;
}

} // namespace

TTcpClient::TTcpClient(QObject *parent, std::size_t queueLimit)
    : QObject(parent), m_queue(std::make_shared<TChunkQueue>(queueLimit)),
      m_reader(new TTcpReader(m_queue))
{
    m_thread.setObjectName(QStringLiteral("TCP reader"));
    m_reader->moveToThread(&m_thread);
    connect(m_reader, &TTcpReader::connected, this, &TTcpClient::handleConnected);
    connect(m_reader, &TTcpReader::dataQueued, this, &TTcpClient::handleDataQueued);
    connect(m_reader, &TTcpReader::ended, this, &TTcpClient::handleEnded);
    m_thread.start();
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, &TTcpClient::handleTimeout);
}

TTcpClient::~TTcpClient()
{
    m_reader->disconnect(this);
    QMetaObject::invokeMethod(
        m_reader, [reader = m_reader] { delete reader; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

template <typename Function>
void TTcpClient::onReaderThread(Function function)
{
    QMetaObject::invokeMethod(
        m_reader, [reader = m_reader, function = std::move(function)] { function(*reader); },
        Qt::QueuedConnection);
}

void TTcpClient::setAddress(const QString &address)
{
    m_address = address;
}

void TTcpClient::setPort(int port)
{
    m_port = port;
}

void TTcpClient::open()
{
    close();
    const std::optional<quint32> address = parseDottedQuad(m_address.trimmed());
    if (!address)
        throw AppError(QStringLiteral("'%1' is not a numeric IPv4 address").arg(m_address));
    if (m_port < 0 || m_port > 65535)
        throw AppError(QStringLiteral("%1 is not a TCP port number").arg(m_port));

    // connecting() comes first, after open() has returned; the socket starts
    // only then, so that its outcome always follows connecting().
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, host = QHostAddress(*address), port = quint16(m_port)] {
            startConnecting(generation, host, port);
        },
        Qt::QueuedConnection);
}

void TTcpClient::startConnecting(quint64 generation, const QHostAddress &host, quint16 port)
{
    if (generation != m_generation)
        return;
    emit connecting();
    if (generation != m_generation) // closed by a receiver of connecting()
        return;
    m_connectTimer.start();
    onReaderThread(
        [generation, host, port](TTcpReader &reader) { reader.start(generation, host, port); });
}

void TTcpClient::close()
{
    m_connectTimer.stop();
    abandonConnection();
    if (m_active) {
        m_active = false;
        emit disconnected();
    }
}

void TTcpClient::abandonConnection()
{
    ++m_generation;
    m_queue->restart(m_generation);
    m_readable.clear();
    m_pendingEnd.reset();
    m_peerAddress.clear();
    m_peerPort = 0;
    // Bytes written before are sent first: the calls run in order.
    onReaderThread([](TTcpReader &reader) { reader.stop(); });
}

QString TTcpClient::peerAddress() const
{
    return m_peerAddress;
}

int TTcpClient::peerPort() const
{
    return m_peerPort;
}

QByteArray TTcpClient::readAll()
{
    return std::exchange(m_readable, QByteArray());
}

qint64 TTcpClient::write(QByteArrayView data)
{
    if (!m_active)
        return -1;
    onReaderThread([bytes = data.toByteArray()](TTcpReader &reader) { reader.send(bytes); });
    return data.size();
}

quint64 TTcpClient::bytesRead() const
{
    return m_queue->bytesCommitted();
}

void TTcpClient::handleConnected(quint64 generation, const QString &peerAddress, int peerPort)
{
    if (generation != m_generation)
        return;
    m_connectTimer.stop();
    m_active = true;
    m_peerAddress = peerAddress;
    m_peerPort = peerPort;
    emit connected();
}

void TTcpClient::handleDataQueued(quint64 generation)
{
    if (generation == m_generation)
        scheduleDelivery();
}

void TTcpClient::handleEnded(quint64 generation, int socketErrorCode)
{
    if (generation != m_generation)
        return;
    m_connectTimer.stop();
    if (m_active) {
        // Reported by deliver() once the queue is empty.
        m_pendingEnd = socketErrorCode;
        scheduleDelivery();
    } else if (socketErrorCode != 0) {
        emit errorOccurred(socketErrorCode);
    }
}

void TTcpClient::scheduleDelivery()
{
    if (m_deliveryScheduled)
        return;
    m_deliveryScheduled = true;
    QMetaObject::invokeMethod(this, &TTcpClient::deliver, Qt::QueuedConnection);
}

// Hands chunks over until the queue is empty or the turn is used up; the
// rest follows in a later turn of the event loop.
void TTcpClient::deliver()
{
    m_deliveryScheduled = false;
    const quint64 generation = m_generation;
    QElapsedTimer turn;
    turn.start();
    while (generation == m_generation) {
        QByteArray chunk = m_queue->take(ChunkBytes);
        if (chunk.isEmpty()) {
            if (m_pendingEnd)
                reportEnd();
            return;
        }
        if (m_queue->readerMayResume())
            onReaderThread([](TTcpReader &reader) { reader.resume(); });
        if (m_readable.isEmpty())
            m_readable = std::move(chunk);
        else
            m_readable.append(chunk);
        emit dataReceived();
        if (turn.elapsed() >= DeliveryTurnMs) {
            scheduleDelivery();
            return;
        }
    }
}

void TTcpClient::reportEnd()
{
    const int code = *m_pendingEnd;
    m_pendingEnd.reset();
    m_active = false;
    m_peerAddress.clear();
    m_peerPort = 0;
    emit disconnected();
    if (code != 0)
        emit errorOccurred(code);
}

void TTcpClient::handleTimeout()
{
    if (m_active)
        return;
    abandonConnection();
    emit errorOccurred(WsaTimedOut);
}

int TTcpClient::SocketErrorCode(QAbstractSocket::SocketError error, const QString &errorString)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return WsaConnectionRefused;
    case QAbstractSocket::RemoteHostClosedError:
        return WsaConnectionReset;
    case QAbstractSocket::HostNotFoundError:
        return WsaHostUnreachable;
    case QAbstractSocket::SocketAccessError:
        return WsaAccessDenied;
    case QAbstractSocket::SocketResourceError:
        return WsaNoBuffers;
    case QAbstractSocket::SocketTimeoutError:
        return WsaTimedOut;
    case QAbstractSocket::AddressInUseError:
        return WsaAddressInUse;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return WsaAddressNotAvailable;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return WsaNotSupported;
    case QAbstractSocket::OperationError:
        return WsaInvalidArgument;
    case QAbstractSocket::TemporaryError:
        return WsaWouldBlock;
    case QAbstractSocket::NetworkError:
        // One kind for many system errors; its text names the error.
        if (errorString.contains(QStringLiteral("host unreachable"), Qt::CaseInsensitive))
            return WsaHostUnreachable;
        if (errorString.contains(QStringLiteral("timed out"), Qt::CaseInsensitive))
            return WsaTimedOut;
        if (errorString.contains(QStringLiteral("reset"), Qt::CaseInsensitive))
            return WsaConnectionReset;
        if (errorString.contains(QStringLiteral("refused"), Qt::CaseInsensitive))
            return WsaConnectionRefused;
        if (errorString.contains(QStringLiteral("broken pipe"), Qt::CaseInsensitive) ||
            errorString.contains(QStringLiteral("aborted"), Qt::CaseInsensitive))
            return WsaConnectionAborted;
        if (errorString.contains(QStringLiteral("network is down"), Qt::CaseInsensitive))
            return WsaNetworkDown;
        return WsaNetworkUnreachable;
    default:
        return WsaNetworkDown;
    }
}
