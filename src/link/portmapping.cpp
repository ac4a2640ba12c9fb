#include "portmapping.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

namespace {

// The fixed table: consecutive port numbers on consecutive device numbers.
struct DeviceRange
{
    int firstNumber;
    int count;
    const char16_t *prefix;
};

constexpr DeviceRange FixedTable[] = {
    {1, 32, u"/dev/ttyS"},    {33, 32, u"/dev/ttyUSB"},  {65, 32, u"/dev/ttyACM"},
    {97, 16, u"/dev/ttyAMA"}, {113, 16, u"/dev/rfcomm"},
};

QString fixedPath(int number)
{
    for (const DeviceRange &range : FixedTable) {
        if (number >= range.firstNumber && number < range.firstNumber + range.count)
            return QString::fromUtf16(range.prefix) + QString::number(number - range.firstNumber);
    }
    return {};
}

// The entry COM<n> of the mapping folder: a symbolic link names the device
// by its target, a regular file by the first line of its text (a relative
// path counts from the folder); anything else (a device node put there)
// is the device itself. Empty when there is no usable entry.
QString mappedPath(int number)
{
    const QDir folder(PortMappingFolder());
    const QString entry = folder.filePath(QStringLiteral("COM%1").arg(number));
    const QFileInfo info(entry);
    if (info.isSymLink())
        return info.symLinkTarget();
    if (!info.exists() || info.isDir())
        return {};
    if (!info.isFile())
        return entry;
    QFile file(entry);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString target = QString::fromLocal8Bit(file.readLine(4096)).trimmed();
    if (target.isEmpty())
        return {};
    return QDir::cleanPath(folder.absoluteFilePath(target));
}

} // namespace

QString PortMappingFolder()
{
    const QString folder = qEnvironmentVariable("TARVEL_COM_DIR");
    if (!folder.isEmpty())
        return folder;
    return QDir::homePath() + QStringLiteral("/.config/tarvel-terminal/ports");
}

QString SerialPortPath(int number)
{
    if (number < FirstPortNumber || number > LastPortNumber)
        return {};
    const QString mapped = mappedPath(number);
    return mapped.isEmpty() ? fixedPath(number) : mapped;
}

QList<PortListEntry> AvailablePorts()
{
    // The adapters the system knows, by the real path of their device.
    QHash<QString, QString> descriptions;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        const QString real = QFileInfo(info.systemLocation()).canonicalFilePath();
        if (!real.isEmpty())
            descriptions.insert(real, info.description());
    }

    QList<PortListEntry> ports;
    ports.reserve(LastPortNumber - FirstPortNumber + 1);
    for (int number = FirstPortNumber; number <= LastPortNumber; ++number) {
        PortListEntry entry;
        entry.number = number;
        entry.path = SerialPortPath(number);
        if (!entry.path.isEmpty()) {
            const QString real = QFileInfo(entry.path).canonicalFilePath();
            entry.present = !real.isEmpty();
            if (entry.present)
                entry.description = descriptions.value(real);
        }
        ports.append(entry);
    }
    return ports;
}
