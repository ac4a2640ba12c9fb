#pragma once

#include <QList>

class QWidget;

// Enables or disables each widget; combo boxes and spin boxes (the port list
// and the numeric edits among them) also turn white when enabled and take the
// button-face colour when disabled, so that a disabled group reads as one.
void EnableControls(const QList<QWidget *> &controls, bool enabled);
