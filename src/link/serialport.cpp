#include "serialport.h"

#include "core/apperror.h"
#include "portmapping.h"

#include <QFileInfo>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QSerialPort::Parity toQt(Connection::Parity parity)
{
    switch (parity) {
    case Connection::Parity::Even:
        return QSerialPort::EvenParity;
    case Connection::Parity::Odd:
        return QSerialPort::OddParity;
    case Connection::Parity::Mark:
        return QSerialPort::MarkParity;
    case Connection::Parity::Space:
        return QSerialPort::SpaceParity;
    case Connection::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

// The driver knows one or two stop bits. One and a half is sent as two: the
// usual UARTs send 1.5 for "two" at 5 data bits, and at any size a receiver
// that expects 1.5 accepts two, while one would be too short.
QSerialPort::StopBits toQt(Connection::StopBits stopBits)
{
    switch (stopBits) {
    case Connection::StopBits::OneAndHalf:
    case Connection::StopBits::Two:
        return QSerialPort::TwoStop;
    case Connection::StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

// DTR/DSR handshake has no counterpart in the driver; it runs without.
QSerialPort::FlowControl toQt(Connection::FlowControl flowControl)
{
    switch (flowControl) {
    case Connection::FlowControl::XonXoff:
        return QSerialPort::SoftwareControl;
    case Connection::FlowControl::RtsCts:
        return QSerialPort::HardwareControl;
    case Connection::FlowControl::DtrDsr:
    case Connection::FlowControl::None:
        break;
    }
    return QSerialPort::NoFlowControl;
}

QString stopBitsText(Connection::StopBits stopBits)
{
    switch (stopBits) {
    case Connection::StopBits::OneAndHalf:
        return QStringLiteral("1.5");
    case Connection::StopBits::Two:
        return QStringLiteral("2");
    case Connection::StopBits::One:
        break;
    }
    return QStringLiteral("1");
}

// The name of the group that owns the file, or empty.
QString owningGroup(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    const group *owner = ::getgrgid(status.st_gid);
    return owner ? QString::fromLocal8Bit(owner->gr_name) : QString();
}

} // namespace

TSerialPort::TSerialPort(QObject *parent) : QObject(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &TSerialPort::dataReceived);
    connect(m_port, &QSerialPort::errorOccurred, this, &TSerialPort::handleError);
    m_modemPoll.setInterval(ModemPollMs);
    connect(&m_modemPoll, &QTimer::timeout, this, &TSerialPort::pollModemLines);
}

TSerialPort::~TSerialPort()
{
    // The port closes as it is destroyed; nobody listens any more.
    m_port->disconnect(this);
    if (m_port->isOpen())
        m_port->close();
}

void TSerialPort::setComNumber(int number)
{
    m_comNumber = number;
}

void TSerialPort::setBaudRate(int rate)
{
    m_baudRate = rate;
    if (isOpen() && rate > 0)
        m_port->setBaudRate(rate);
}

void TSerialPort::setDataBits(int bits)
{
    if (bits < 4 || bits > 8)
        return;
    m_dataBits = bits;
    if (isOpen() && bits >= 5)
        m_port->setDataBits(QSerialPort::DataBits(bits));
}

void TSerialPort::setParity(Connection::Parity parity)
{
    m_parity = parity;
    if (isOpen())
        m_port->setParity(toQt(parity));
}

void TSerialPort::setStopBits(Connection::StopBits stopBits)
{
    m_stopBits = stopBits;
    if (isOpen())
        m_port->setStopBits(toQt(stopBits));
}

void TSerialPort::setFlowControl(Connection::FlowControl flowControl)
{
    m_flowControl = flowControl;
    if (isOpen()) {
        m_port->setFlowControl(toQt(flowControl));
        applyModemLine(true, m_rts);
    }
}

void TSerialPort::applySettings()
{
    m_port->setBaudRate(m_baudRate);
    m_port->setDataBits(QSerialPort::DataBits(m_dataBits));
    m_port->setParity(toQt(m_parity));
    m_port->setStopBits(toQt(m_stopBits));
    m_port->setFlowControl(toQt(m_flowControl));
}

void TSerialPort::open()
{
    if (isOpen())
        close();

    const QString path = SerialPortPath(m_comNumber);
    if (path.isEmpty()) {
        throw AppError(QStringLiteral("COM%1 has no device: link COM%1 in %2 to one.")
                           .arg(m_comNumber)
                           .arg(PortMappingFolder()));
    }
    if (m_baudRate <= 0)
        throw AppError(QStringLiteral("%1 is no baud rate.").arg(m_baudRate));
    if (m_dataBits < 5) {
        throw AppError(QStringLiteral("COM%1 (%2): %3 data bits are not supported, only 5 to 8.")
                           .arg(m_comNumber)
                           .arg(path)
                           .arg(m_dataBits));
    }

    m_port->setPortName(path);
    applySettings();
    m_lastError = QSerialPort::NoError;
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QString reason = openFailure(path);
        m_port->clearError();
        throw AppError(reason);
    }

    m_port->clearError();
    ++m_generation;
    m_closeScheduled = false;
    applyModemLine(true, m_rts);
    applyModemLine(false, m_dtr);
    m_cts = m_dsr = false;
    m_modemLinesReadable = true;
    pollModemLines();
    if (m_modemLinesReadable)
        m_modemPoll.start();
    emit portOpened();
}

QString TSerialPort::openFailure(const QString &path) const
{
    QString reason =
        QStringLiteral("COM%1 (%2): %3").arg(m_comNumber).arg(path, m_port->errorString());
    if (m_port->error() != QSerialPort::PermissionError)
        return reason;
    // Permission errors come from the file's mode or from another program
    // holding the port; only the first is solved by joining the group.
    if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0) {
        reason += QStringLiteral(". The port may be in use by another program.");
        return reason;
    }
    const QString group = owningGroup(path);
    if (group.isEmpty()) {
        reason += QStringLiteral(". Your user may not use this device.");
    } else {
        reason += QStringLiteral(". Your user must be a member of the group \"%1\" that owns the "
                                 "device (log in again after joining it).")
                      .arg(group);
    }
    return reason;
}

