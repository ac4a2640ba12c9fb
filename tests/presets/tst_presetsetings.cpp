#include "presetwindow.h"

#include "core/configfile.h"
#include "presets/presetsetings.h"
#include "ui/main/messagebox.h"

#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Groups with an element of another name between them, and presets with
// one between them.
const QByteArray ThreeGroups = R"(<presets>
  <group caption="G1"><preset caption="a1" data="01"/><remark/><preset caption="a2" data="02"/>
    <preset caption="a3" data="03"/></group>
  <note/>
  <group caption="G2"><preset caption="b1" data="04"/></group>
  <group caption="G3"><preset caption="c1" data="05"/></group>
</presets>)";

QString items(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts.join(u',');
}

int selectedRow(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void clickRow(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// The main window with one settings dialog open over it.
struct SettingsWindow : PresetWindow
{
    QPointer<TfPresetSetings> dialog;

    bool open()
    {
        if (!show())
            return false;
        bar.aPresetSettingsExecute();
        const QList<TfPresetSetings *> dialogs = window.findChildren<TfPresetSetings *>();
        dialog = dialogs.isEmpty() ? nullptr : dialogs.last();
        return dialog && dialog->isVisible();
    }
    QListWidget *groups() const { return dialog->groupList(); }
    QListWidget *presets() const { return dialog->presetList(); }
    void press(const char *buttonName) const
    {
        dialog->findChild<QPushButton *>(QLatin1StringView(buttonName))->click();
    }
    bool enabled(const char *buttonName) const
    {
        return dialog->findChild<QPushButton *>(QLatin1StringView(buttonName))->isEnabled();
    }
    QString document() const { return PresetsListing(bar.PresetsNode()); }
};

} // namespace

// The preset settings dialog over the real main window: every change goes
// into the configuration document and rebuilds the preset bar.
class TestPresetSetings : public QObject
{
    Q_OBJECT

    PresetTestFolder m_folder;
    QStringList &m_messages = m_folder.messages;

private slots:
    void initTestCase() { m_folder.captureMessages(); }
    void init() { m_folder.reset(); }

    void withoutConfigThereIsNoDialog()
    {
        PresetWindow w;
        QVERIFY(w.show());
        w.bar.aPresetSettingsExecute();
        QCOMPARE(m_messages, QStringList{u"Chyba konfigurace - Node není k dispozici!"_s});
        QVERIFY(w.window.findChildren<TfPresetSetings *>().isEmpty());
    }

    // The moved group keeps the selection at its new place, its presets are
    // listed, it leads the preset bar, and the order reaches config.xml when
    // the program closes.
    void movingAGroupUp()
    {
        QVERIFY(WriteConfigWithPresets(ThreeGroups));
        SettingsWindow w;
        QVERIFY(w.open());
        QCOMPARE(items(w.groups()), u"G1,G2,G3"_s);
        QCOMPARE(selectedRow(w.groups()), -1);

        clickRow(w.groups(), 1);
        QCOMPARE(items(w.presets()), u"b1"_s);
        w.press("bGUp");
        QCOMPARE(items(w.groups()), u"G2,G1,G3"_s);
        QCOMPARE(selectedRow(w.groups()), 0);
        QCOMPARE(items(w.presets()), u"b1"_s);
        QVERIFY(!w.enabled("bGUp"));
        QVERIFY(w.enabled("bGDown"));
        QCOMPARE(w.listing(), u"G2[b1] G1[a1,a2,a3] G3[c1]"_s);

        // Down over the note: the group changes places with G3, not the note.
        clickRow(w.groups(), 1);
        w.press("bGDown");
        QCOMPARE(w.document(), u"G2[b1] <note> G3[c1] G1[a1,,a2,a3]"_s);
        QCOMPARE(selectedRow(w.groups()), 2);
        QVERIFY(!w.enabled("bGDown"));

        w.window.close();
        QCOMPARE(PresetsOnDisk(), u"G2[b1] <note> G3[c1] G1[a1,,a2,a3]"_s);
    }

    void movingPresetsSkipsOtherElements()
    {
        QVERIFY(WriteConfigWithPresets(ThreeGroups));
        SettingsWindow w;
        QVERIFY(w.open());
        clickRow(w.groups(), 0);
        QCOMPARE(items(w.presets()), u"a1,a2,a3"_s);
        clickRow(w.presets(), 0);
        QVERIFY(!w.enabled("bPUp"));
        w.press("bPdown");
        QCOMPARE(w.document(), u"G1[,a2,a1,a3] <note> G2[b1] G3[c1]"_s);
        QCOMPARE(items(w.presets()), u"a2,a1,a3"_s);
        QCOMPARE(selectedRow(w.presets()), 1);
        QCOMPARE(w.listing(), u"G1[a2,a1,a3] G2[b1] G3[c1]"_s);

        clickRow(w.presets(), 2);
        QVERIFY(!w.enabled("bPdown"));
        QVERIFY(w.enabled("bPUp"));
    }

    // After a removal the item that took the place is selected, or the new
    // last one; an emptied list leaves nothing selected and the buttons off.
    void removingGroupsAndPresets()
    {
        QVERIFY(WriteConfigWithPresets(ThreeGroups));
        SettingsWindow w;
        QVERIFY(w.open());
        clickRow(w.groups(), 0);
        clickRow(w.presets(), 1);
        w.press("bPRemove");
        QCOMPARE(items(w.presets()), u"a1,a3"_s);
        QCOMPARE(selectedRow(w.presets()), 1);

        clickRow(w.groups(), 2);
        w.press("bGRemove");
        QCOMPARE(items(w.groups()), u"G1,G2"_s);
        QCOMPARE(selectedRow(w.groups()), 1);
        QCOMPARE(items(w.presets()), u"b1"_s);
        QCOMPARE(w.listing(), u"G1[a1,a3] G2[b1]"_s);

        w.press("bGRemove");
        w.press("bGRemove");
        QCOMPARE(items(w.groups()), QString());
        QCOMPARE(items(w.presets()), QString());
        for (const char *name : {"bGRemove", "bGUp", "bGDown"})
            QVERIFY2(!w.enabled(name), name);
        QCOMPARE(w.document(), u"<note>"_s);
        QCOMPARE(w.listing(), QString());
        QVERIFY(m_messages.isEmpty());
    }

    // Changes made elsewhere while the dialog is open: it lists what is
    // there now, and acting on an element that is gone does no harm.
    void changesElsewhereRefreshTheLists()
    {
        QVERIFY(WriteConfigWithPresets(ThreeGroups));
        SettingsWindow w;
        QVERIFY(w.open());
        QPointer<TfPresetSetings> first = w.dialog;
        QVERIFY(w.open());
        QVERIFY(w.dialog != first);

        // Another dialog moves a group; this one follows and keeps G3 selected.
        clickRow(first->groupList(), 2);
        clickRow(w.groups(), 0);
        w.press("bGDown");
        QCOMPARE(items(first->groupList()), u"G2,G1,G3"_s);
        QCOMPARE(selectedRow(first->groupList()), 2);

        // The bar removes the selected group's tab.
        QWidget *sheet = w.bar.sheet(2);
        QTest::mousePress(sheet, Qt::RightButton, {}, QPoint(sheet->width() - 2, 2));
        w.bar.miRemoveClick();
        QCOMPARE(items(first->groupList()), u"G2,G1"_s);
        QCOMPARE(selectedRow(first->groupList()), -1);

        // An element removed without a word to anyone.
        clickRow(first->groupList(), 0);
        pugi::xml_node presets = w.bar.PresetsNode();
        presets.remove_child(presets.find_child_by_attribute("caption", "G2"));
        first->ItemMove(first->groupList(), 1);
        QCOMPARE(items(first->groupList()), u"G1"_s);
        QCOMPARE(w.document(), u"<note> G1[a1,,a2,a3]"_s);
    }
};

QTEST_MAIN(TestPresetSetings)
#include "tst_presetsetings.moc"
