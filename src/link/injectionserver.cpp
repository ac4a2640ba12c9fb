#include "injectionserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 HeaderSize = 4;

bool isSocketFile(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

// Whether a server accepts on the socket file now. Only a refused
// connection counts as nobody: a server too busy to accept in time is
// alive all the same.
bool someoneListens(const QString &path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return true;
    }
    const QLocalSocket::LocalSocketError error = probe.error();
    return error != QLocalSocket::ConnectionRefusedError &&
           error != QLocalSocket::ServerNotFoundError;
}

} // namespace

TInjectionServer::TInjectionServer(QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &TInjectionServer::acceptConnections);
}

TInjectionServer::~TInjectionServer()
{
    close();
}

QString TInjectionServer::defaultPath()
{
    const QString overridden = qEnvironmentVariable("TARVEL_INJECT_SOCKET");
    if (!overridden.isEmpty())
        return overridden;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/tarvel-terminal.sock");
    return QStringLiteral("/tmp/tarvel-terminal-%1.sock").arg(::getuid());
}

bool TInjectionServer::listen(const QString &path)
{
    close();
    if (isSocketFile(path)) {
        if (someoneListens(path))
            return false;
        QLocalServer::removeServer(path);
    } else if (QFile::exists(path)) {
        return false; // not ours to remove
    }
    if (!m_server->listen(path))
        return false;
    // The server creates the file for the user only (rwx); the execute bit
    // means nothing on a socket.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

void TInjectionServer::close()
{
    const auto sockets = m_server->findChildren<QLocalSocket *>();
    for (QLocalSocket *socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    m_server->close();
}

bool TInjectionServer::isListening() const
{
    return m_server->isListening();
}

QString TInjectionServer::path() const
{
    return m_server->fullServerName();
}

void TInjectionServer::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessages(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            // Messages that arrived whole before the end still count; a
            // message cut off by the end is dropped with the connection.
            readMessages(socket);
            socket->disconnect(this);
            socket->deleteLater();
        });
        readMessages(socket);
    }
}

// Takes every complete message off the socket's buffer; an incomplete one
// waits there for the rest.
void TInjectionServer::readMessages(QLocalSocket *socket)
{
    QPointer<QLocalSocket> guard(socket);
    while (guard && socket->bytesAvailable() >= HeaderSize) {
        uchar header[HeaderSize];
        if (socket->peek(reinterpret_cast<char *>(header), HeaderSize) != HeaderSize)
            return;
        const quint32 count = qFromLittleEndian<quint32>(header);
        if (count > MaximumMessageSize) {
            socket->disconnect(this);
            socket->abort();
            socket->deleteLater();
            return;
        }
        if (socket->bytesAvailable() < HeaderSize + qint64(count))
            return;
        socket->skip(HeaderSize);
        const QByteArray message = socket->read(count);
        if (onMessage)
            onMessage(message);
        if (guard && socket->state() == QLocalSocket::ConnectedState) {
            static constexpr char answer[HeaderSize] = {0, 0, 0, 0};
            socket->write(answer, HeaderSize);
        }
    }
}

bool InjectMessage(const QString &path, QByteArrayView message, int timeoutMs)
{
    if (quint64(message.size()) > TInjectionServer::MaximumMessageSize)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;

    uchar header[HeaderSize];
    qToLittleEndian<quint32>(quint32(message.size()), header);
    socket.write(reinterpret_cast<const char *>(header), HeaderSize);
    socket.write(message.data(), message.size());
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (socket.bytesAvailable() < HeaderSize) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return true;
}
