#include "framepaket.h"

#include "core/bytenotation.h"
#include "core/frame97.h"
#include "lang/language.h"
#include "paketselectionmodel.h"
#include "ui/main/messagebox.h"

#include "ui/main/namedobject.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr QStringView RowKeys[TfrPaket::RowCount] = {u"PRE",  u"FRM",   u"LEN", u"ADR", u"SIG",
                                                     u"INST", u"SDATA", u"SUM", u"CR"};
constexpr QStringView DefaultTexts[TfrPaket::RowCount] = {
    u"*", u"{97}", u"{0,5}", u"{1}", u"{2}", u"{23h}", u"{14h,81h,07h}", u"{104}", u"{13}"};

constexpr int KeyColumnWidth = 57;
constexpr int MainWindowKeyColumnWidth = 60;
constexpr int ValueColumnWidth = 105;
constexpr int RowHeight = 18;
constexpr int PreviewHeight = 66;

const QColor PreviewGray(128, 128, 128);
const QColor PreviewNavy(0, 0, 128);

QFont gridFont()
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(11);
    return font;
}

// Two upper-case hexadecimal digits.
QString hexByte(int value)
{
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString text(QStringView key, QStringView fallback)
{
    return Language().GetText(key, fallback);
}

QString lenOverflowHint()
{
    return text(u"PacketLenOverflow", u"LEN cannot count more than 65530 data bytes.");
}

QString sumOverflowHint()
{
    return text(u"PacketSumOverflow", u"SUM is computed over at most 65535 bytes (PRE to SDATA).");
}

} // namespace

const QColor TfrPaket::ReadOnlyColour(220, 220, 255);
const QColor TfrPaket::InvalidColour(255, 204, 204);
const QColor TfrPaket::MatchColour(204, 255, 204);

TfrPaket::TfrPaket(QWidget *parent) : QFrame(parent)
{
    buildControls();
    // Both boxes start checked; their toggles run once now, which replaces
    // the stale default LEN and SUM texts with the computed ones.
    cbLENClick();
    cbSUMClick();
    connect(cbLEN, &QCheckBox::toggled, this, &TfrPaket::cbLENClick);
    connect(cbSUM, &QCheckBox::toggled, this, &TfrPaket::cbSUMClick);
    connect(bPktSend, &QPushButton::clicked, this, &TfrPaket::bPktSendClick);
}

