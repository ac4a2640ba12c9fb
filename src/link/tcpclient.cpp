#include "tcpclient.h"

#include "core/apperror.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <cerrno>
#include <optional>

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

TTcpClient::TTcpClient(QObject *parent) : QObject(parent), m_socket(new QTcpSocket(this))
{
    connect(m_socket, &QTcpSocket::connected, this, &TTcpClient::handleConnected);
    connect(m_socket, &QTcpSocket::disconnected, this, &TTcpClient::handleDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TTcpClient::handleError);
    connect(m_socket, &QTcpSocket::readyRead, this, &TTcpClient::dataReceived);
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, &TTcpClient::handleTimeout);
}

TTcpClient::~TTcpClient()
{
    m_socket->disconnect(this);
    m_socket->abort();
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
    m_socket->connectToHost(host, port);
}

void TTcpClient::close()
{
    ++m_generation;
    m_connectTimer.stop();
    if (m_active) {
        // Hand what is still buffered to the system before the socket goes.
        m_socket->flush();
        m_active = false;
        m_socket->abort();
        emit disconnected();
    } else {
        m_socket->abort();
    }
}

QString TTcpClient::peerAddress() const
{
    return m_socket->peerAddress().toString();
}

int TTcpClient::peerPort() const
{
    return m_socket->peerPort();
}

QByteArray TTcpClient::readAll()
{
    return m_socket->readAll();
}

qint64 TTcpClient::write(QByteArrayView data)
{
    if (!m_active)
        return -1;
    return m_socket->write(data.data(), data.size());
}

void TTcpClient::handleConnected()
{
    m_connectTimer.stop();
    m_active = true;
    emit connected();
}

void TTcpClient::handleDisconnected()
{
    if (!m_active)
        return;
    m_active = false;
    emit disconnected();
}

void TTcpClient::handleError(QAbstractSocket::SocketError error)
{
    // The socket reads a reset connection as an ordinary end of the stream;
    // the system's error number, still set from that read, tells them apart.
    const bool reset = error == QAbstractSocket::RemoteHostClosedError && errno == ECONNRESET;
    m_connectTimer.stop();
    if (m_active) {
        // The peer closing the connection is an ordinary disconnect, reported
        // when the socket reports it.
        if (error == QAbstractSocket::RemoteHostClosedError && !reset)
            return;
        m_active = false;
        const int code =
            reset ? int(WsaConnectionReset) : SocketErrorCode(error, m_socket->errorString());
        m_socket->abort();
        emit disconnected();
        emit errorOccurred(code);
        return;
    }
    const int code = SocketErrorCode(error, m_socket->errorString());
    m_socket->abort();
    emit errorOccurred(code);
}

void TTcpClient::handleTimeout()
{
    if (m_active)
        return;
    m_socket->abort();
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
