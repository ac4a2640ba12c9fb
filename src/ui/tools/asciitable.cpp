#include "asciitable.h"

#include "core/byteformat.h"
#include "core/codepage.h"
#include "formposutils.h"
#include "gridlinedelegate.h"
#include "lang/language.h"
#include "ui/main/messagebox.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QHeaderView>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int RowCount = 256;
constexpr int RowHeight = 15;
constexpr int BinaryColumn = 3;
constexpr int DescriptionColumn = 5;

struct Column
{
    const char *name;
    const char *header;
    int width;
    QRgb background;
    QRgb text;
};

constexpr std::array<Column, TfAsciiTable::ColumnCount> Columns = {{
    {"colChar", "Char", 40, qRgb(255, 255, 176), qRgb(0, 0, 0)},
    {"colDec", "Dec", 40, qRgb(224, 255, 255), qRgb(0, 0, 128)},
    {"colHex", "Hex", 40, qRgb(255, 255, 240), qRgb(0, 0, 255)},
    {"colBinary", "Binary", 90, qRgb(240, 255, 240), qRgb(0, 128, 0)},
    {"colZkratka", "Zkratka", 50, qRgb(255, 255, 240), qRgb(128, 0, 0)},
    // The description takes the list's own text colour.
    {"colPopis", "Popis", 135, qRgb(255, 255, 255), 0},
}};

constexpr std::array<const char *, 33> ControlAbbreviations = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "TAB", "LF",
    "VT",  "FF",  "CR",  "S0",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "SP",
};

// The descriptions of the 7-bit codes; digits and letters have none.
constexpr std::array<const char *, 128> Descriptions = [] {
    std::array<const char *, 128> texts{};
    const std::array<const char *, 33> controls = {
        "null",
        "start of heading",
        "start of text",
        "end of text",
        "end of transmission",
        "enquiry",
        "acknowledge",
        "bell",
        "backspace",
        "horizontal tab",
        "NL line feed, new line",
        "vertical tab",
        "NP form feed, new page",
        "carriage return",
        "shift out",
        "shift in",
        "data link escape",
        "device control 1",
        "device control 2",
        "device control 3",
        "device control 4",
        "negative acknowledge",
        "synchronous idle",
        "end of trans. block",
        "cancel",
        "end of medium",
        "substitute",
        "escape",
        "file separator",
        "group separator",
        "record separator",
        "unit separator",
        "Space",
    };
    for (std::size_t code = 0; code < controls.size(); ++code)
        texts[code] = controls[code];
    const std::pair<int, const char *> signs[] = {
        {33, "exclamation mark"},
        {34, "double quote"},
        {35, "number sign"},
        {36, "dollar sign"},
        {37, "percent"},
        {38, "ampersand"},
        {39, "single quote"},
        {40, "left/opening parenthesis"},
        {41, "right/closing parenthesis"},
        {42, "asterisk"},
        {43, "plus"},
        {44, "comma"},
        {45, "minus or dash"},
        {46, "dot"},
        {47, "forward slash"},
        {58, "colon"},
        {59, "semi-colon"},
        {60, "less than"},
        {61, "equal sign"},
        {62, "greater than"},
        {63, "question mark"},
        {64, "AT symbol"},
        {91, "left/opening bracket"},
        {92, "back slash"},
        {93, "right/closing bracket"},
        {94, "caret/cirumflex"},
        {95, "underscore"},
        {123, "left/opening brace"},
        {124, "vertical bar"},
        {125, "right/closing brace"},
        {126, "tilde"},
        {127, "delete"},
    };
    for (const auto &[code, text] : signs)
        texts[std::size_t(code)] = text;
    return texts;
}();

QFont PixelFont(const QString &family, int pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The rows of the table, computed from the row index whenever they are
// drawn; the headers come from the window's named captions.
class AsciiTableModel : public QAbstractTableModel
{
public:
    AsciiTableModel(const std::array<QAction *, TfAsciiTable::ColumnCount> &captions,
                    QObject *parent)
        : QAbstractTableModel(parent), m_captions(captions),
          m_listFont(PixelFont(u"Courier"_s, 11)), m_charFont(PixelFont(u"Courier"_s, 11, true)),
          m_descriptionFont(PixelFont(u"Arial"_s, 11))
    {
        for (int column = 0; column < TfAsciiTable::ColumnCount; ++column) {
            connect(captions[std::size_t(column)], &QAction::changed, this,
                    [this, column] { emit headerDataChanged(Qt::Horizontal, column, column); });
        }
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : RowCount;
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : TfAsciiTable::ColumnCount;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const int column = index.column();
        const Column &look = Columns[std::size_t(column)];
        switch (role) {
        case Qt::DisplayRole:
            return TfAsciiTable::CellText(index.row(), column);
        case Qt::TextAlignmentRole:
            return alignment(column);
        case Qt::BackgroundRole:
            return QColor(look.background);
        case Qt::ForegroundRole:
            if (column == DescriptionColumn)
                return {};
            return QColor(look.text);
        case Qt::FontRole:
            if (column == 0)
                return m_charFont;
            return column == DescriptionColumn ? m_descriptionFont : m_listFont;
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= TfAsciiTable::ColumnCount)
            return {};
        if (role == Qt::DisplayRole)
            return m_captions[std::size_t(section)]->text();
        if (role == Qt::TextAlignmentRole)
            return alignment(section);
        return {};
    }

private:
    static QVariant alignment(int column)
    {
        const Qt::Alignment value = column == DescriptionColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                                : Qt::Alignment(Qt::AlignCenter);
        return int(value);
    }

    std::array<QAction *, TfAsciiTable::ColumnCount> m_captions;
    QFont m_listFont;
    QFont m_charFont;
    QFont m_descriptionFont;
};

} // namespace

