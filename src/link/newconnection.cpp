#include "newconnection.h"

#include "core/xmlattribute.h"
#include "intedit.h"
#include "lang/language.h"
#include "portmapping.h"
#include "ui/main/enablecontrols.h"
#include "ui/main/messagebox.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimer>

using namespace Connection;

namespace {

// Geometry of the settings panel: labels on the left, controls beside them.
constexpr int LabelX = 16;
constexpr int ControlX = 104;
constexpr int ControlWidth = 153;
constexpr int RowHeight = 22;

// Device nodes come and go in bursts (a USB adapter brings several); one
// rebuild of the port list follows a burst.
constexpr int DeviceChangeDelayMs = 100;

QString PortLineText(const PortListEntry &port)
{
    QString text = QStringLiteral("COM %1").arg(port.number);
    if (port.present && !port.path.isEmpty()) {
        QString device = port.path;
        if (!port.description.isEmpty())
            device += QStringLiteral(", ") + port.description;
        text += QStringLiteral(" (%1)").arg(device);
    }
    return text;
}

// Restores what RefreshPortList changed, also when rebuilding fails.
class PortListRefreshGuard
{
public:
    explicit PortListRefreshGuard(QComboBox *list)
        : m_list(list), m_wasEnabled(list->isEnabled()),
          m_signalsWereBlocked(list->signalsBlocked())
    {
        m_list->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_list->setUpdatesEnabled(false);
        m_list->blockSignals(true);
    }
    ~PortListRefreshGuard()
    {
        m_list->blockSignals(m_signalsWereBlocked);
        m_list->setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
        m_list->setEnabled(m_wasEnabled);
    }
    PortListRefreshGuard(const PortListRefreshGuard &) = delete;
    PortListRefreshGuard &operator=(const PortListRefreshGuard &) = delete;

private:
    QComboBox *m_list;
    bool m_wasEnabled;
    bool m_signalsWereBlocked;
};

struct LoadingScope
{
    int &depth;
    explicit LoadingScope(int &d) : depth(d) { ++depth; }
    ~LoadingScope() { --depth; }
    LoadingScope(const LoadingScope &) = delete;
    LoadingScope &operator=(const LoadingScope &) = delete;
};

QComboBox *MakeList(QWidget *parent, const char *name, const QStringList &items, int initial)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    list->setCurrentIndex(initial);
    return list;
}

} // namespace

HistoryLineLayout LayOutHistoryLine(const QFontMetrics &metrics, const QRect &line, Kind kind)
{
    const QString serialPrefix = QStringLiteral("serial - ");
    const QString tcpPrefix = QStringLiteral("TCP - ");
    const int x = line.left() + 8;
    const int y = line.top() + 1;
    const int textX = x + metrics.horizontalAdvance(serialPrefix);
    switch (kind) {
    case Kind::Serial:
        return {serialPrefix, {x, y}, {textX, y}};
    case Kind::Tcp:
        return {tcpPrefix, {textX - metrics.horizontalAdvance(tcpPrefix), y}, {textX, y}};
    case Kind::Other:
        break;
    }
    return {QString(), {x, y}, {x, y}};
}

void THistoryLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    painter->save();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    painter->fillRect(option.rect,
                      option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);

    const auto kind = Kind(index.data(KindRole).toInt());
    const HistoryLineLayout layout = LayOutHistoryLine(option.fontMetrics, option.rect, kind);
    if (!layout.prefix.isEmpty()) {
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        QRect prefixRect = option.rect;
        prefixRect.setTopLeft(layout.prefixAt);
        painter->drawText(prefixRect, flags, layout.prefix);
        QRect textRect = option.rect;
        textRect.setTopLeft(layout.textAt);
        painter->drawText(textRect, flags, index.data(Qt::DisplayRole).toString());
    }
    painter->restore();
}

QSize THistoryLineDelegate::sizeHint(const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), LineHeight};
}

TfNewConnection::TfNewConnection(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    FormCreate();
}

TfNewConnection::~TfNewConnection()
{
    // The history entries go with their lines, the last line first.
    while (!m_history.empty()) {
        m_history.pop_back();
        delete lbHistory->takeItem(lbHistory->count() - 1);
    }
}

