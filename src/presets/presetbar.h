#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <pugixml.hpp>

#include <vector>

class ConfigFile;
class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class QWidget;
class TfMainTarvelTerm;
class TfrPaket;

// The main window's preset bar: one tab per group of the presets subtree of
// the configuration document and one button per preset, which sends the
// preset's bytes. A pop-up menu on tabs and buttons sends a preset, copies
// it into the packet editor, removes a preset or a group (writing
// config.xml at once) or opens the preset settings. The bar also saves the
// editor's packet as a new preset (aSetPreset) and opens the settings
// dialogs (aPresetSettings, menu "Nastavení").
//
// A tab's page is a scroll area around the sheet that holds the buttons, so
// a row of buttons wider than the window can still be reached.
class TPresetBar : public QObject
{
    Q_OBJECT

public:
    TPresetBar(TfMainTarvelTerm &window, QTabWidget *pageControl, TfrPaket *editor);
    ~TPresetBar() override;

    // The presets element of the configuration loaded at start; stays null
    // when the program started without a config.xml.
    void setPresetsNode(const pugi::xml_node &presets) { m_presetsNode = presets; }
    [[nodiscard]] pugi::xml_node PresetsNode() const { return m_presetsNode; }

    // Rebuilds every tab and button from the element, or from PresetsNode
    // when it is null; with neither, the bar stays as it is.
    void LoadPresets(pugi::xml_node presets = {});
    // The first tab of that caption (case counts), else a new last tab.
    QWidget *GetPresetSheet(const QString &caption);
    // Adds the preset's button at the right end of its group's tab.
    QPushButton *AddPresetButton(const pugi::xml_node &preset);
    // Lays the buttons of a sheet out again from the left, 5 pixels apart.
    void ArrangePresetButtons(QWidget *sheet);

    // Sends the button's preset; data that is no hex text is reported and
    // nothing is sent.
    void PresetButtonClick(QPushButton *button);
    // Remembers the tab sheet or button a mouse button was pressed on.
    void PresetMouseDown(QWidget *control);

    void PopupMenu1Popup();
    void miSendClick();
    void miRemoveClick();
    void miFrameCopyClick();

    // Saves the editor's packet as a preset through the save dialog and
    // writes config.xml, whatever the dialog's result.
    void aSetPresetExecute();
    // Opens another preset settings dialog.
    void aPresetSettingsExecute();

    [[nodiscard]] QWidget *clickedControl() const { return m_clickedControl; }
    [[nodiscard]] QMenu *popupMenu() const { return PopupMenu1; }
    [[nodiscard]] int sheetCount() const;
    [[nodiscard]] QWidget *sheet(int index) const;
    // The buttons of a sheet, left to right.
    [[nodiscard]] QList<QPushButton *> buttons(const QWidget *sheet) const;
    // The element of a preset button; null for anything else.
    [[nodiscard]] pugi::xml_node presetOf(const QWidget *control) const;

    // Tells the open settings dialogs that the presets changed elsewhere.
    void announceChange(QObject *source);

signals:
    // The presets subtree was changed by `source`.
    void presetsChanged(QObject *source);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildPopupMenu();
    void buildSetupMenu();
    void connectSaveAction();
    void watch(QWidget *control);
    void removePreset(QPushButton *button);
    void removeGroup(QWidget *sheet);
    void saveConfig();
    [[nodiscard]] int tabOf(const QWidget *sheet) const;
    [[nodiscard]] QPushButton *clickedButton() const;

    TfMainTarvelTerm &m_window;
    ConfigFile &m_config;
    QTabWidget *PageControl1;
    TfrPaket *frPaket1;
    pugi::xml_node m_presetsNode;
    std::vector<pugi::xml_node> PresetNodes;
    QPointer<QWidget> m_clickedControl;

    QMenu *PopupMenu1 = nullptr;
    QAction *miSend = nullptr;
    QAction *miFrameCopy = nullptr;
    QAction *aPresetSettings = nullptr;
};