TfAsciiTable::TfAsciiTable(QWidget *parent) : QWidget(parent, Qt::Window)
{
    FormCreate();
}

TfAsciiTable::~TfAsciiTable() = default;

void TfAsciiTable::FormCreate()
{
    setObjectName(u"fAsciiTable"_s);
    setWindowTitle(u"ASCII tabulka"_s);
    // The table is a reference beside the main window: it never keeps the
    // program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(432, 548);

    for (std::size_t column = 0; column < Columns.size(); ++column) {
        auto *caption = new QAction(QString::fromLatin1(Columns[column].header), this);
        caption->setObjectName(QString::fromLatin1(Columns[column].name));
        m_columnCaptions[column] = caption;
    }

    vstAsciiTable = new QTableView(this);
    vstAsciiTable->setObjectName(u"vstAsciiTable"_s);
    vstAsciiTable->setModel(new AsciiTableModel(m_columnCaptions, vstAsciiTable));
    vstAsciiTable->setItemDelegate(new TGridLineDelegate(Qt::Vertical, vstAsciiTable));
    vstAsciiTable->setFont(PixelFont(u"Courier"_s, 11));
    vstAsciiTable->setShowGrid(false);
    vstAsciiTable->setWordWrap(false);
    vstAsciiTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vstAsciiTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    vstAsciiTable->setSelectionMode(QAbstractItemView::SingleSelection);
    vstAsciiTable->setTextElideMode(Qt::ElideNone);

    QHeaderView *rows = vstAsciiTable->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(RowHeight);

    QHeaderView *header = vstAsciiTable->horizontalHeader();
    header->setFont(PixelFont(u"Arial"_s, 11));
    header->setSectionsMovable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    header->setHighlightSections(false);
    for (int column = 0; column < ColumnCount; ++column)
        header->resizeSection(column, Columns[std::size_t(column)].width);
    connect(header, &QHeaderView::sectionMoved, this, &TfAsciiTable::keepBinaryColumnInPlace);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(vstAsciiTable);

    RunReportingErrors(this, [this] { Language().TranslateForm(this); });
}

void TfAsciiTable::keepBinaryColumnInPlace(int logicalIndex, int oldVisualIndex, int newVisualIndex)
{
    // The other columns may be dragged; the binary column stays put.
    if (logicalIndex != BinaryColumn)
        return;
    QHeaderView *header = vstAsciiTable->horizontalHeader();
    const QSignalBlocker blocker(header);
    header->moveSection(newVisualIndex, oldVisualIndex);
}

QString TfAsciiTable::Abbreviation(int code)
{
    if (code >= 0 && code < int(ControlAbbreviations.size()))
        return QString::fromLatin1(ControlAbbreviations[std::size_t(code)]);
    if (code == 127)
        return u"DEL"_s;
    return {};
}

QString TfAsciiTable::Description(int code)
{
    if (code < 0 || code >= int(Descriptions.size()) || !Descriptions[std::size_t(code)])
        return {};
    return QString::fromLatin1(Descriptions[std::size_t(code)]);
}

QString TfAsciiTable::CellText(int row, int column)
{
    if (row < 0 || row >= RowCount)
        return {};
    const auto byte = quint8(row);
    switch (column) {
    case 0:
        return QString(CodePage::toChar(byte));
    case 1:
        return QString::number(row);
    case 2:
        return u'$' + QString::number(row, 16).toUpper().rightJustified(2, u'0');
    case 3:
        return ByteToBin(byte);
    case 4:
        return Abbreviation(row);
    case 5:
        return Description(row);
    default:
        return {};
    }
}

void TfAsciiTable::SelectByte(quint8 value)
{
    const QModelIndex row = vstAsciiTable->model()->index(value, 0);
    vstAsciiTable->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
    vstAsciiTable->scrollTo(row);
}

void TfAsciiTable::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    // Centred on its screen the first time it shows; later it reappears
    // where the user left it.
    m_placed = true;
    CentreOnScreen(this);
}
