#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

// A main window shaped like the program's, with its Czech texts: menus and
// an action, controls of each kind in a layout, a tab page and two packet
// editor frames that both own a check box named cbSUM.
class FixtureWindow : public QMainWindow
{
public:
    FixtureWindow()
    {
        setObjectName(QStringLiteral("fMainTarvelTerm"));
        setWindowTitle(QStringLiteral("Tarvel Terminál"));

        mimFile = menuBar()->addMenu(QStringLiteral("Soubor"));
        mimFile->setObjectName(QStringLiteral("mimFile"));
        aSaveData = mimFile->addAction(QStringLiteral("Uložit data"));
        aSaveData->setObjectName(QStringLiteral("aSaveData"));
        // A menu-bar item known by its action's name rather than its menu's.
        viewMenu = menuBar()->addMenu(QStringLiteral("Zobrazit"));
        viewMenu->menuAction()->setObjectName(QStringLiteral("mimView"));

        auto *central = new QWidget(this);
        auto *layout = new QVBoxLayout(central);
        bSend = addTo(layout, new QPushButton(QStringLiteral("Odeslat")), u"bSend");
        eSend = addTo(layout, new QLineEdit, u"eSend");
        lStatus = addTo(layout, new QLabel(QStringLiteral("Stav")), u"lStatus");
        cbParity = addTo(layout, new QComboBox, u"cbParity");
        cbParity->addItems({QStringLiteral("Žádná"), QStringLiteral("None")});
        gbSettings = addTo(layout, new QGroupBox(QStringLiteral("Nastavení")), u"gbSettings");
        pcPresets = addTo(layout, new QTabWidget, u"pcPresets");
        tsGroup1 = new QWidget;
        tsGroup1->setObjectName(QStringLiteral("tsGroup1"));
        pcPresets->addTab(tsGroup1, QStringLiteral("Skupina"));
        frPaket1 = addPacketFrame(layout, u"frPaket1");
        frPaket2 = addPacketFrame(layout, u"frPaket2");
        setCentralWidget(central);
    }

    QCheckBox *checksumBox(QFrame *frame) const
    {
        return frame->findChild<QCheckBox *>(QStringLiteral("cbSUM"));
    }

    QMenu *mimFile;
    QAction *aSaveData;
    QMenu *viewMenu;
    QPushButton *bSend;
    QLineEdit *eSend;
    QLabel *lStatus;
    QComboBox *cbParity;
    QGroupBox *gbSettings;
    QTabWidget *pcPresets;
    QWidget *tsGroup1;
    QFrame *frPaket1;
    QFrame *frPaket2;

private:
    template <typename Widget>
    static Widget *addTo(QVBoxLayout *layout, Widget *widget, QStringView name)
    {
        widget->setObjectName(name.toString());
        layout->addWidget(widget);
        return widget;
    }

    static QFrame *addPacketFrame(QVBoxLayout *layout, QStringView name)
    {
        auto *frame = addTo(layout, new QFrame, name);
        auto *frameLayout = new QVBoxLayout(frame);
        addTo(frameLayout, new QCheckBox(QStringLiteral("Součet")), u"cbSUM");
        addTo(frameLayout, new QLineEdit, u"vle");
        return frame;
    }
};

// A dialog created after a language was loaded, which translates itself.
class FixtureDialog : public QDialog
{
public:
    FixtureDialog()
    {
        setObjectName(QStringLiteral("fNewconnection"));
        setWindowTitle(QStringLiteral("Nové spojení"));
        bOk = new QPushButton(QStringLiteral("Připojit"), this);
        bOk->setObjectName(QStringLiteral("bOk"));
    }

    QPushButton *bOk;
};
