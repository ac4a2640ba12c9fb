#pragma once

#include "presets/presetbar.h"
#include "presets/presetstore.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"

#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

// An empty working folder, where the main window reads and writes
// config.xml, and the messages the program showed meanwhile (instead of
// boxes that would block).
struct PresetTestFolder
{
    QTemporaryDir dir;
    QStringList messages;

    void captureMessages()
    {
        SetMessagePresenter([this](QWidget *, const QString &text) { messages << text; });
    }
    void reset()
    {
        messages.clear();
        QDir::setCurrent(dir.path());
        QFile::remove(QStringLiteral("config.xml"));
    }
};

// A config.xml in the working folder holding the given presets element.
inline bool WriteConfigWithPresets(const QByteArray &presets)
{
    QFile file(QStringLiteral("config.xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("<?xml version=\"1.0\"?>\n<tarvel_terminal>" + presets + "</tarvel_terminal>\n");
    return true;
}

// The presets subtree of a configuration as text: each group by its caption
// with the captions of its presets in brackets, elements of other names by
// their name in angle brackets: "A[p,q] <note> B[]".
inline QString PresetsListing(const pugi::xml_node &presets)
{
    QStringList groups;
    for (const pugi::xml_node group : presets.children()) {
        if (!PresetStore::IsElementOfKind(group, PresetStore::GroupName)) {
            groups << u'<' + QString::fromUtf8(group.name()) + u'>';
            continue;
        }
        QStringList items;
        for (const pugi::xml_node preset : group.children())
            items << PresetStore::Caption(preset);
        groups << PresetStore::Caption(group) + u'[' + items.join(u',') + u']';
    }
    return groups.join(u' ');
}

// The presets of the config.xml on disk, listed as above.
inline QString PresetsOnDisk()
{
    pugi::xml_document document;
    if (!document.load_file("config.xml"))
        return QStringLiteral("(no config.xml)");
    return PresetsListing(document.document_element().child("presets"));
}

// The real main window, shown so that it has loaded config.xml from the
// working folder, and its preset bar.
struct PresetWindow
{
    TfMainTarvelTerm window;
    TPresetBar &bar = window.presets();
    QTabWidget *tabs = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));

    bool show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    // The bar as text: each tab's caption with its buttons' captions.
    [[nodiscard]] QString listing() const
    {
        QStringList sheets;
        for (int index = 0; index < bar.sheetCount(); ++index) {
            QStringList captions;
            for (const QPushButton *button : bar.buttons(bar.sheet(index)))
                captions << button->text();
            sheets << tabs->tabText(index) + u'[' + captions.join(u',') + u']';
        }
        return sheets.join(u' ');
    }

    [[nodiscard]] QPushButton *button(int sheet, int index) const
    {
        return bar.buttons(bar.sheet(sheet)).value(index);
    }
};
