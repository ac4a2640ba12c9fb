#pragma once

#include "capture/datagram.h"

#include <QString>

class QWidget;

// The packet window of a log row is a small tool window named "pf_" and the
// row's zero-based index, with the caption "Line <index>." (key
// "PacketLine"). There is at most one per row: opening it again brings the
// open one forward, whatever it shows. Closing it destroys it.

// The name of the packet window of a log row: pf_12 for index 12.
[[nodiscard]] QString PacketWindowName(quint64 index);

// The open packet window of a log row, or nullptr.
[[nodiscard]] QWidget *FindPacketWindow(quint64 index);

// Opens the packet window of a log row with the row's bytes, or brings its
// open window forward and gives it the focus. The window belongs to the
// main window and stays on top. Returns the window.
QWidget *OpenPacketWindow(QWidget *mainWindow, quint64 index, const Datagram &row);
