#include "presetsetings.h"

#include "core/xmlattribute.h"
#include "lang/language.h"
#include "lang/messagekeys.h"
#include "presetbar.h"
#include "presetstore.h"
#include "ui/main/messagebox.h"

#include "ui/main/namedobject.h"
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TNodeObject)

namespace {

constexpr const char *TagProperty = "tag";
constexpr const char *CaptionAttribute = "caption";

pugi::xml_node elementOf(const QListWidgetItem *item)
{
    return item ? item->data(Qt::UserRole).value<TNodeObject>().element : pugi::xml_node();
}

int rowOfElement(const QListWidget *list, const pugi::xml_node &element)
{
    for (int row = 0; row < list->count(); ++row) {
        if (elementOf(list->item(row)) == element)
            return row;
    }
    return -1;
}

} // namespace

TfPresetSetings::TfPresetSetings(TPresetBar &bar, QWidget *parent)
    : QWidget(parent, Qt::Window), m_bar(bar)
{
    FormCreate();
}

TfPresetSetings::~TfPresetSetings()
{
    ClearNodeList(lbGroups);
    ClearNodeList(lbPresets);
}

void TfPresetSetings::FormCreate()
{
    setObjectName(u"fPresetSetings"_s);
    setWindowTitle(u"Nastavení předvoleb"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(581, 505);

    auto *layout = new QVBoxLayout(this);
    auto *boxes = new QHBoxLayout;
    gbSheets =
        buildBox({"gbSheets", "lbGroups", "bGRemove", "bGUp", "bGDown"}, u"Záložky"_s, lbGroups);
    gbSheets->setFixedWidth(233);
    gbPresets = buildBox({"gbPresets", "lbPresets", "bPRemove", "bPUp", "bPdown"}, u"Předvolby"_s,
                         lbPresets);
    boxes->addWidget(gbSheets);
    boxes->addWidget(gbPresets, 1);
    layout->addLayout(boxes, 1);

    auto *bottom = named(new QWidget(this), "pBottom");
    bottom->setFixedHeight(41);
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->addStretch(1);
    bClose = named(new QPushButton(u"Zavřít"_s, bottom), "bClose");
    bClose->setFixedSize(75, 25);
    bottomLayout->addWidget(bClose);
    layout->addWidget(bottom);
    connect(bClose, &QPushButton::clicked, this, &QWidget::close);

    // Clicks and keys both change the selection; the lists refill only then.
    connect(lbGroups, &QListWidget::itemSelectionChanged, this, &TfPresetSetings::lbGroupsClick);
    connect(lbPresets, &QListWidget::itemSelectionChanged, this, &TfPresetSetings::lbPresetsClick);
    connect(&m_bar, &TPresetBar::presetsChanged, this, [this](QObject *source) {
        if (source != this)
            refreshLists();
    });

    RunReportingErrors(this, [this] { Language().TranslateForm(this); });
}

QGroupBox *TfPresetSetings::buildBox(const ItemBoxNames &names, const QString &title,
                                     QListWidget *&list)
{
    auto *box = named(new QGroupBox(title, this), names.box);
    auto *layout = new QVBoxLayout(box);
    list = named(new QListWidget(box), names.list);
    layout->addWidget(list, 1);

    auto *buttons = new QHBoxLayout;
    const auto addButton = [this, box, buttons, list](const char *buttonName,
                                                      const QString &caption, int direction,
                                                      QSize size) {
        auto *button = named(new QPushButton(caption, box), buttonName);
        button->setFixedSize(size);
        button->setProperty(TagProperty, direction);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, list, direction] { ItemMove(list, direction); });
    };
    addButton(names.remove, u"Odebrat"_s, 0, QSize(75, 25));
    buttons->addStretch(1);
    addButton(names.up, u"^"_s, -1, QSize(25, 25));
    addButton(names.down, u"v"_s, 1, QSize(27, 25));
    layout->addLayout(buttons);
    return box;
}

bool TfPresetSetings::ShowPresets(const pugi::xml_node &presets)
{
    if (!presets) {
        ShowMessage(parentWidget(), GetText(Messages::ExceptionNodeNotFound));
        return false;
    }
    m_presets = presets;
    if (!FillNodeList(lbGroups, presets, PresetStore::GroupName, CaptionAttribute))
        return false;
    show();
    return true;
}

