#include "mainwindow.h"

#include "capturecommands.h"
#include "core/apperror.h"
#include "core/appversion.h"
#include "core/bytenotation.h"
#include "core/xmlattribute.h"
#include "lang/language.h"
#include "lang/languagemenu.h"
#include "link/injectionserver.h"
#include "linkcontrol.h"
#include "messagebox.h"
#include "presets/presetbar.h"
#include "rxbufferbox.h"
#include "statusbar.h"
#include "terminallogview.h"
#include "ui/packet/framepaket.h"
#include "ui/packet/packeteditorattach.h"
#include "ui/tools/toolwindows.h"

#include "ui/main/namedobject.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int DesignWidth = 966;
constexpr int DesignHeight = 701;
constexpr int DesignPacketFrameWidth = 183;
constexpr int DesignRxBufferHeight = 117;

QWidget *plainPanel(const char *name, QWidget *parent)
{
    auto *panel = named(new QWidget(parent), name);
    return panel;
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = named(new QPushButton(caption, parent), name);
    b->setFixedSize(51, 25);
    return b;
}

// A root attribute read through ReadAttribute with a default.
QVariant rootValue(const pugi::xml_node &root, const char *name, const QVariant &fallback)
{
    return ReadAttribute(root, name, fallback);
}

} // namespace

TfMainTarvelTerm::TfMainTarvelTerm(QWidget *parent) : QMainWindow(parent)
{
    FormCreate();
}

TfMainTarvelTerm::~TfMainTarvelTerm()
{
    // The splitter's handlers reach into widgets: detach them before those go.
    m_parser->onPacket = nullptr;
    m_parser->onBufferChange = nullptr;
}

