#include "linkcontrol.h"

#include "core/apperror.h"
#include "core/xmlattribute.h"
#include "lang/language.h"
#include "link/newconnection.h"
#include "mainwindow.h"
#include "messagebox.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {

QString text(const char *key, const QString &fallback)
{
    return Language().GetText(QString::fromLatin1(key), fallback);
}

QString noActivePort()
{
    return text("NoActivePort", QStringLiteral("No active port!"));
}

// Restores the normal cursor however the scope is left.
struct BusyCursor
{
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

QAction *namedAction(QObject *parent, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

TLinkControl::TLinkControl(TfMainTarvelTerm &window)
    : QObject(&window), m_window(window), AfComPort1(this), ClientSocket1(this)
{
    aConnect = namedAction(&window, "aConnect", QStringLiteral("Připojit"));
    aConnectionProperties =
        namedAction(&window, "aConnectionProperties", QStringLiteral("Vlastnosti spojení..."));
    aDisconnect = namedAction(&window, "aDisconnect", QStringLiteral("Odpojit"));
    connect(aConnect, &QAction::triggered, this, &TLinkControl::aConnectExecute);
    connect(aConnectionProperties, &QAction::triggered, this,
            &TLinkControl::aConnectionPropertiesExecute);
    connect(aDisconnect, &QAction::triggered, this, &TLinkControl::aDisconnectExecute);

    pmStatusBarConnection = new QMenu(&window);
    pmStatusBarConnection->setObjectName(QStringLiteral("pmStatusBarConnection"));
    pmiConnect = window.addActionItem(pmStatusBarConnection, "pmiConnect", aConnect);
    window.addActionItem(pmStatusBarConnection, "pmiConnectionProperities", aConnectionProperties);
    // The operating system offers no serial-port settings dialog here, so
    // the item stays hidden.
    pmiSerialPortProperitiesAPI =
        pmStatusBarConnection->addAction(QStringLiteral("Vlastnosti sériového portu"));
    pmiSerialPortProperitiesAPI->setObjectName(QStringLiteral("pmiSerialPortProperitiesAPI"));
    pmiSerialPortProperitiesAPI->setVisible(false);
    pmiDisconnect = window.addActionItem(pmStatusBarConnection, "pmiDisconnect", aDisconnect);
    connect(pmStatusBarConnection, &QMenu::aboutToShow, this,
            &TLinkControl::pmStatusBarConnectionPopup);

    connectPortEvents();
    connectSocketEvents();
}

void TLinkControl::addFileMenuItems(QMenu *menu)
{
    mimOpen = m_window.addActionItem(menu, "mimOpen", aConnect);
    mimOpen->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    QAction *properties = m_window.addActionItem(menu, "mimNewConnection", aConnectionProperties);
    properties->setShortcut(QKeySequence(Qt::ALT | Qt::Key_S));
    mimDisconnect = m_window.addActionItem(menu, "mimDisconnect", aDisconnect);
    mimDisconnect->setShortcut(QKeySequence(Qt::ALT | Qt::Key_D));
    connect(menu, &QMenu::aboutToShow, this, &TLinkControl::mimFileClick);
}

void TLinkControl::connectPortEvents()
{
    connect(&AfComPort1, &TSerialPort::portOpened, this, [this] {
        m_window.SetStatusText(AfComPort1.summary());
        SetConnectionStatus(QStringLiteral("ok"));
        saveConfig();
    });
    connect(&AfComPort1, &TSerialPort::portClosed, this,
            [this] { m_window.SetStatusText(noActivePort()); });
    connect(&AfComPort1, &TSerialPort::dataReceived, this,
            [this] { emit received(AfComPort1.readAll()); });
}

void TLinkControl::connectSocketEvents()
{
    connect(&ClientSocket1, &TTcpClient::connecting, this, [this] {
        m_window.SetStatusText(text("Connecting", QStringLiteral("Probíhá připojování")));
        saveConfig();
    });
    connect(&ClientSocket1, &TTcpClient::connected, this, [this] {
        m_window.SetStatusText(QStringLiteral("TCP: %1:%2")
                                   .arg(ClientSocket1.peerAddress())
                                   .arg(ClientSocket1.peerPort()));
        SetConnectionStatus(QStringLiteral("ok"));
        saveConfig();
    });
    connect(&ClientSocket1, &TTcpClient::disconnected, this,
            [this] { m_window.SetStatusText(noActivePort()); });
    connect(&ClientSocket1, &TTcpClient::errorOccurred, this, [this](int code) {
        QString message = text("TCPError", QStringLiteral("TCP Windows Socket Error %d"));
        message.replace(QStringLiteral("%d"), QString::number(code));
        m_window.SetStatusText(message);
        SetConnectionStatus(QStringLiteral("error"));
    });
    connect(&ClientSocket1, &TTcpClient::dataReceived, this,
            [this] { emit received(ClientSocket1.readAll()); });
}

void TLinkControl::saveConfig()
{
    RunReportingErrors(&m_window, [this] { m_window.config().save(); });
}

void TLinkControl::SetConnectionStatus(const QString &status)
{
    if (CurrentConnection)
        WriteAttribute(CurrentConnection, "status", status);
}

void TLinkControl::OpenConnection(const pugi::xml_node &node)
{
    CurrentConnection = node;
    aDisconnect->trigger();
    if (!node)
        return;
    const QString type = ReadAttribute(node, "type", QStringLiteral("?")).toString().toUpper();
    if (type == u"SERIAL")
        openSerial(node);
    else if (type == u"TCP")
        openTcp(node);
}

void TLinkControl::openSerial(const pugi::xml_node &node)
{
    try {
        ApplyConnectionToPort(AfComPort1, node);
        SetConnectionStatus(QStringLiteral("connecting"));
        m_window.SetStatusText(QStringLiteral("opening comport COM%1").arg(AfComPort1.comNumber()));
        AfComPort1.open();
    } catch (const AppError &error) {
        SetConnectionStatus(QStringLiteral("error"));
        reportFailedOpening("ExceptionSerailConnect",
                            QStringLiteral("Nepodařilo se otevřít seriový port"), error.message());
    }
}

void TLinkControl::openTcp(const pugi::xml_node &node)
{
    try {
        ClientSocket1.setAddress(ReadAttribute(node, "ip", QString()).toString());
        ClientSocket1.setPort(VariantToInt(ReadAttribute(node, "port", 2048)));
        SetConnectionStatus(QStringLiteral("connecting"));
        ClientSocket1.open();
    } catch (const AppError &error) {
        SetConnectionStatus(QStringLiteral("error"));
        reportFailedOpening("ExceptionTcpConnect",
                            QStringLiteral("Nepodařilo se inicializovat TCP spojení"),
                            error.message());
    }
}

// The user is told why, and lands in the connection dialog to mend it.
void TLinkControl::reportFailedOpening(const char *key, const QString &fallback,
                                       const QString &reason)
{
    ShowMessage(&m_window, text(key, fallback) + QStringLiteral("\n\n") + reason);
    aConnectionProperties->trigger();
}

bool TLinkControl::isLinkOpen() const
{
    return AfComPort1.isOpen() || ClientSocket1.isActive();
}

void TLinkControl::write(QByteArrayView data)
{
    if (AfComPort1.isOpen())
        AfComPort1.write(data);
    if (ClientSocket1.isActive())
        ClientSocket1.write(data);
}

void TLinkControl::aConnectExecute()
{
    if (CurrentConnection)
        OpenConnection(CurrentConnection);
    else
        aConnectionProperties->trigger();
}

void TLinkControl::aConnectionPropertiesExecute()
{
    std::unique_ptr<TfNewConnection> dialog;
    // A node the dialog cannot show is reported; the dialog opens all the same.
    {
        BusyCursor busy;
        dialog = std::make_unique<TfNewConnection>(&m_window);
        RunReportingErrors(&m_window, [&] { dialog->SetHistoryNode(m_window.config().root()); });
    }
    RunReportingErrors(&m_window, [&] { dialog->LoadConnection(CurrentConnection); });
    if (dialog->exec() == QDialog::Accepted)
        OpenConnection(dialog->SelectedNode());
}

void TLinkControl::aDisconnectExecute()
{
    const bool socketConnected = ClientSocket1.isActive();
    // A connection still being set up is given up as well, so that it
    // cannot come alive beside the next link.
    ClientSocket1.close();
    if (!socketConnected)
        AfComPort1.close();
    if (AfComPort1.isOpen())
        AfComPort1.close();
}

void TLinkControl::toggleLink()
{
    if (ClientSocket1.isActive())
        ClientSocket1.close();
    else if (AfComPort1.isOpen())
        AfComPort1.close();
    else if (CurrentConnection)
        OpenConnection(CurrentConnection);
    else
        aConnectionProperties->trigger();
}

void TLinkControl::mimFileClick()
{
    const bool open = isLinkOpen();
    mimOpen->setEnabled(!open);
    mimDisconnect->setEnabled(open);
}

void TLinkControl::pmStatusBarConnectionPopup()
{
    const bool open = isLinkOpen();
    pmiConnect->setEnabled(!open);
    pmiDisconnect->setEnabled(open);
    pmStatusBarConnection->setDefaultAction(open ? pmiDisconnect : pmiConnect);
}
