#pragma once

#include "link/serialport.h"
#include "link/tcpclient.h"

#include <QObject>

#include <pugixml.hpp>

class QAction;
class QMenu;
class TfMainTarvelTerm;

// Opens and closes the link a connection node describes, turns the events
// of the serial port and the TCP client into status texts and into the
// node's `status`, and offers the connect, properties and disconnect
// commands with their menu items.
class TLinkControl : public QObject
{
    Q_OBJECT

public:
    explicit TLinkControl(TfMainTarvelTerm &window);

    [[nodiscard]] TSerialPort &serialPort() { return AfComPort1; }
    [[nodiscard]] TTcpClient &tcpClient() { return ClientSocket1; }

    // Opens the node's link, closing whatever link was open first. A null
    // node only closes and forgets the current connection.
    void OpenConnection(const pugi::xml_node &node);
    // Sets `status` of the current connection node, without saving.
    void SetConnectionStatus(const QString &status);
    [[nodiscard]] pugi::xml_node currentConnection() const { return CurrentConnection; }

    // The serial port is open or the TCP connection is established.
    [[nodiscard]] bool isLinkOpen() const;
    // Writes to whichever link is open; with none, the bytes go nowhere.
    void write(QByteArrayView data);

    // The status bar's message panel was double-clicked: closes the open
    // link, else reopens the last one, else asks for one.
    void toggleLink();

    QAction *aConnect;
    QAction *aConnectionProperties;
    QAction *aDisconnect;

    // Fills the File menu's and the status bar menu's connection items.
    void addFileMenuItems(QMenu *menu);
    QMenu *pmStatusBarConnection;

signals:
    // Bytes arrived on the link.
    void received(const QByteArray &bytes);

private:
    void aConnectExecute();
    void aConnectionPropertiesExecute();
    void aDisconnectExecute();
    void mimFileClick();
    void pmStatusBarConnectionPopup();

    void openSerial(const pugi::xml_node &node);
    void openTcp(const pugi::xml_node &node);
    void reportFailedOpening(const char *key, const QString &fallback, const QString &reason);
    void saveConfig();
    void connectPortEvents();
    void connectSocketEvents();

    TfMainTarvelTerm &m_window;
    TSerialPort AfComPort1;
    TTcpClient ClientSocket1;
    pugi::xml_node CurrentConnection;

    QAction *mimOpen = nullptr;
    QAction *mimDisconnect = nullptr;
    QAction *pmiConnect = nullptr;
    QAction *pmiDisconnect = nullptr;
    QAction *pmiSerialPortProperitiesAPI = nullptr;
};