void TfNewConnection::FormCreate()
{
    setObjectName(QStringLiteral("fNewconnection"));
    setWindowTitle(QStringLiteral("Tarvel Terminal: Nové připojení"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    buildSettingsPanel();
    buildHistoryPanel();
    buildButtonPanel();

    auto *panels = new QHBoxLayout;
    panels->setContentsMargins(0, 0, 0, 0);
    panels->setSpacing(0);
    panels->addWidget(Panel1, 0, Qt::AlignLeft);
    panels->addWidget(pTop, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panels, 1);
    layout->addWidget(pBottom);
    setFixedSize(510, 404);

    fillPortList();
    watchDevices();

    RunReportingErrors(this, [this] { Language().TranslateForm(this); });
}

void TfNewConnection::buildSettingsPanel()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(289);

    gbSerialPort = new QGroupBox(Panel1);
    gbSerialPort->setObjectName(QStringLiteral("gbSerialPort"));
    gbSerialPort->setGeometry(8, 16, 273, 190);
    // The radio button lies over the group box's upper edge, as its title.
    rbSerialPort = new QRadioButton(QStringLiteral("Sériový port"), Panel1);
    rbSerialPort->setObjectName(QStringLiteral("rbSerialPort"));
    rbSerialPort->setAutoFillBackground(true);
    rbSerialPort->move(16, 8);
    rbSerialPort->adjustSize();

    struct Row
    {
        QLabel *&label;
        const char *labelName;
        QString caption;
        QComboBox *&list;
        const char *listName;
        QStringList items;
        int initial;
    };
    lCOM = new QLabel(QStringLiteral("COM:"), gbSerialPort);
    lCOM->setObjectName(QStringLiteral("lCOM"));
    lCOM->setGeometry(LabelX, 20, ControlX - LabelX - 2, RowHeight);
    cbCOM = new QComboBox(gbSerialPort);
    cbCOM->setObjectName(QStringLiteral("cbCOM"));
    cbCOM->setGeometry(ControlX, 20, ControlWidth, RowHeight);
    auto *Bevel1 = new QFrame(gbSerialPort);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 46, 257, 4);

    const Row rows[] = {
        {lBaudRate, "lBaudRate", QStringLiteral("Bity za sekundu:"), cbBaudRate, "cbBaudRate",
         BaudRateItems, 5},
        {lDataBits, "lDataBits", QStringLiteral("Datové bity:"), cbDataBits, "cbDataBits",
         DataBitsItems, 4},
        {lParity, "lParity", QStringLiteral("Parita:"), cbParity, "cbParity", ParityItems, 0},
        {lStopBits, "lStopBits", QStringLiteral("Počet stop-bitů:"), cbStopBits, "cbStopBits",
         StopBitsItems, 0},
        {lFlowControl, "lFlowControl", QStringLiteral("Řízení toku:"), cbFlowControl,
         "cbFlowControl", FlowControlItems, 0},
    };
    int y = 56;
    for (const Row &row : rows) {
        row.label = new QLabel(row.caption, gbSerialPort);
        row.label->setObjectName(QString::fromLatin1(row.labelName));
        row.label->setGeometry(LabelX, y, ControlX - LabelX - 2, RowHeight);
        row.list = MakeList(gbSerialPort, row.listName, row.items, row.initial);
        row.list->setGeometry(ControlX, y, ControlWidth, RowHeight);
        y += 26;
    }

    gbTcpIp = new QGroupBox(Panel1);
    gbTcpIp->setObjectName(QStringLiteral("gbTcpIp"));
    gbTcpIp->setGeometry(8, 216, 273, 78);
    rbTcpIp = new QRadioButton(QStringLiteral("TCP/IP"), Panel1);
    rbTcpIp->setObjectName(QStringLiteral("rbTcpIp"));
    rbTcpIp->setAutoFillBackground(true);
    rbTcpIp->move(16, 208);
    rbTcpIp->adjustSize();
    rbTcpIp->setChecked(true);

    lHost = new QLabel(QStringLiteral("Host:"), gbTcpIp);
    lHost->setObjectName(QStringLiteral("lHost"));
    lHost->setGeometry(LabelX, 20, ControlX - LabelX - 2, RowHeight);
    eHost = new QLineEdit(QStringLiteral("192.168.1.254"), gbTcpIp);
    eHost->setObjectName(QStringLiteral("eHost"));
    eHost->setGeometry(ControlX, 20, ControlWidth, RowHeight);
    lPort = new QLabel(QStringLiteral("Port:"), gbTcpIp);
    lPort->setObjectName(QStringLiteral("lPort"));
    lPort->setGeometry(LabelX, 46, ControlX - LabelX - 2, RowHeight);
    iePort = new TIntEdit(gbTcpIp);
    iePort->setObjectName(QStringLiteral("iePort"));
    iePort->setGeometry(ControlX, 46, 65, RowHeight);
    // The range has always reached 65536, one past the last TCP port.
    iePort->SetMaxValue(65536);
    iePort->SetMinValue(0);
    iePort->SetValue(10001);
    iePort->SetShowName(QStringLiteral("Hodnota"));
    iePort->SetColored(false);

    setTabOrder(rbSerialPort, cbCOM);
    setTabOrder(cbCOM, cbBaudRate);
    setTabOrder(cbBaudRate, cbDataBits);
    setTabOrder(cbDataBits, cbParity);
    setTabOrder(cbParity, cbStopBits);
    setTabOrder(cbStopBits, cbFlowControl);
    setTabOrder(cbFlowControl, rbTcpIp);
    setTabOrder(rbTcpIp, eHost);
    setTabOrder(eHost, iePort);

    const auto onChange = [this] { runHandler(&TfNewConnection::ChangeConfiguration); };
    for (QComboBox *list : {cbCOM, cbBaudRate, cbDataBits, cbParity, cbStopBits, cbFlowControl})
        connect(list, &QComboBox::currentIndexChanged, this, onChange);
    connect(eHost, &QLineEdit::textChanged, this, onChange);
    connect(iePort, &QLineEdit::textChanged, this, onChange);
    for (QRadioButton *radio : {rbSerialPort, rbTcpIp}) {
        connect(radio, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                runHandler(&TfNewConnection::CheckEnDis);
        });
    }
}