void TfMainTarvelTerm::FormCreate()
{
    setObjectName(QStringLiteral("fMainTarvelTerm"));
    setWindowTitle(QStringLiteral("Tarvel terminal"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(DesignWidth, DesignHeight);

    m_parser = std::make_unique<TTarvelParser>();
    buildLayout();
    m_link = new TLinkControl(*this);
    buildMenus();
    BuildLanguageMenu(mimLng);
    AttachCaptureCommands(*this);
    AttachToolWindows(*this);
    frPaket1 = AttachPacketEditor(*this);
    m_presets = new TPresetBar(*this, PageControl1, frPaket1);

    TTerminalLogView *log = vstTerminal;
    m_parser->onPacket = [log](const Datagram &datagram) { log->AddPacketRow(datagram); };
    m_parser->onBufferChange = [this](QByteArrayView buffer, Direction direction) {
        ParserBufferChange(buffer, direction);
    };
    connect(m_link, &TLinkControl::received, this, [this](const QByteArray &bytes) {
        m_parser->ProcessData(bytes, Direction::Rx, false);
    });

    StatusBar->setByteSource([log]() -> std::optional<quint8> {
        const TMouseCursorItem &item = log->mouseCursorItem();
        return item.Valid ? std::optional<quint8>(item.ByteValue) : std::nullopt;
    });
    connect(vstTerminal, &TTerminalLogView::mouseCursorItemChanged, StatusBar,
            qOverload<>(&QWidget::update));
    connect(StatusBar, &TStatusBar::panelRightClicked, this, [this](int, const QPoint &globalPos) {
        m_link->pmStatusBarConnection->popup(globalPos);
    });
    connect(StatusBar, &TStatusBar::panelDoubleClicked, this, &TfMainTarvelTerm::StatusBarDblClick);
    TSerialPort &port = m_link->serialPort();
    StatusBar->setModemLinesSource([&port] {
        return ModemLines{port.isOpen(), port.rts(), port.cts(), port.dtr(), port.dsr()};
    });
    for (auto signal :
         {&TSerialPort::portOpened, &TSerialPort::portClosed, &TSerialPort::modemLinesChanged})
        connect(&port, signal, StatusBar, qOverload<>(&QWidget::update));
    connectTranslator();
}

void TfMainTarvelTerm::connectTranslator()
{
    TLanguage &language = Language();
    language.showMessage = [this](const QString &text) { ShowMessage(this, text); };
    // The language menu is hidden while a language file is applied, then
    // shows the language's name and flag.
    connect(&language, &TLanguage::translationStarting, this,
            [this] { mimLng->menuAction()->setVisible(false); });
    connect(&language, &TLanguage::translationFinished, this,
            [this](const QString &languageName, const QString &flagName) {
                mimLng->setTitle(languageName);
                LoadLngBitmatp(flagName, mimLng);
                mimLng->menuAction()->setVisible(true);
                RightJustifyMenuItems();
            });
}

void TfMainTarvelTerm::buildLayout()
{
    auto *central = plainPanel("pClient", this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pTop = buildPresetBar();
    layout->addWidget(pTop);

    pMiddle = plainPanel("pMiddle", central);
    auto *middleLayout = new QHBoxLayout(pMiddle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = named(new QSplitter(Qt::Horizontal, pMiddle), "Splitter1");
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    middleLayout->addWidget(Splitter1);

    pLeft = plainPanel("pLeft", Splitter1);
    pLeft->setMinimumSize(180, 321);
    auto *leftLayout = new QVBoxLayout(pLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    // The packet editor takes this place when it is attached.
    leftLayout->addWidget(named(new QFrame(pLeft), "frPaket1"));

    pCenter = plainPanel("pCenter", Splitter1);
    auto *centerLayout = new QVBoxLayout(pCenter);
    centerLayout->setContentsMargins(5, 5, 5, 5);
    Splitter2 = named(new QSplitter(Qt::Vertical, pCenter), "Splitter2");
    Splitter2->setHandleWidth(3);
    Splitter2->setChildrenCollapsible(false);
    centerLayout->addWidget(Splitter2);
    vstTerminal = new TTerminalLogView(m_parser->capture().store(), Splitter2);
    pBottom = buildBottomArea();
    Splitter2->addWidget(pBottom);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    Splitter2->setSizes({DesignHeight, DesignRxBufferHeight});

    Splitter1->addWidget(pLeft);
    Splitter1->addWidget(pCenter);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({DesignPacketFrameWidth, DesignWidth});
    layout->addWidget(pMiddle, 1);
    // Takes the space while the middle area is hidden and the window shrinks.
    layout->addStretch(0);

    StatusBar = new TStatusBar(central);
    layout->addWidget(StatusBar);
    setCentralWidget(central);
}

QWidget *TfMainTarvelTerm::buildPresetBar()
{
    auto *bar = named(new QFrame(centralWidget()), "pTop");
    bar->setFrameShape(QFrame::Box);
    bar->setFixedHeight(60);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    PageControl1 = named(new QTabWidget(bar), "PageControl1");
    layout->addWidget(PageControl1, 1);
    Image1 = named(new QLabel(bar), "Image1");
    Image1->setFixedSize(53, 54);
    Image1->setScaledContents(true);
    layout->addWidget(Image1);
    return bar;
}

QWidget *TfMainTarvelTerm::buildBottomArea()
{
    QWidget *bottom = plainPanel("pBottom", Splitter2);
    auto *layout = new QVBoxLayout(bottom);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    eRxBuffer = new TRxBufferBox(bottom);
    eRxBuffer->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(eRxBuffer, 1);

    frame1 = plainPanel("frame1", bottom);
    frame1->setFixedHeight(30);
    auto *line = new QHBoxLayout(frame1);
    line->setContentsMargins(0, 2, 0, 2);
    Edit1 = named(new QLineEdit(frame1), "Edit1");
    line->addWidget(Edit1, 1);
    cbCR = named(new QCheckBox(QStringLiteral("+<CR>"), frame1), "cbCR");
    cbCR->setChecked(true);
    cbCR->setLayoutDirection(Qt::RightToLeft);
    line->addWidget(cbCR);
    bSend = button("bSend", QStringLiteral("Odeslat"), frame1);
    bClear = button("bClear", QStringLiteral("Smazat"), frame1);
    bMoveUp = button("bMoveUp", QStringLiteral("MoveUp"), frame1);
    line->addWidget(bSend);
    line->addWidget(bClear);
    line->addWidget(bMoveUp);
    layout->addWidget(frame1);

    connect(bClear, &QPushButton::clicked, this, &TfMainTarvelTerm::bClearClick);
    connect(bSend, &QPushButton::clicked, this, &TfMainTarvelTerm::bSendClick);
    connect(Edit1, &QLineEdit::returnPressed, this, &TfMainTarvelTerm::bSendClick);
    connect(bMoveUp, &QPushButton::clicked, this, &TfMainTarvelTerm::pmiMoveUpClick);

    pmBuffer = named(new QMenu(this), "pmBuffer");
    auto *moveUpItem = named(pmBuffer->addAction(QStringLiteral("Move Up")), "pmiMoveUp");
    connect(moveUpItem, &QAction::triggered, this, &TfMainTarvelTerm::pmiMoveUpClick);
    auto *clearItem = named(pmBuffer->addAction(QStringLiteral("Smazat")), "pmiClear");
    connect(clearItem, &QAction::triggered, this, &TfMainTarvelTerm::bClearClick);
    connect(eRxBuffer, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { pmBuffer->popup(eRxBuffer->mapToGlobal(pos)); });
    return bottom;
}

QAction *TfMainTarvelTerm::addMenuItem(QMenu *menu, const char *name, const QString &caption)
{
    return named(menu->addAction(caption), name);
}

QAction *TfMainTarvelTerm::addActionItem(QMenu *menu, const char *itemName, QAction *action)
{
    QAction *item = addMenuItem(menu, itemName, action->text());
    const auto follow = [item, action] {
        item->setText(action->text());
        item->setToolTip(action->toolTip());
        if (!action->shortcut().isEmpty())
            item->setShortcut(action->shortcut());
        item->setEnabled(action->isEnabled());
        item->setVisible(action->isVisible());
    };
    follow();
    connect(action, &QAction::changed, item, follow);
    connect(item, &QAction::triggered, action, &QAction::trigger);
    return item;
}

void TfMainTarvelTerm::buildMenus()
{
    aClose = named(new QAction(QStringLiteral("Konec"), this), "aClose");
    aClose->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(aClose, &QAction::triggered, this, &QWidget::close);

    mimFile = named(menuBar()->addMenu(QStringLiteral("Soubor")), "mimFile");
    m_link->addFileMenuItems(mimFile);
    mimFile->addSeparator();
    addActionItem(mimFile, "mimClose", aClose);

    mimView = named(menuBar()->addMenu(QStringLiteral("Zobrazení")), "mimView");
    const auto toggle = [this](const char *name, const QString &caption, auto handler) {
        QAction *item = addMenuItem(mimView, name, caption);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    mimViewPresets = toggle("mimViewPresets", QStringLiteral("Předvolby"),
                            [this] { pTop->setVisible(pTop->isHidden()); });
    mimView->addSeparator();
    mimViewPaketT97 = toggle("mimViewPaketT97", QStringLiteral("Paket T97"), [this] {
        pLeft->setVisible(pLeft->isHidden());
        CheckMiddlePanelVisibility();
    });
    mimViewCommunicationLog =
        toggle("mimViewCommunicationLog", QStringLiteral("Komunikace"), [this] {
            pCenter->setVisible(pCenter->isHidden());
            CheckMiddlePanelVisibility();
        });
    mimView->addSeparator();
    mimViewStatusBar = toggle("mimViewStatusBar", QStringLiteral("Stavový řádek"),
                              [this] { StatusBar->setVisible(StatusBar->isHidden()); });
    connect(mimView, &QMenu::aboutToShow, this, &TfMainTarvelTerm::mimViewClick);

    // The language menu stands at the right end of the menu bar.
    m_rightMenuBar = named(new QMenuBar(menuBar()), "mbRight");
    mimLng = named(m_rightMenuBar->addMenu(QString()), "mimLng");
    menuBar()->setCornerWidget(m_rightMenuBar, Qt::TopRightCorner);
}

void TfMainTarvelTerm::mimViewClick()
{
    mimViewCommunicationLog->setChecked(!pCenter->isHidden());
    mimViewPaketT97->setChecked(!pLeft->isHidden());
    mimViewPresets->setChecked(!pTop->isHidden());
    mimViewStatusBar->setChecked(!StatusBar->isHidden());
}

void TfMainTarvelTerm::CheckMiddlePanelVisibility()
{
    SetMiddlePanelVisible(!pLeft->isHidden() || !pCenter->isHidden());
}

void TfMainTarvelTerm::SetMiddlePanelVisible(bool value)
{
    if (pMiddle->isHidden() != value)
        return;
    const int middleHeight = pMiddle->height();
    if (value)
        resize(width(), height() + middleHeight);
    pMiddle->setVisible(value);
    if (!value) {
        // The window's minimum size must drop before it can shrink.
        centralWidget()->layout()->activate();
        layout()->activate();
        resize(width(), height() - middleHeight);
    }
}

void TfMainTarvelTerm::RightJustifyMenuItems()
{
    // The corner menu bar is right-aligned by the main menu bar itself; it
    // only has to be measured again after its items changed.
    m_rightMenuBar->adjustSize();
    menuBar()->setCornerWidget(m_rightMenuBar, Qt::TopRightCorner);
    menuBar()->update();
}

void TfMainTarvelTerm::SetStatusText(const QString &message)
{
    StatusBar->setPanelText(TStatusBar::VersionPanel, QStringLiteral("ver.") + GetAppVersion());
    if (!message.isEmpty()) {
        StatusBar->setPanelText(TStatusBar::MessagePanel, message);
        emit statusMessage(message);
    }
}

void TfMainTarvelTerm::bClearClick()
{
    vstTerminal->clear();
    eRxBuffer->clear();
    m_parser->Clear();
}

void TfMainTarvelTerm::SendData(QByteArrayView data, bool force)
{
    m_link->write(data);
    m_parser->ProcessData(data, Direction::Tx, force);
}

void TfMainTarvelTerm::bSendClick()
{
    m_parser->ProcessData({}, Direction::Rx, true);
    QString line = Edit1->text();
    if (cbCR->isChecked())
        line += QChar(u'\r');
    SendData(TextToBytes(line), true);
}

void TfMainTarvelTerm::pmiMoveUpClick()
{
    m_parser->ProcessData({}, Direction::Rx, true);
}

void TfMainTarvelTerm::ParserBufferChange(QByteArrayView buffer, Direction direction)
{
    if (direction == Direction::Rx)
        eRxBuffer->showBuffer(buffer, m_parser->pendingOffset(Direction::Rx));
}

void TfMainTarvelTerm::WMCopyData(QByteArrayView message)
{
    if (message.isEmpty())
        return;
    const Direction direction = message.front() == 1 ? Direction::Rx : Direction::Tx;
    m_parser->ProcessData(message.sliced(1), direction, true);
}

bool TfMainTarvelTerm::StartInjectionServer(const QString &path)
{
    if (!m_injectionServer) {
        m_injectionServer = new TInjectionServer(this);
        m_injectionServer->onMessage = [this](QByteArrayView message) { WMCopyData(message); };
    }
    return m_injectionServer->listen(path);
}

void TfMainTarvelTerm::StatusBarDblClick(int panel)
{
    TSerialPort &port = m_link->serialPort();
    switch (panel) {
    case TStatusBar::MessagePanel:
        m_link->toggleLink();
        break;
    case TStatusBar::RtsPanel:
        port.setRts(!port.rts());
        break;
    case TStatusBar::DtrPanel:
        port.setDtr(!port.dtr());
        break;
    default:
        return;
    }
    SetStatusText(QString());
}

QSize TfMainTarvelTerm::frameExtra() const
{
    return frameGeometry().size() - geometry().size();
}

void TfMainTarvelTerm::centreOnScreen()
{
    const QRect screenArea = screen()->geometry();
    const QSize outer = frameGeometry().size();
    move(screenArea.width() / 2 - outer.width() / 2, screenArea.height() / 2 - outer.height() / 2);
}

void TfMainTarvelTerm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    RunReportingErrors(this, [this] { FormShow(); });
}

void TfMainTarvelTerm::FormShow()
{
    centreOnScreen();
    switch (m_config.load()) {
    case ConfigFile::LoadResult::Missing:
        break;
    case ConfigFile::LoadResult::Unreadable: {
        QString message = m_config.errorMessage();
        message += m_config.keptAs().isEmpty()
                       ? QStringLiteral("\n\n\"%1\" could not be moved aside; it will not be "
                                        "overwritten.")
                             .arg(m_config.fileName())
                       : QStringLiteral("\n\nThe unreadable file was kept as \"%1\".")
                             .arg(m_config.keptAs());
        ShowError(this, message);
        return;
    }
    case ConfigFile::LoadResult::Loaded:
        loadRememberedLanguage();
        m_presets->setPresetsNode(m_config.child("presets"));
        m_presets->LoadPresets();
        reopenLastConnection();
        restoreView(m_config.root());
        break;
    }
    SetStatusText(QString());
    frPaket1->SelectDataCell();
    RightJustifyMenuItems();
}

void TfMainTarvelTerm::loadRememberedLanguage()
{
    const QString fileName =
        ReadAttribute(m_config.child("language"), "lngFileName", QString()).toString();
    if (!fileName.isEmpty())
        RunReportingErrors(this, [&fileName] { Language().LoadLanguageFile(fileName); });
}

void TfMainTarvelTerm::reopenLastConnection()
{
    // The link reports its own failures; nothing else is to be done here.
    try {
        m_link->OpenConnection(Connection::LastGoodConnection(m_config.root()));
    } catch (const std::exception &) {
    }
}

void TfMainTarvelTerm::restoreView(const pugi::xml_node &root)
{
    const QVariant shown = QStringLiteral("True");
    pLeft->setVisible(VariantToBool(rootValue(root, "viewPacket", shown)));
    pTop->setVisible(VariantToBool(rootValue(root, "viewPresets", shown)));
    pCenter->setVisible(VariantToBool(rootValue(root, "viewCommonicationLog", shown)));
    StatusBar->setVisible(VariantToBool(rootValue(root, "viewStatusBar", shown)));
    CheckMiddlePanelVisibility();

    // The placement keys apply one by one, each only when it is there.
    const auto placement = [&root](const char *name) -> std::optional<int> {
        const pugi::xml_attribute attribute = root.attribute(name);
        if (!attribute)
            return std::nullopt;
        return VariantToInt(QString::fromUtf8(attribute.value()));
    };
    if (const auto top = placement("top"))
        move(frameGeometry().left(), *top);
    if (const auto left = placement("left"))
        move(*left, frameGeometry().top());
    if (const auto width = placement("width"))
        resize(*width - frameExtra().width(), height());
    if (const auto height = placement("height"))
        resize(width(), *height - frameExtra().height());

    const int packetFrameWidth = VariantToInt(rootValue(root, "packetFrameWidth", pLeft->width()));
    const int rxBufferHeight = VariantToInt(rootValue(root, "rxBufferHeight", pBottom->height()));
    centralWidget()->layout()->activate();
    Splitter1->setSizes({packetFrameWidth, qMax(0, Splitter1->width() - packetFrameWidth)});
    Splitter2->setSizes({qMax(0, Splitter2->height() - rxBufferHeight), rxBufferHeight});
    PageControl1->setCurrentIndex(VariantToInt(rootValue(root, "presetPageIndex", 0)));
}

void TfMainTarvelTerm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TfMainTarvelTerm::FormClose()
{
    WriteAttribute(m_config.child("language"), "lngFileName", Language().GetLanguageFileName());
    saveView(m_config.root());
    try {
        m_config.save();
    } catch (const AppError &error) {
        // The window closes all the same.
        ShowError(this, error.message());
    }
}

void TfMainTarvelTerm::saveView(pugi::xml_node root)
{
    // The view keys are written in their fixed order, after any other attributes.
    for (const char *name : {"top", "left", "width", "height", "compact", "viewPacket",
                             "viewPresets", "viewCommonicationLog", "viewStatusBar",
                             "packetFrameWidth", "rxBufferHeight", "presetPageIndex"})
        root.remove_attribute(name);
    const QRect bounds = frameGeometry();
    WriteAttribute(root, "top", bounds.top());
    WriteAttribute(root, "left", bounds.left());
    WriteAttribute(root, "width", bounds.width());
    WriteAttribute(root, "height", bounds.height());
    WriteAttribute(root, "compact", !pMiddle->isHidden());
    WriteAttribute(root, "viewPacket", !pLeft->isHidden());
    WriteAttribute(root, "viewPresets", !pTop->isHidden());
    WriteAttribute(root, "viewCommonicationLog", !pCenter->isHidden());
    WriteAttribute(root, "viewStatusBar", !StatusBar->isHidden());
    WriteAttribute(root, "packetFrameWidth", pLeft->width());
    WriteAttribute(root, "rxBufferHeight", pBottom->height());
    WriteAttribute(root, "presetPageIndex", qMax(0, PageControl1->currentIndex()));
}