void TfrPaket::buildControls()
{
    setMinimumSize(180, 321);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pMain = named(new QWidget(this), "pMain");
    auto *mainLayout = new QVBoxLayout(pMain);
    mainLayout->setContentsMargins(5, 5, 5, 5);
    Splitter1 = named(new QSplitter(Qt::Vertical, pMain), "Splitter1");
    Splitter1->setHandleWidth(5);
    Splitter1->setChildrenCollapsible(false);
    mainLayout->addWidget(Splitter1);
    layout->addWidget(pMain, 1);

    vle = named(new QTableWidget(RowCount, 2, Splitter1), "vle");
    vle->setFont(gridFont());
    vle->horizontalHeader()->hide();
    vle->verticalHeader()->hide();
    vle->horizontalHeader()->setStretchLastSection(true);
    vle->setColumnWidth(KeyColumn, KeyColumnWidth);
    vle->setColumnWidth(ValueColumn, ValueColumnWidth);
    vle->verticalHeader()->setMinimumSectionSize(1);
    vle->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vle->verticalHeader()->setDefaultSectionSize(RowHeight);
    vle->setShowGrid(true);
    vle->setWordWrap(false);
    // The current cell stands for the selection and is drawn as selected.
    vle->setSelectionMode(QAbstractItemView::NoSelection);
    vle->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int row = 0; row < RowCount; ++row) {
        auto *key = new QTableWidgetItem(RowKeys[row].toString());
        key->setFlags(Qt::ItemIsEnabled);
        vle->setItem(row, KeyColumn, key);
        auto *value = new QTableWidgetItem(DefaultTexts[row].toString());
        value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        vle->setItem(row, ValueColumn, value);
    }
    m_keyColour = vle->palette().color(QPalette::Button);

    auto *delegate = new TPaketCellDelegate(vle);
    delegate->cellColours = [this](int row, int column) { return vleDrawCell(row, column); };
    delegate->rowHint = [this](int row) { return RowHint(row); };
    delegate->enterPressed = [this] { vleKeyDown(); };
    delegate->editStarting = [this] { vleGetEditText(); };
    vle->setItemDelegate(delegate);

    QItemSelectionModel *defaultModel = vle->selectionModel();
    auto *selection = new TPaketSelectionModel(vle->model(), vle);
    selection->canSelect = [this](const QModelIndex &index) {
        return vleSelectCell(index.column(), index.row());
    };
    vle->setSelectionModel(selection);
    delete defaultModel;
    // The colours of LEN and SUM follow every other row.
    connect(vle->model(), &QAbstractItemModel::dataChanged, vle->viewport(),
            qOverload<>(&QWidget::update));
    vle->installEventFilter(this);
    vle->viewport()->installEventFilter(this);

    mePaket = named(new QTextEdit(Splitter1), "mePaket");
    mePaket->setReadOnly(true);
    mePaket->setFont(gridFont());
    mePaket->setContextMenuPolicy(Qt::NoContextMenu);
    mePaket->viewport()->installEventFilter(this);
    Splitter1->addWidget(vle);
    Splitter1->addWidget(mePaket);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({RowCount * RowHeight, PreviewHeight});
    pMain->installEventFilter(this);

    pBottom = named(new QWidget(this), "pBottom");
    pBottom->setFixedHeight(80);
    auto *bottomLayout = new QVBoxLayout(pBottom);
    bottomLayout->setContentsMargins(5, 2, 5, 5);
    bottomLayout->setSpacing(2);
    cbLEN = named(new QCheckBox(QStringLiteral("LEN automaticky"), pBottom), "cbLEN");
    cbLEN->setChecked(true);
    cbSUM = named(new QCheckBox(QStringLiteral("SUM automaticky"), pBottom), "cbSUM");
    cbSUM->setChecked(true);
    bottomLayout->addWidget(cbLEN);
    bottomLayout->addWidget(cbSUM);
    auto *buttons = new QHBoxLayout;
    bPktSave = named(new QPushButton(QStringLiteral("Uložit"), pBottom), "bPktSave");
    bPktSend = named(new QPushButton(QStringLiteral("Poslat  >>"), pBottom), "bPktSend");
    buttons->addWidget(bPktSave);
    buttons->addWidget(bPktSend);
    bottomLayout->addLayout(buttons);
    layout->addWidget(pBottom);
}

void TfrPaket::setMainWindowLook()
{
    m_keyColour = Qt::white;
    vle->setColumnWidth(KeyColumn, MainWindowKeyColumnWidth);
    vle->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
    vle->viewport()->update();
}

void TfrPaket::InitEditor()
{
    setRowReadOnly(RowPRE, true);
    setRowReadOnly(RowFRM, true);
    setRowReadOnly(RowCR, true);
    RefreshPreview();
    SelectDataCell();
}

void TfrPaket::SelectDataCell()
{
    vle->setCurrentCell(RowSDATA, ValueColumn);
}

QString TfrPaket::rowKey(int row) const
{
    return row >= 0 && row < RowCount ? RowKeys[row].toString() : QString();
}