void TfNewConnection::buildHistoryPanel()
{
    pTop = new QWidget(this);
    pTop->setObjectName(QStringLiteral("pTop"));
    pTop->setVisible(false);
    lHistory = new QLabel(QStringLiteral("Historie:"), pTop);
    lHistory->setObjectName(QStringLiteral("lHistory"));
    lbHistory = new QListWidget(pTop);
    lbHistory->setObjectName(QStringLiteral("lbHistory"));
    lbHistory->setFrameShape(QFrame::NoFrame);
    lbHistory->setFont(QFont(QStringLiteral("Arial"), 8));
    lbHistory->setUniformItemSizes(true);
    lbHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    lbHistory->setItemDelegate(new THistoryLineDelegate(lbHistory));

    auto *layout = new QVBoxLayout(pTop);
    layout->setContentsMargins(8, 4, 9, 9);
    layout->setSpacing(2);
    layout->addWidget(lHistory);
    layout->addWidget(lbHistory, 1);

    connect(lbHistory, &QListWidget::currentRowChanged, this, [this] {
        if (!m_selectingLine)
            runHandler(&TfNewConnection::cbHistoryClick);
    });
}

void TfNewConnection::buildButtonPanel()
{
    pBottom = new QWidget(this);
    pBottom->setObjectName(QStringLiteral("pBottom"));
    pBottom->setFixedHeight(36);
    bOk = new QPushButton(QStringLiteral("OK"), pBottom);
    bOk->setObjectName(QStringLiteral("bOk"));
    bOk->setGeometry(8, 6, 129, 25);
    bOk->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("Storno"), pBottom);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setGeometry(151, 6, 130, 25);
    setTabOrder(iePort, bOk);
    setTabOrder(bOk, bCancel);

    connect(bOk, &QPushButton::clicked, this, [this] { runHandler(&TfNewConnection::bOkClick); });
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfNewConnection::fillPortList()
{
    cbCOM->clear();
    for (const PortListEntry &port : AvailablePorts())
        cbCOM->addItem(PortLineText(port), port.number);
    // No port is chosen until one is picked or loaded.
    cbCOM->setCurrentIndex(-1);
}

