#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

// Lets other programs of the user inject bytes into the log. Each message on
// the local socket is a 4-byte little-endian byte count followed by that
// many bytes: the first byte 1 for received bytes, anything else for sent
// ones, then the bytes. Every message is handed to onMessage on this
// object's thread and answered with a 4-byte zero. A malformed or oversized
// message closes that connection only.
class TInjectionServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint32 MaximumMessageSize = 16u << 20;

    explicit TInjectionServer(QObject *parent = nullptr);
    ~TInjectionServer() override;

    // $TARVEL_INJECT_SOCKET, else $XDG_RUNTIME_DIR/tarvel-terminal.sock, else
    // /tmp/tarvel-terminal-<uid>.sock.
    [[nodiscard]] static QString defaultPath();

    // Listens on the path, only for this user (mode 0600). A socket file
    // left by a crashed instance (nobody accepts on it) is replaced; one
    // that another running instance answers on, or a file that is no
    // socket, is left alone and listen() returns false. Closing the server
    // removes its socket file.
    bool listen(const QString &path = defaultPath());
    void close();
    [[nodiscard]] bool isListening() const;
    [[nodiscard]] QString path() const;

    // The whole message: selector byte and bytes (an empty message is
    // handed on as an empty view). The view is valid during the call only.
    std::function<void(QByteArrayView message)> onMessage;

private:
    void acceptConnections();
    void readMessages(QLocalSocket *socket);

    QLocalServer *m_server;
};

// Sends one message and waits for its answer. Returns true when answered.
// Blocks for up to timeoutMs; the server must not run on the calling thread.
bool InjectMessage(const QString &path, QByteArrayView message, int timeoutMs = 5000);
