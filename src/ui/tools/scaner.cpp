#include "scaner.h"

#include "gridlinedelegate.h"
#include "lang/language.h"
#include "ui/main/messagebox.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int ColumnCount = 4;
constexpr int DefaultColumnWidth = 50;

// The found devices. The address shows as two hexadecimal digits and the
// row's text in the second column; the version and format columns get no
// text from the rows.
class ScanerModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void append(std::vector<TfScaner::Row> rows)
    {
        if (rows.empty())
            return;
        const int first = int(m_rows.size());
        beginInsertRows({}, first, first + int(rows.size()) - 1);
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
        endInsertRows();
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        const TfScaner::Row &row = m_rows[std::size_t(index.row())];
        switch (index.column()) {
        case 0:
            return QString::number(row.address, 16).toUpper().rightJustified(2, u'0');
        case 1:
            return row.text;
        default:
            return QString();
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        switch (section) {
        case 0:
            return u"adresa"_s;
        case 1:
            return u"typ zařízení"_s;
        case 2:
            return u"verze"_s;
        case 3:
            return u"podporované formáty"_s;
        default:
            return {};
        }
    }

private:
    std::vector<TfScaner::Row> m_rows;
};

} // namespace

TfScaner::TfScaner(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    FormCreate();
}

TfScaner::~TfScaner() = default;

void TfScaner::FormCreate()
{
    setObjectName(u"fScaner"_s);
    setWindowTitle(u"Vyhledávání zařízení"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(477, 292);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *top = new QWidget(this);
    top->setObjectName(u"Panel1"_s);
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(8, 8, 8, 8);
    VirtualStringTree1 = new QTableView(top);
    VirtualStringTree1->setObjectName(u"VirtualStringTree1"_s);
    VirtualStringTree1->setModel(new ScanerModel(VirtualStringTree1));
    VirtualStringTree1->setItemDelegate(new TGridLineDelegate(Qt::Horizontal, VirtualStringTree1));
    VirtualStringTree1->setShowGrid(false);
    VirtualStringTree1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VirtualStringTree1->setSelectionBehavior(QAbstractItemView::SelectRows);
    VirtualStringTree1->setSelectionMode(QAbstractItemView::SingleSelection);
    VirtualStringTree1->verticalHeader()->hide();
    QHeaderView *header = VirtualStringTree1->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    const int widths[ColumnCount] = {DefaultColumnWidth, 150, 75, 150};
    for (int column = 0; column < ColumnCount; ++column)
        header->resizeSection(column, widths[column]);
    topLayout->addWidget(VirtualStringTree1);
    layout->addWidget(top, 1);

    auto *bottom = new QWidget(this);
    bottom->setObjectName(u"Panel2"_s);
    bottom->setFixedHeight(41);
    Button1 = new QPushButton(u"Hledat"_s, bottom);
    Button1->setObjectName(u"Button1"_s);
    Button1->setGeometry(8, 8, 75, 25);
    layout->addWidget(bottom);

    connect(Button1, &QPushButton::clicked, this, &TfScaner::Button1Click);
    // Opened after a language was chosen, it takes that language too.
    RunReportingErrors(this, [this] { Language().TranslateForm(this); });
}

void TfScaner::Button1Click()
{
    // Placeholder rows until the search talks to the devices.
    std::vector<Row> rows;
    for (int address = 0; address <= 253; address += 12)
        rows.push_back(Row{quint8(address), u"1.1"_s, {}, {}});
    static_cast<ScanerModel *>(VirtualStringTree1->model())->append(std::move(rows));
}
