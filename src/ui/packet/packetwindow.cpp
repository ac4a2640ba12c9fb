#include "packetwindow.h"

#include "core/byteformat.h"
#include "framepacket.h"
#include "lang/language.h"

#include <QApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr int WindowWidth = 557;
constexpr int WindowHeight = 306;

} // namespace

QString PacketWindowName(quint64 index)
{
    return QStringLiteral("pf_") + QString::number(index);
}

QWidget *FindPacketWindow(quint64 index)
{
    const QString name = PacketWindowName(index);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        // A closed window is hidden until it is deleted: it no longer counts.
        if (window->objectName() == name && !window->isHidden())
            return window;
    }
    return nullptr;
}

QWidget *OpenPacketWindow(QWidget *mainWindow, quint64 index, const Datagram &row)
{
    if (QWidget *open = FindPacketWindow(index)) {
        if (open->isMinimized())
            open->showNormal();
        open->raise();
        open->activateWindow();
        return open;
    }

    auto *form = new QWidget(mainWindow, Qt::Tool | Qt::WindowStaysOnTopHint);
    form->setObjectName(PacketWindowName(index));
    form->setAttribute(Qt::WA_DeleteOnClose);
    QString caption = Language().GetText(u"PacketLine", u"Line %d.");
    caption.replace(QStringLiteral("%d"), QString::number(index));
    form->setWindowTitle(caption);

    auto *layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new TfrPacket(BytesToHex(row.data), form));

    form->resize(WindowWidth, WindowHeight);
    QScreen *screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        form->move(area.center() - QPoint(WindowWidth / 2, WindowHeight / 2));
    }
    form->show();
    return form;
}
