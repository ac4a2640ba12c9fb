#include "presetbar.h"

#include "core/apperror.h"
#include "core/byteformat.h"
#include "core/configfile.h"
#include "core/xmlattribute.h"
#include "lang/messagekeys.h"
#include "presetsetings.h"
#include "presetstore.h"
#include "savepacket.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/packet/framepaket.h"
#include "ui/packet/presetcopy.h"

#include "ui/main/namedobject.h"
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int ButtonHeight = 25;
constexpr int ButtonGap = 5;
constexpr int ButtonPadding = 10;
constexpr const char *TagProperty = "tag";
constexpr const char *CaptionProperty = "caption";

// Buttons and tabs would take "&" for a mnemonic; a caption is the user's text.
QString displayed(QString caption)
{
    return caption.replace(u'&', u"&&"_s);
}

QString sheetCaption(const QWidget *sheet)
{
    return sheet->property(CaptionProperty).toString();
}

} // namespace

TPresetBar::TPresetBar(TfMainTarvelTerm &window, QTabWidget *pageControl, TfrPaket *editor)
    : QObject(&window), m_window(window), m_config(window.config()), PageControl1(pageControl),
      frPaket1(editor)
{
    setObjectName(u"presetBar"_s);
    buildPopupMenu();
    buildSetupMenu();
    connectSaveAction();
}

TPresetBar::~TPresetBar() = default;

void TPresetBar::buildPopupMenu()
{
    PopupMenu1 = named(new QMenu(&m_window), "PopupMenu1");
    miSend = named(PopupMenu1->addAction(u"Poslat"_s), "miSend");
    PopupMenu1->setDefaultAction(miSend);
    connect(miSend, &QAction::triggered, this, &TPresetBar::miSendClick);
    miFrameCopy = named(PopupMenu1->addAction(u"Kopirovat do tabulky"_s), "miFrameCopy");
    connect(miFrameCopy, &QAction::triggered, this, &TPresetBar::miFrameCopyClick);
    named(PopupMenu1->addSeparator(), "N4");
    QAction *miRemove = named(PopupMenu1->addAction(u"Odstranit"_s), "miRemove");
    connect(miRemove, &QAction::triggered, this, &TPresetBar::miRemoveClick);
    QAction *miConfigSheets = named(PopupMenu1->addAction(u"Konfigurovat"_s), "miConfigSheets");
    connect(miConfigSheets, &QAction::triggered, this, &TPresetBar::aPresetSettingsExecute);
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TPresetBar::PopupMenu1Popup);
}

void TPresetBar::buildSetupMenu()
{
    aPresetSettings = named(new QAction(u"Předvoleb"_s, &m_window), "aPresetSettings");
    aPresetSettings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(aPresetSettings, &QAction::triggered, this, &TPresetBar::aPresetSettingsExecute);

    // "Nastavení" stands after "Paket", before the tools and view menus.
    QMenuBar *bar = m_window.menuBar();
    auto *mimSetup = named(new QMenu(u"Nastavení"_s, bar), "mimSetup");
    QAction *before = nullptr;
    for (const char *name : {"mimUtility", "mimView"}) {
        if (const QMenu *menu = m_window.findChild<QMenu *>(QLatin1StringView(name))) {
            before = menu->menuAction();
            break;
        }
    }
    bar->insertMenu(before, mimSetup);
    m_window.addActionItem(mimSetup, "mimPresets", aPresetSettings);
}

void TPresetBar::connectSaveAction()
{
    if (auto *aSetPreset = m_window.findChild<QAction *>(u"aSetPreset"_s))
        connect(aSetPreset, &QAction::triggered, this, &TPresetBar::aSetPresetExecute);
}

void TPresetBar::LoadPresets(pugi::xml_node presets)
{
    if (!presets)
        presets = m_presetsNode;
    if (!presets)
        return;
    PresetNodes.clear();
    m_clickedControl = nullptr;
    for (int index = PageControl1->count() - 1; index >= 0; --index) {
        QWidget *page = PageControl1->widget(index);
        PageControl1->removeTab(index);
        delete page;
    }
    for (const pugi::xml_node group : presets.children()) {
        if (!PresetStore::IsElementOfKind(group, PresetStore::GroupName))
            continue;
        for (const pugi::xml_node preset : group.children()) {
            if (PresetStore::IsElementOfKind(preset, PresetStore::PresetName))
                AddPresetButton(preset);
        }
    }
    PageControl1->setEnabled(true);
}

