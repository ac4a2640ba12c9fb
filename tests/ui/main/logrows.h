#pragma once

#include "ui/main/mainwindow.h"
#include "ui/main/terminallogview.h"

#include <QStringList>

// The log's rows as "Rx 2A6100... valid" lines, for comparing whole logs.
inline QStringList logRows(const TfMainTarvelTerm &window)
{
    QStringList rows;
    for (quint64 i = 0; i < window.logView()->rowCount(); ++i) {
        const Datagram d = window.logView()->row(i);
        rows << QStringLiteral("%1 %2 %3")
                    .arg(DirectionName(d.direction),
                         QString::fromLatin1(d.data.toByteArray().toHex().toUpper()),
                         d.valid ? QStringLiteral("valid") : QStringLiteral("invalid"));
    }
    return rows;
}