void TSerialPort::close()
{
    m_modemPoll.stop();
    if (m_port->isOpen())
        m_port->close();
    m_closeScheduled = false;
    m_port->clearError();
    m_cts = m_dsr = false;
    m_modemLinesReadable = false;
    emit portClosed();
}

bool TSerialPort::isOpen() const
{
    return m_port->isOpen();
}

QString TSerialPort::summary() const
{
    return QStringLiteral("COM%1: %2,%3,%4,%5")
        .arg(m_comNumber)
        .arg(m_baudRate)
        .arg(Connection::ParityLetter(m_parity))
        .arg(m_dataBits)
        .arg(stopBitsText(m_stopBits));
}

QByteArray TSerialPort::readAll()
{
    return m_port->readAll();
}

qint64 TSerialPort::write(QByteArrayView data)
{
    if (!isOpen())
        return -1;
    return m_port->write(data.data(), data.size());
}

void TSerialPort::setRts(bool on)
{
    m_rts = on;
    if (isOpen())
        applyModemLine(true, on);
}

void TSerialPort::setDtr(bool on)
{
    m_dtr = on;
    if (isOpen())
        applyModemLine(false, on);
}

// Sets RTS or DTR on the open port. RTS belongs to the driver under RTS/CTS
// handshake. A device without modem lines refuses quietly (handleError).
void TSerialPort::applyModemLine(bool rts, bool on)
{
    if (rts) {
        if (m_flowControl != Connection::FlowControl::RtsCts)
            m_port->setRequestToSend(on);
    } else {
        m_port->setDataTerminalReady(on);
    }
}

void TSerialPort::pollModemLines()
{
    if (!isOpen())
        return;
    m_lastError = QSerialPort::NoError;
    const QSerialPort::PinoutSignals lines = m_port->pinoutSignals();
    bool cts = lines.testFlag(QSerialPort::ClearToSendSignal);
    bool dsr = lines.testFlag(QSerialPort::DataSetReadySignal);
    if (m_lastError != QSerialPort::NoError) {
        // No modem lines here (a pseudo-terminal): they stay off and are not
        // asked again until the next opening.
        m_modemLinesReadable = false;
        m_modemPoll.stop();
        cts = dsr = false;
    }
    if (cts != m_cts || dsr != m_dsr) {
        m_cts = cts;
        m_dsr = dsr;
        emit modemLinesChanged();
    }
}

void TSerialPort::handleError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        // The device is gone or broken. The port is closed from the event
        // loop, outside the driver's notification that reported it.
        if (m_port->isOpen() && !m_closeScheduled) {
            m_closeScheduled = true;
            const quint64 generation = m_generation;
            QMetaObject::invokeMethod(
                this, [this, generation] { closeVanished(generation); }, Qt::QueuedConnection);
        }
        return;
    default:
        // While opening, the error is the reason that open() reports. On an
        // open port (modem lines a device lacks, settings it refuses) the
        // operation fails quietly and the port stays as it is.
        if (m_port->isOpen()) {
            m_lastError = error;
            m_port->clearError();
        }
        return;
    }
}

void TSerialPort::closeVanished(quint64 generation)
{
    if (generation != m_generation || !m_closeScheduled || !m_port->isOpen())
        return;
    close();
}

void ApplyConnectionToPort(TSerialPort &port, const pugi::xml_node &node)
{
    if (!node)
        return;
    const Connection::SerialSettings settings = Connection::ReadSerialSettings(node);
    port.setComNumber(settings.port);
    port.setBaudRate(settings.baudRate);
    if (settings.dataBits)
        port.setDataBits(*settings.dataBits);
    port.setParity(settings.parity);
    port.setStopBits(settings.stopBits);
    port.setFlowControl(settings.flowControl);
}