QWidget *TPresetBar::GetPresetSheet(const QString &caption)
{
    for (int index = 0; index < sheetCount(); ++index) {
        if (sheetCaption(sheet(index)) == caption)
            return sheet(index);
    }
    auto *page = new QScrollArea(PageControl1);
    page->setFrameShape(QFrame::NoFrame);
    page->setWidgetResizable(true);
    page->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *newSheet = new QWidget;
    newSheet->setProperty(CaptionProperty, caption);
    page->setWidget(newSheet);
    watch(newSheet);
    PageControl1->addTab(page, displayed(caption));
    return newSheet;
}

QPushButton *TPresetBar::AddPresetButton(const pugi::xml_node &preset)
{
    if (!preset)
        return nullptr;
    QWidget *target = GetPresetSheet(PresetStore::Caption(preset.parent()));
    const QString caption = ReadAttribute(preset, "caption", QString()).toString();
    auto *button = new QPushButton(displayed(caption), target);
    const QList<QPushButton *> present = buttons(target);
    int left = 0;
    if (present.size() > 1) {
        const QPushButton *last = present.at(present.size() - 2);
        left = last->x() + last->width() + ButtonGap;
    }
    button->setProperty(TagProperty, int(PresetNodes.size()));
    PresetNodes.push_back(preset);
    watch(button);
    connect(button, &QPushButton::clicked, this, [this, button] { PresetButtonClick(button); });
    const int width = m_window.fontMetrics().horizontalAdvance(caption) + ButtonPadding;
    button->setGeometry(left, 0, width, ButtonHeight);
    target->setMinimumWidth(button->geometry().right() + 1);
    button->show();
    return button;
}

void TPresetBar::ArrangePresetButtons(QWidget *target)
{
    if (!target)
        return;
    int left = 0;
    for (QPushButton *button : buttons(target)) {
        button->move(left, button->y());
        left = button->x() + button->width() + ButtonGap;
    }
    target->setMinimumWidth(qMax(0, left - ButtonGap));
}

void TPresetBar::watch(QWidget *control)
{
    control->installEventFilter(this);
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, this,
            [this, control](const QPoint &pos) { PopupMenu1->popup(control->mapToGlobal(pos)); });
}

bool TPresetBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *control = static_cast<QWidget *>(watched);
        // A press a button ignores (any but the left one) reaches its sheet
        // as well; the button keeps it.
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (!qobject_cast<QPushButton *>(control) &&
            qobject_cast<QPushButton *>(control->childAt(at)))
            return false;
        PresetMouseDown(control);
    }
    return QObject::eventFilter(watched, event);
}

void TPresetBar::PresetMouseDown(QWidget *control)
{
    m_clickedControl = control;
}

QPushButton *TPresetBar::clickedButton() const
{
    return qobject_cast<QPushButton *>(m_clickedControl.data());
}

void TPresetBar::PopupMenu1Popup()
{
    const bool onButton = clickedButton() != nullptr;
    miSend->setVisible(onButton);
    miFrameCopy->setVisible(onButton);
}

void TPresetBar::PresetButtonClick(QPushButton *button)
{
    const pugi::xml_node preset = presetOf(button);
    if (!preset)
        return;
    RunReportingErrors(&m_window, [this, &preset] {
        const QString data = ReadAttribute(preset, "data", QString()).toString();
        m_window.SendData(HexToBytes(data), false);
    });
}

void TPresetBar::miSendClick()
{
    if (QPushButton *button = clickedButton())
        button->click();
}

void TPresetBar::miFrameCopyClick()
{
    const pugi::xml_node preset = presetOf(clickedButton());
    if (!preset)
        return;
    RunReportingErrors(&m_window, [this, &preset] {
        LoadPresetIntoEditor(*frPaket1, ReadAttribute(preset, "data", QString()).toString());
    });
}