bool TfNewConnection::updatePortList()
{
    const QList<PortListEntry> ports = AvailablePorts();
    if (ports.size() != cbCOM->count())
        return false;
    for (int i = 0; i < cbCOM->count(); ++i) {
        if (cbCOM->itemData(i).toInt() != ports.at(i).number)
            return false;
    }
    for (int i = 0; i < cbCOM->count(); ++i)
        cbCOM->setItemText(i, PortLineText(ports.at(i)));
    return true;
}

void TfNewConnection::watchDevices()
{
    if (!m_deviceWatcher) {
        m_deviceWatcher = new QFileSystemWatcher(this);
        m_deviceChangeTimer = new QTimer(this);
        m_deviceChangeTimer->setSingleShot(true);
        m_deviceChangeTimer->setInterval(DeviceChangeDelayMs);
        connect(m_deviceWatcher, &QFileSystemWatcher::directoryChanged, m_deviceChangeTimer,
                qOverload<>(&QTimer::start));
        connect(m_deviceChangeTimer, &QTimer::timeout, this,
                [this] { runHandler(&TfNewConnection::DeviceChange); });
    }
    // Device nodes appear in /dev; the port-mapping folder names more. A
    // folder that does not exist yet is watched through the nearest folder
    // above it that does, until it appears.
    QStringList folders{QStringLiteral("/dev")};
    QString mapping = QDir::cleanPath(PortMappingFolder());
    while (!mapping.isEmpty() && !QFileInfo(mapping).isDir()) {
        const QString parent = QFileInfo(mapping).path();
        mapping = parent == mapping ? QString() : parent;
    }
    if (!mapping.isEmpty())
        folders.append(mapping);
    const QStringList watched = m_deviceWatcher->directories();
    for (const QString &folder : watched) {
        if (!folders.contains(folder))
            m_deviceWatcher->removePath(folder);
    }
    for (const QString &folder : std::as_const(folders)) {
        if (!watched.contains(folder) && QFileInfo(folder).isDir())
            m_deviceWatcher->addPath(folder);
    }
}

void TfNewConnection::DeviceChange()
{
    watchDevices();
    PortListStale = true;
    RefreshPortList();
}

void TfNewConnection::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runHandler(&TfNewConnection::CheckEnDis);
}

void TfNewConnection::runHandler(void (TfNewConnection::*handler)())
{
    RunReportingErrors(this, [this, handler] { (this->*handler)(); });
}

void TfNewConnection::SetHistoryNode(pugi::xml_node element)
{
    m_historyNode = element;
    m_selectingLine = true;
    while (!m_history.empty()) {
        m_history.pop_back();
        delete lbHistory->takeItem(lbHistory->count() - 1);
    }
    m_history = HistoryEntries(element);
    for (const TNodeHistoryObject &entry : m_history) {
        auto *line = new QListWidgetItem(entry.text);
        line->setData(THistoryLineDelegate::KindRole, int(entry.kind));
        lbHistory->addItem(line);
    }
    lbHistory->setCurrentRow(-1);
    m_selectingLine = false;
    pTop->setVisible(!m_history.empty());
    if (!m_history.empty()) {
        selectHistoryLine(0);
        cbHistoryClick();
    }
}

void TfNewConnection::LoadConnection(pugi::xml_node node)
{
    RefreshPortList();
    if (node == m_selectedNode)
        return;
    if (m_selectedNode)
        m_selectedNode.remove_attribute("active");
    m_selectedNode = node;
    if (!node || !IsConnectionNode(node)) {
        selectHistoryLine(-1);
        return;
    }
    WriteAttribute(node, "active", true);

    const QString type = AsciiUpper(ReadAttribute(node, "type", QString()).toString());
    if (type != u"TCP" && type != u"SERIAL")
        return;
    {
        // The controls' own change handlers would follow every single value;
        // the settings are followed once, when all are loaded.
        const LoadingScope loading(m_loading);
        if (type == u"TCP") {
            rbTcpIp->setChecked(true);
            eHost->setText(ReadAttribute(node, "ip", QString()).toString());
            iePort->SetValue(VariantToInt(ReadAttribute(node, "port", QString())));
        } else {
            rbSerialPort->setChecked(true);
            selectPort(VariantToInt(ReadAttribute(node, "port", 1)));
            cbBaudRate->setCurrentIndex(cbBaudRate->findText(
                ReadAttribute(node, "baudrate", QStringLiteral("9600")).toString()));
            cbDataBits->setCurrentIndex(
                DataBitsItem(ReadAttribute(node, "databits", QStringLiteral("8")).toString()));
            cbParity->setCurrentIndex(
                int(ParityFromText(ReadAttribute(node, "parity", ParityItems.first()).toString())));
            cbStopBits->setCurrentIndex(int(StopBitsFromText(
                ReadAttribute(node, "stopbits", StopBitsItems.first()).toString())));
            cbFlowControl->setCurrentIndex(int(FlowControlFromText(
                ReadAttribute(node, "flowcontrol", FlowControlItems.first()).toString())));
        }
    }
    if (m_loading == 0)
        ChangeConfiguration();
}

