#pragma once

#include <QString>

// Which way bytes travelled: received from the link, or sent by the user.
// The numeric values are the indexes used wherever directions are stored.
enum class Direction : quint8
{
    Rx = 0,
    Tx = 1
};

[[nodiscard]] inline QLatin1StringView DirectionName(Direction direction)
{
    return direction == Direction::Rx ? QLatin1StringView("Rx") : QLatin1StringView("Tx");
}