void TPresetBar::miRemoveClick()
{
    if (QPushButton *button = clickedButton())
        removePreset(button);
    else if (m_clickedControl)
        removeGroup(m_clickedControl);
}

void TPresetBar::removePreset(QPushButton *button)
{
    QWidget *target = button->parentWidget();
    pugi::xml_node preset = presetOf(button);
    if (preset)
        preset.parent().remove_child(preset);
    delete button;
    m_clickedControl = nullptr;
    saveConfig();
    ArrangePresetButtons(target);
    announceChange(this);
}

void TPresetBar::removeGroup(QWidget *target)
{
    const int index = tabOf(target);
    if (index < 0)
        return;
    // Only the first group of the caption goes; others that shared the tab
    // stay in the file and come back at the next rebuild.
    pugi::xml_node group =
        PresetStore::FindGroup(m_config.child(PresetStore::PresetsName), sheetCaption(target));
    if (group)
        group.parent().remove_child(group);
    QWidget *page = PageControl1->widget(index);
    PageControl1->removeTab(index);
    delete page;
    m_clickedControl = nullptr;
    saveConfig();
    announceChange(this);
}

void TPresetBar::saveConfig()
{
    try {
        m_config.save();
    } catch (const AppError &error) {
        ShowError(&m_window, error.message());
    }
}

void TPresetBar::aSetPresetExecute()
{
    // A packet whose automatic LEN or SUM cannot be computed would be stored
    // with a stale one.
    if (const QString fault = frPaket1->PacketFault(); !fault.isEmpty()) {
        ShowMessage(&m_window, GetText(Messages::ExceptionPresetNotSaved).replace(u"%s"_s, fault));
        return;
    }
    TfSavePacket dialog(&m_window);
    dialog.setName(GetText(Messages::Preset));
    QStringList groups;
    for (int index = 0; index < sheetCount(); ++index)
        groups << sheetCaption(sheet(index));
    dialog.setGroups(groups);
    if (dialog.exec() == QDialog::Accepted) {
        const pugi::xml_node preset =
            PresetStore::AppendPreset(m_config.child(PresetStore::PresetsName), dialog.group(),
                                      dialog.name(), BytesToHex(frPaket1->GetPacket()));
        AddPresetButton(preset);
        announceChange(this);
    }
    saveConfig();
}

void TPresetBar::aPresetSettingsExecute()
{
    auto *dialog = new TfPresetSetings(*this, &m_window);
    if (!dialog->ShowPresets(m_presetsNode))
        delete dialog;
}

void TPresetBar::announceChange(QObject *source)
{
    emit presetsChanged(source);
}

int TPresetBar::sheetCount() const
{
    return PageControl1->count();
}

QWidget *TPresetBar::sheet(int index) const
{
    const auto *page = qobject_cast<QScrollArea *>(PageControl1->widget(index));
    return page ? page->widget() : nullptr;
}

int TPresetBar::tabOf(const QWidget *target) const
{
    for (int index = 0; index < sheetCount(); ++index) {
        if (sheet(index) == target)
            return index;
    }
    return -1;
}

QList<QPushButton *> TPresetBar::buttons(const QWidget *target) const
{
    return target ? target->findChildren<QPushButton *>(Qt::FindDirectChildrenOnly)
                  : QList<QPushButton *>();
}

pugi::xml_node TPresetBar::presetOf(const QWidget *control) const
{
    const auto *button = qobject_cast<const QPushButton *>(control);
    if (!button)
        return {};
    bool ok = false;
    const int tag = button->property(TagProperty).toInt(&ok);
    if (!ok || tag < 0 || std::size_t(tag) >= PresetNodes.size())
        return {};
    // Removed meanwhile (by a settings dialog, which rebuilds the bar just
    // after): nothing to act on.
    const pugi::xml_node preset = PresetNodes[std::size_t(tag)];
    return PresetStore::Contains(m_config.document(), preset) ? preset : pugi::xml_node();
}
