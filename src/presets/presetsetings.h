#pragma once

#include <QWidget>

#include <pugixml.hpp>

class QGroupBox;
class QListWidget;
class QPushButton;
class TPresetBar;

// What a list item of the preset settings stands for: one group or preset
// element of the configuration document.
struct TNodeObject
{
    pugi::xml_node element;
};

// The preset settings dialog fPresetSetings: groups on the left, the
// presets of the selected group on the right, each with buttons to remove
// the selected item or move it up or down among the elements of its kind.
// Every change goes straight into the configuration document and rebuilds
// the preset bar; the document is written by whoever writes it next. The
// dialog is modeless and destroys itself when closed. When the presets are
// changed elsewhere while it is open, it lists them again.
class TfPresetSetings : public QWidget
{
    Q_OBJECT

public:
    TfPresetSetings(TPresetBar &bar, QWidget *parent);
    ~TfPresetSetings() override;

    // Lists the groups of the element and shows the dialog; a null element
    // is reported and the dialog is not shown (false).
    bool ShowPresets(const pugi::xml_node &presets);

    // Lists the children of `parent` named `name` (any letter case), each by
    // its attribute `captionAttribute` ("?" without one). A null parent is
    // reported and leaves the list as it is (false).
    bool FillNodeList(QListWidget *list, const pugi::xml_node &parent, const char *name,
                      const char *captionAttribute);
    void ClearNodeList(QListWidget *list);
    // The element of the selected item; null when none is selected.
    [[nodiscard]] pugi::xml_node SelectedNodeObject(const QListWidget *list) const;

    // Moves the selected item up (-1) or down (1) among the elements of its
    // kind, or removes it (0).
    void ItemMove(QListWidget *list, int direction);
    void lbGroupsClick();
    void lbPresetsClick();

    [[nodiscard]] QListWidget *groupList() const { return lbGroups; }
    [[nodiscard]] QListWidget *presetList() const { return lbPresets; }

private:
    void FormCreate();
    // The object names of one side: its group box, list and item buttons.
    struct ItemBoxNames
    {
        const char *box;
        const char *list;
        const char *remove;
        const char *up;
        const char *down;
    };
    QGroupBox *buildBox(const ItemBoxNames &names, const QString &title, QListWidget *&list);
    // The groups and presets again, keeping the selected elements selected.
    void refreshLists();
    void enableItemButtons(const QListWidget *list);
    [[nodiscard]] static int selectedIndex(const QListWidget *list);
    static void selectRow(QListWidget *list, int row);
    [[nodiscard]] const char *kindOf(const QListWidget *list) const;

    TPresetBar &m_bar;
    pugi::xml_node m_presets;

    QGroupBox *gbSheets = nullptr;
    QListWidget *lbGroups = nullptr;
    QGroupBox *gbPresets = nullptr;
    QListWidget *lbPresets = nullptr;
    QPushButton *bClose = nullptr;
};