int TfrPaket::rowOfKey(QStringView key) const
{
    for (int row = 0; row < RowCount; ++row) {
        if (RowKeys[row].compare(key, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

QString TfrPaket::rowText(int row) const
{
    const QTableWidgetItem *item = vle->item(row, ValueColumn);
    return item ? item->text() : QString();
}

void TfrPaket::setRowText(int row, const QString &text)
{
    if (QTableWidgetItem *item = vle->item(row, ValueColumn))
        item->setText(text);
}

bool TfrPaket::isRowReadOnly(int row) const
{
    return row >= 0 && row < RowCount && m_readOnly[row];
}

void TfrPaket::setRowReadOnly(int row, bool readOnly)
{
    m_readOnly[row] = readOnly;
    QTableWidgetItem *item = vle->item(row, ValueColumn);
    Qt::ItemFlags flags = item->flags();
    flags.setFlag(Qt::ItemIsEditable, !readOnly);
    item->setFlags(flags);
}

QByteArray TfrPaket::rowBytes(int row) const
{
    return TextToBytes(rowText(row));
}

bool TfrPaket::isRowValid(int row) const
{
    const QString value = rowText(row);
    return value.isEmpty() || !TextToBytes(value).isEmpty();
}

QByteArray TfrPaket::RowBytes(QStringView key) const
{
    const int row = rowOfKey(key);
    return row < 0 ? QByteArray() : rowBytes(row);
}

QByteArray TfrPaket::GetPacket() const
{
    QByteArray packet;
    for (int row = 0; row < RowCount; ++row)
        packet += rowBytes(row);
    return packet;
}

bool TfrPaket::RowsValid() const
{
    for (int row = 0; row < RowCount; ++row) {
        if (!isRowValid(row))
            return false;
    }
    return true;
}

qsizetype TfrPaket::bytesBeforeSum() const
{
    qsizetype count = 0;
    for (int row = RowPRE; row < RowSUM; ++row)
        count += rowBytes(row).size();
    return count;
}

bool TfrPaket::LenOverflow() const
{
    return rowBytes(RowSDATA).size() > MaxDataBytes;
}

bool TfrPaket::SumOverflow() const
{
    return bytesBeforeSum() > MaxSummedBytes;
}

QString TfrPaket::UpdateLen()
{
    const qsizetype dataBytes = rowBytes(RowSDATA).size();
    // Beyond 16 bits the length would wrap: the row is left as it is and
    // drawn as not matching, with a hint.
    if (dataBytes > MaxDataBytes)
        return QString();
    // ADR, SIG, INST, SUM and CR count one byte each, whatever they hold.
    const int length = int(dataBytes) + 5;
    const QString value = QStringLiteral("{") + hexByte(length / 256) + QStringLiteral("h,") +
                          hexByte(length % 256) + QStringLiteral("h}");
    if (cbLEN->isChecked() && rowText(RowLEN) != value)
        setRowText(RowLEN, value);
    return value;
}

QString TfrPaket::UpdateSum()
{
    // LEN as it stands: wherever both are updated, LEN goes first.
    QByteArray summed;
    for (int row = RowPRE; row < RowSUM; ++row)
        summed += rowBytes(row);
    if (summed.size() > MaxSummedBytes)
        return QString();
    // Blank-padded, not zero-padded: 15 gives "{ Fh}".
    const QString digits =
        QString::number(FrameChecksum(summed), 16).toUpper().rightJustified(2, u' ');
    const QString value = QStringLiteral("{") + digits + QStringLiteral("h}");
    if (cbSUM->isChecked() && rowText(RowSUM) != value)
        setRowText(RowSUM, value);
    return value;
}

void TfrPaket::RefreshPreview()
{
    if (!RowsValid())
        return;
    // A refresh that fails leaves the preview as far as it got.
    try {
        UpdateLen();
        UpdateSum();
        const QByteArray packet = GetPacket();
        QString hex;
        hex.reserve(packet.size() * 3);
        for (char byte : packet) {
            hex += hexByte(static_cast<quint8>(byte));
            hex += u' ';
        }
        mePaket->clear();
        mePaket->setPlainText(hex);
        HighlightRow(vle->currentRow());
    } catch (...) {
    }
}

void TfrPaket::HighlightRow(int row)
{
    qsizetype offset = 0;
    for (int before = 0; before < row && before < RowCount; ++before)
        offset += rowBytes(before).size();
    const qsizetype count = row >= 0 && row < RowCount ? rowBytes(row).size() : 0;

    QTextCursor cursor(mePaket->document());
    cursor.select(QTextCursor::Document);
    QTextCharFormat all;
    all.setFontWeight(QFont::Bold);
    all.setForeground(PreviewGray);
    cursor.mergeCharFormat(all);

    // Each byte takes three characters: two digits and a blank.
    const qsizetype end = mePaket->document()->characterCount() - 1;
    const qsizetype from = qMin(3 * offset, end);
    const qsizetype to = qMin(3 * (offset + count), end);
    if (to <= from)
        return;
    cursor.setPosition(int(from));
    cursor.setPosition(int(to), QTextCursor::KeepAnchor);
    QTextCharFormat current;
    current.setForeground(PreviewNavy);
    cursor.mergeCharFormat(current);
}

PaketCellColours TfrPaket::vleDrawCell(int row, int column)
{
    PaketCellColours colours;
    colours.background = column == KeyColumn ? m_keyColour : vle->palette().color(QPalette::Base);
    if (isRowReadOnly(row))
        colours.background = ReadOnlyColour;
    colours.text = Qt::black;
    if (!isRowValid(row)) {
        colours.background = InvalidColour;
        return colours;
    }
    if (row == RowLEN || row == RowSUM) {
        // Drawing recomputes: while the box is checked this writes the row.
        const QString computed = row == RowLEN ? UpdateLen() : UpdateSum();
        const bool matches = !computed.isEmpty() && rowBytes(row) == TextToBytes(computed);
        colours.background = matches ? MatchColour : InvalidColour;
        return colours;
    }
    if (column == ValueColumn && vle->currentRow() == row && vle->currentColumn() == ValueColumn) {
        colours.text = Qt::white;
        colours.background = vle->palette().color(QPalette::Highlight);
    }
    return colours;
}

QString TfrPaket::RowHint(int row) const
{
    if (row == RowLEN && LenOverflow())
        return lenOverflowHint();
    if (row == RowSUM && SumOverflow())
        return sumOverflowHint();
    return QString();
}

QString TfrPaket::PacketFault() const
{
    QStringList faults;
    if (cbLEN->isChecked() && LenOverflow())
        faults << lenOverflowHint();
    if (cbSUM->isChecked() && SumOverflow())
        faults << sumOverflowHint();
    return faults.join(u'\n');
}

bool TfrPaket::vleSelectCell(int column, int row)
{
    // Only value cells of rows the user may edit can become current.
    const bool allowed = column == ValueColumn && !isRowReadOnly(row);
    RefreshPreview();
    if (allowed)
        HighlightRow(row);
    return allowed;
}

void TfrPaket::vleKeyDown()
{
    RefreshPreview();
    bPktSendClick();
}

void TfrPaket::vleGetEditText()
{
    vle->viewport()->update();
}

void TfrPaket::bPktSendClick()
{
    RefreshPreview();
    const QString fault = PacketFault();
    if (!fault.isEmpty()) {
        QString message = text(u"ExceptionPacketTooLong", u"The packet was not sent:\n%s");
        message.replace(QStringLiteral("%s"), fault);
        ShowMessage(this, message);
        return;
    }
    emit sendRequested(GetPacket());
}

void TfrPaket::cbLENClick()
{
    UpdateLen();
    if (cbLEN->isChecked() && vle->currentRow() == RowLEN)
        vle->setCurrentCell(RowADR, ValueColumn);
    setRowReadOnly(RowLEN, cbLEN->isChecked());
    vle->viewport()->update();
}

void TfrPaket::cbSUMClick()
{
    UpdateSum();
    if (cbSUM->isChecked() && vle->currentRow() == RowSUM)
        vle->setCurrentCell(RowSDATA, ValueColumn);
    setRowReadOnly(RowSUM, cbSUM->isChecked());
    vle->viewport()->update();
}

void TfrPaket::mePaketMouseDown()
{
    QGuiApplication::clipboard()->setText(mePaket->toPlainText());
}

void TfrPaket::pMainResize()
{
    vle->viewport()->update();
    mePaket->viewport()->update();
}

void TfrPaket::setSaveAction(QAction *action)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_saveConnections))
        disconnect(connection);
    m_saveConnections.clear();
    if (!action)
        return;
    const auto follow = [this, action] {
        bPktSave->setText(action->text());
        bPktSave->setToolTip(action->toolTip());
        bPktSave->setEnabled(action->isEnabled());
    };
    follow();
    m_saveConnections << connect(action, &QAction::changed, this, follow);
    m_saveConnections << connect(bPktSave, &QPushButton::clicked, action, &QAction::trigger);
}

bool TfrPaket::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == vle) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                vleKeyDown();
                return true;
            }
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == mePaket->viewport() &&
            static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
            mePaketMouseDown();
        else if (watched == vle->viewport())
            m_pressedOnCurrent =
                vle->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()) ==
                vle->currentIndex();
        break;
    case QEvent::MouseButtonRelease:
        // A click on the cell that was already current starts editing it.
        if (watched == vle->viewport() && m_pressedOnCurrent &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_pressedOnCurrent = false;
            const QModelIndex index =
                vle->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
            if (index.isValid() && index == vle->currentIndex() && !vle->indexWidget(index))
                vle->edit(index);
        }
        break;
    case QEvent::Resize:
        if (watched == pMain)
            pMainResize();
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}
