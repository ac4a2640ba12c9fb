#include "presets/presetstore.h"

#include <QTest>

#include <pugixml.hpp>

using namespace Qt::StringLiterals;

namespace {

// The children of an element as "name:caption", in document order.
QString listing(const pugi::xml_node &parent)
{
    QStringList items;
    for (const pugi::xml_node child : parent.children())
        items << QString::fromUtf8(child.name()) + u':' + PresetStore::Caption(child);
    return items.join(u' ');
}

pugi::xml_node parse(pugi::xml_document &document, const char *text)
{
    if (!document.load_string(text))
        return {};
    return document.document_element();
}

} // namespace

class TestPresetStore : public QObject
{
    Q_OBJECT

private slots:
    // Saving finds its group by the exact caption; hand-written element
    // names in other letter cases still count as groups.
    void appendingFindsOrCreatesTheGroup()
    {
        pugi::xml_document document;
        pugi::xml_node presets = parse(document, R"(<presets>
            <note caption="A"/><GROUP caption="A"/><group caption="B"/></presets>)");
        QVERIFY(presets);

        const pugi::xml_node first = PresetStore::AppendPreset(presets, u"A"_s, u"p"_s, u"0D"_s);
        QCOMPARE(QString::fromUtf8(first.parent().name()), u"GROUP"_s);
        PresetStore::AppendPreset(presets, u"a"_s, u"q"_s, u"0A"_s);
        QCOMPARE(listing(presets), u"note:A GROUP:A group:B group:a"_s);
        QCOMPARE(QString::fromUtf8(presets.last_child().first_child().attribute("data").value()),
                 u"0A"_s);
        // The attributes are written caption first, then data.
        QCOMPARE(QString::fromUtf8(first.first_attribute().name()), u"caption"_s);
        QCOMPARE(QString::fromUtf8(first.last_attribute().name()), u"data"_s);
    }

    // A move puts the element just before (up) or after (down) the nearest
    // one of its own kind, skipping elements of other names; without one
    // nothing changes.
    void moves_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QString>("order");

        QTest::newRow("second up over a note")
            << u"B"_s << -1 << true << u"group:B group:A note: Group:C"_s;
        QTest::newRow("first down over a note")
            << u"A"_s << 1 << true << u"note: group:B group:A Group:C"_s;
        QTest::newRow("down into another spelling")
            << u"B"_s << 1 << true << u"group:A note: Group:C group:B"_s;
        QTest::newRow("first up") << u"A"_s << -1 << false << u"group:A note: group:B Group:C"_s;
        QTest::newRow("last down") << u"C"_s << 1 << false << u"group:A note: group:B Group:C"_s;
    }
    void moves()
    {
        QFETCH(QString, caption);
        QFETCH(int, direction);
        QFETCH(bool, moved);
        QFETCH(QString, order);
        pugi::xml_document document;
        const pugi::xml_node presets = parse(document, R"(<presets>
            <group caption="A"/><note/><group caption="B"/><Group caption="C"/></presets>)");
        pugi::xml_node element = presets.find_child_by_attribute("caption", caption.toUtf8());
        QCOMPARE(PresetStore::MoveElement(element, PresetStore::GroupName, direction), moved);
        QCOMPARE(listing(presets), order);
    }

    // A handle whose element was removed is recognised without touching it.
    void containsOnlyLiveElements()
    {
        pugi::xml_document document;
        pugi::xml_node presets = parse(document, R"(<presets>
            <group caption="A"><preset caption="p"/></group></presets>)");
        pugi::xml_node group = presets.first_child();
        const pugi::xml_node preset = group.first_child();
        QVERIFY(PresetStore::Contains(presets, preset));
        QVERIFY(!PresetStore::Contains(group, group));
        presets.remove_child(group);
        QVERIFY(!PresetStore::Contains(presets, preset));
        QVERIFY(!PresetStore::Contains(presets, pugi::xml_node()));
    }
};

QTEST_GUILESS_MAIN(TestPresetStore)
#include "tst_presetstore.moc"
