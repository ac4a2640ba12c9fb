#include "packeteditorattach.h"

#include "framepaket.h"
#include "packetwindow.h"
#include "ui/main/mainwindow.h"
#include "ui/main/terminallogview.h"

#include "ui/main/namedobject.h"
#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

// The menu-bar item the packet menu goes before: the first of the setup,
// tools and view menus; none puts it at the end.
QAction *packetMenuPlace(QMenuBar *bar)
{
    for (QAction *item : bar->actions()) {
        const QMenu *menu = item->menu();
        if (!menu)
            continue;
        const QString name = menu->objectName();
        if (name == u"mimSetup" || name == u"mimUtility" || name == u"mimView")
            return item;
    }
    return nullptr;
}

TfrPaket *placeEditor(TfMainTarvelTerm &window)
{
    auto *pLeft = window.findChild<QWidget *>(QStringLiteral("pLeft"));
    Q_ASSERT(pLeft && pLeft->layout());
    auto *frPaket1 = named(new TfrPaket(pLeft), "frPaket1");
    frPaket1->setMainWindowLook();
    auto *placeholder =
        pLeft->findChild<QFrame *>(QStringLiteral("frPaket1"), Qt::FindDirectChildrenOnly);
    if (placeholder && placeholder != frPaket1) {
        delete pLeft->layout()->replaceWidget(placeholder, frPaket1);
        delete placeholder;
    } else {
        pLeft->layout()->addWidget(frPaket1);
    }
    return frPaket1;
}

} // namespace

TfrPaket *AttachPacketEditor(TfMainTarvelTerm &window)
{
    TfrPaket *frPaket1 = placeEditor(window);
    frPaket1->InitEditor();

    // frPaket1bPktSendClick: the editor's packets are written without force.
    QObject::connect(frPaket1, &TfrPaket::sendRequested, &window,
                     [&window](const QByteArray &packet) { window.SendData(packet, false); });

    // Saving a preset is the preset bar's, which connects to the action.
    auto *aSetPreset = named(new QAction(QStringLiteral("Do předvolby"), &window), "aSetPreset");
    aSetPreset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    window.addAction(aSetPreset);
    frPaket1->setSaveAction(aSetPreset);

    QMenuBar *bar = window.menuBar();
    auto *mimPacket = named(new QMenu(QStringLiteral("Paket"), bar), "mimPacket");
    bar->insertMenu(packetMenuPlace(bar), mimPacket);
    auto *mimSave = named(mimPacket->addAction(QStringLiteral("Uložit")), "mimSave");
    mimSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    QObject::connect(mimSave, &QAction::triggered, frPaket1->saveButton(), &QPushButton::click);
    auto *mimSend = named(mimPacket->addAction(QStringLiteral("Poslat")), "mimSend");
    mimSend->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    QObject::connect(mimSend, &QAction::triggered, frPaket1->sendButton(), &QPushButton::click);

    TTerminalLogView *log = window.logView();
    QObject::connect(log, &TTerminalLogView::rowActivated, &window, [&window, log](quint64 index) {
        if (index < log->rowCount())
            OpenPacketWindow(&window, index, log->row(index));
    });
    return frPaket1;
}
