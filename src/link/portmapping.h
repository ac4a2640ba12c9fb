#pragma once

#include <QList>
#include <QString>

// Serial ports are chosen by number, 1 to 200. A number resolves to a device
// path through the port-mapping folder first (an entry "COM<n>" that is a
// symbolic link to the device, or a file holding its path), then through a
// fixed table: COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96
// /dev/ttyACM0-31, COM97-112 /dev/ttyAMA0-15, COM113-128 /dev/rfcomm0-15.
// Numbers 129 to 200 exist only through the folder.

constexpr int FirstPortNumber = 1;
constexpr int LastPortNumber = 200;

// The folder named by TARVEL_COM_DIR, else ~/.config/tarvel-terminal/ports.
[[nodiscard]] QString PortMappingFolder();

// The device path of a port number, or empty when the number maps to none.
[[nodiscard]] QString SerialPortPath(int number);

// One entry of the port list.
struct PortListEntry
{
    int number = 0;
    QString path;         // empty when the number maps to no path
    bool present = false; // the device exists now
    QString description;  // the adapter's description, when known
};

// All 200 numbers, in order, with what is present now.
[[nodiscard]] QList<PortListEntry> AvailablePorts();