Choice TfNewConnection::CurrentChoice() const
{
    Choice choice;
    choice.tcp = rbTcpIp->isChecked();
    choice.host = eHost->text();
    choice.tcpPort = iePort->Value();
    choice.serialPort = ChosenPortNumber();
    choice.baudRate = cbBaudRate->currentText();
    choice.dataBits = cbDataBits->currentText();
    choice.parity = cbParity->currentText();
    choice.stopBits = cbStopBits->currentText();
    choice.flowControl = cbFlowControl->currentText();
    return choice;
}

int TfNewConnection::ChosenPortNumber() const
{
    return cbCOM->currentIndex() < 0 ? 0 : cbCOM->currentData().toInt();
}

pugi::xml_node TfNewConnection::FindConnection() const
{
    return Connection::FindConnection(m_historyNode, CurrentChoice());
}

void TfNewConnection::ChangeConfiguration()
{
    if (m_loading > 0)
        return;
    LoadConnection(FindConnection());
    if (!m_selectedNode) {
        selectHistoryLine(-1);
        return;
    }
    const int current = lbHistory->currentRow();
    if (current >= 0 && size_t(current) < m_history.size() &&
        m_history[size_t(current)].node == m_selectedNode)
        return;
    int row = int(m_history.size()) - 1;
    while (row >= 0 && m_history[size_t(row)].node != m_selectedNode)
        --row;
    selectHistoryLine(row);
}

void TfNewConnection::CheckEnDis()
{
    EnableControls({lHost, lPort, eHost, iePort}, rbTcpIp->isChecked());
    EnableControls({lCOM, cbCOM, lBaudRate, cbBaudRate, lDataBits, cbDataBits, lStopBits,
                    cbStopBits, lParity, cbParity, lFlowControl, cbFlowControl},
                   rbSerialPort->isChecked());
    ChangeConfiguration();
}

void TfNewConnection::cbHistoryClick()
{
    const int row = lbHistory->currentRow();
    if (row >= 0 && size_t(row) < m_history.size())
        LoadConnection(m_history[size_t(row)].node);
}

void TfNewConnection::bOkClick()
{
    if (m_historyNode) {
        const Choice choice = CurrentChoice();
        // A TCP choice counts only with a host.
        m_selectedNode =
            choice.tcp && choice.host.isEmpty()
                ? pugi::xml_node()
                : ConfirmConnection(m_historyNode, choice, QDateTime::currentDateTime());
    }
    accept();
}

void TfNewConnection::RefreshPortList()
{
    if (!PortListStale || !isVisible())
        return;
    bool changed = false;
    {
        const PortListRefreshGuard guard(cbCOM);
        PortListStale = false;
        const int chosen = ChosenPortNumber();
        // The numbers stay the same as a rule: only the lines' texts change,
        // and the chosen line with them stays chosen.
        if (!updatePortList()) {
            fillPortList();
            // With no port chosen, none is chosen after the rebuild either.
            if (chosen != 0)
                selectPort(chosen);
        }
        changed = ChosenPortNumber() != chosen;
    }
    if (changed)
        ChangeConfiguration();
}

void TfNewConnection::selectHistoryLine(int row)
{
    const bool wasSelecting = m_selectingLine;
    m_selectingLine = true;
    lbHistory->setCurrentRow(row);
    if (row < 0)
        lbHistory->clearSelection();
    m_selectingLine = wasSelecting;
}

void TfNewConnection::selectPort(int number)
{
    const int index = cbCOM->findData(number);
    cbCOM->setCurrentIndex(index >= 0 ? index : 0);
}
