#pragma once

#include "connectionnode.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

// The serial port of the link: settings by port number, opening with the
// operating system's reason on failure, data and modem lines. Events come
// on the thread that owns the object.
class TSerialPort : public QObject
{
    Q_OBJECT

public:
    explicit TSerialPort(QObject *parent = nullptr);
    ~TSerialPort() override;

    void setComNumber(int number);
    [[nodiscard]] int comNumber() const { return m_comNumber; }
    // Any rate: rates outside the standard list are set as custom rates.
    void setBaudRate(int rate);
    [[nodiscard]] int baudRate() const { return m_baudRate; }
    // 4 to 8; other values are ignored. Serial drivers take 5 to 8 only, so a
    // port set to 4 fails to open with a reason rather than run with other
    // framing than asked for.
    void setDataBits(int bits);
    [[nodiscard]] int dataBits() const { return m_dataBits; }
    void setParity(Connection::Parity parity);
    [[nodiscard]] Connection::Parity parity() const { return m_parity; }
    void setStopBits(Connection::StopBits stopBits);
    [[nodiscard]] Connection::StopBits stopBits() const { return m_stopBits; }
    // DTR/DSR handshake is not offered by the serial driver: the port then
    // runs without flow control.
    void setFlowControl(Connection::FlowControl flowControl);
    [[nodiscard]] Connection::FlowControl flowControl() const { return m_flowControl; }

    // Opens the device of the port number with the settings. Throws
    // AppError carrying the operating system's reason when it cannot
    // (with a hint on permissions); emits portOpened() when it can.
    void open();
    // Closes the port; emits portClosed() also when it was not open. A device
    // that vanishes while open (unplugged, the other end of a
    // pseudo-terminal closed) closes the port the same way, once.
    void close();
    [[nodiscard]] bool isOpen() const;

    // "COM%d: %d,%s,%s,%s": number, baud rate, parity letter, data bits, stop bits.
    [[nodiscard]] QString summary() const;

    [[nodiscard]] QByteArray readAll();
    qint64 write(QByteArrayView data);

    // RTS and DTR are settings of their own, kept while closed and applied
    // on opening; both are on by default. CTS and DSR are polled from the
    // open port every ModemPollMs. Lines a device does not have read as off
    // and ignore writes; closed, all lines read as off.
    [[nodiscard]] bool rts() const { return m_rts; }
    void setRts(bool on);
    [[nodiscard]] bool dtr() const { return m_dtr; }
    void setDtr(bool on);
    [[nodiscard]] bool cts() const { return m_cts; }
    [[nodiscard]] bool dsr() const { return m_dsr; }

    static constexpr int ModemPollMs = 100;

signals:
    void portOpened();
    void portClosed();
    void dataReceived();
    // CTS or DSR changed while the port was open.
    void modemLinesChanged();

private:
    void applySettings();
    void applyModemLine(bool rts, bool on);
    void pollModemLines();
    void handleError(QSerialPort::SerialPortError error);
    void closeVanished(quint64 generation);
    [[nodiscard]] QString openFailure(const QString &path) const;

    QSerialPort *m_port;
    QTimer m_modemPoll;
    int m_comNumber = 1;
    int m_baudRate = 9600;
    int m_dataBits = 8;
    Connection::Parity m_parity = Connection::Parity::None;
    Connection::StopBits m_stopBits = Connection::StopBits::One;
    Connection::FlowControl m_flowControl = Connection::FlowControl::None;
    bool m_rts = true;
    bool m_dtr = true;
    bool m_cts = false;
    bool m_dsr = false;
    bool m_modemLinesReadable = false;
    // Counts openings, so that a close scheduled for a vanished device
    // cannot close a later opening.
    quint64 m_generation = 0;
    bool m_closeScheduled = false;
    QSerialPort::SerialPortError m_lastError = QSerialPort::NoError;
};

// Sets the port's number and settings from a connection node. Throws
// ConversionError when port, baud rate or data bits are not numbers; an
// absent node changes nothing.
void ApplyConnectionToPort(TSerialPort &port, const pugi::xml_node &node);