bool TfPresetSetings::FillNodeList(QListWidget *list, const pugi::xml_node &parent,
                                   const char *name, const char *captionAttribute)
{
    if (!parent) {
        ShowMessage(this, GetText(Messages::ExceptionNodeNotFound));
        return false;
    }
    ClearNodeList(list);
    const QSignalBlocker quiet(list);
    for (const pugi::xml_node child : parent.children()) {
        if (!PresetStore::IsElementOfKind(child, name))
            continue;
        auto *item =
            new QListWidgetItem(ReadAttribute(child, captionAttribute, u"?"_s).toString(), list);
        item->setData(Qt::UserRole, QVariant::fromValue(TNodeObject{child}));
    }
    return true;
}

void TfPresetSetings::ClearNodeList(QListWidget *list)
{
    const QSignalBlocker quiet(list);
    list->clear();
}

pugi::xml_node TfPresetSetings::SelectedNodeObject(const QListWidget *list) const
{
    const int row = selectedIndex(list);
    return row < 0 ? pugi::xml_node() : elementOf(list->item(row));
}

int TfPresetSetings::selectedIndex(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void TfPresetSetings::selectRow(QListWidget *list, int row)
{
    const QSignalBlocker quiet(list);
    if (row >= 0 && row < list->count())
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    else
        list->setCurrentRow(-1, QItemSelectionModel::Clear);
}

const char *TfPresetSetings::kindOf(const QListWidget *list) const
{
    return list == lbGroups ? PresetStore::GroupName : PresetStore::PresetName;
}

void TfPresetSetings::lbGroupsClick()
{
    ClearNodeList(lbPresets);
    if (const pugi::xml_node group = SelectedNodeObject(lbGroups))
        FillNodeList(lbPresets, group, PresetStore::PresetName, CaptionAttribute);
    enableItemButtons(lbGroups);
}

void TfPresetSetings::lbPresetsClick()
{
    enableItemButtons(lbPresets);
}

void TfPresetSetings::enableItemButtons(const QListWidget *list)
{
    const int index = selectedIndex(list);
    const int count = list->count();
    const QWidget *box = list->parentWidget();
    for (QPushButton *button : box->findChildren<QPushButton *>()) {
        switch (button->property(TagProperty).toInt()) {
        case -1:
            button->setEnabled(index > 0);
            break;
        case 1:
            button->setEnabled(index >= 0 && index < count - 1);
            break;
        default:
            button->setEnabled(index >= 0);
            break;
        }
    }
}

void TfPresetSetings::ItemMove(QListWidget *list, int direction)
{
    const int index = selectedIndex(list);
    if (index < 0)
        return;
    const pugi::xml_node element = SelectedNodeObject(list);
    // Removed elsewhere meanwhile: show what is there now instead.
    if (!PresetStore::Contains(m_presets, element)) {
        refreshLists();
        return;
    }
    const char *kind = kindOf(list);
    list->setUpdatesEnabled(false);
    if (direction == 0) {
        element.parent().remove_child(element);
        delete list->takeItem(index);
        if (index == list->count())
            direction = -1;
    } else {
        // Moves through the buttons always find a neighbour; anything else
        // leaves the element where it is.
        PresetStore::MoveElement(element, kind, direction);
        FillNodeList(list, element.parent(), kind, CaptionAttribute);
    }
    selectRow(list, index + direction);
    lbGroupsClick();
    selectRow(list, index + direction);
    lbPresetsClick();
    list->setUpdatesEnabled(true);

    m_bar.LoadPresets();
    m_bar.announceChange(this);
}

void TfPresetSetings::refreshLists()
{
    const pugi::xml_node group = SelectedNodeObject(lbGroups);
    const pugi::xml_node preset = SelectedNodeObject(lbPresets);
    if (!FillNodeList(lbGroups, m_presets, PresetStore::GroupName, CaptionAttribute))
        return;
    selectRow(lbGroups, rowOfElement(lbGroups, group));
    lbGroupsClick();
    selectRow(lbPresets, rowOfElement(lbPresets, preset));
    lbPresetsClick();
}
