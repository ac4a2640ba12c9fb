#pragma once

#include "core/direction.h"

#include <QByteArrayView>
#include <QDebug>

// One captured datagram: its direction, its bytes and whether it is a valid
// frame or line. The bytes stay owned by the DatagramStore that holds it.
struct Datagram
{
    Direction direction = Direction::Rx;
    QByteArrayView data;
    bool valid = false;

    friend bool operator==(const Datagram &a, const Datagram &b)
    {
        return a.direction == b.direction && a.valid == b.valid && a.data == b.data;
    }
};

inline QDebug operator<<(QDebug debug, const Datagram &datagram)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Datagram(" << DirectionName(datagram.direction) << ", "
                    << datagram.data.toByteArray().toHex(' ') << ", "
                    << (datagram.valid ? "valid" : "invalid") << ')';
    return debug;
}
