#include "presetstore.h"

#include "core/xmlattribute.h"

namespace PresetStore {

bool IsElementOfKind(const pugi::xml_node &element, const char *kind)
{
    return element.type() == pugi::node_element &&
           QLatin1StringView(element.name())
                   .compare(QLatin1StringView(kind), Qt::CaseInsensitive) == 0;
}

QString Caption(const pugi::xml_node &element)
{
    return QString::fromUtf8(element.attribute("caption").value());
}

pugi::xml_node FindGroup(const pugi::xml_node &presets, const QString &caption)
{
    const QByteArray wanted = caption.toUtf8();
    for (const pugi::xml_node group : presets.children()) {
        const pugi::xml_attribute attribute = group.attribute("caption");
        if (IsElementOfKind(group, GroupName) && attribute &&
            QByteArrayView(attribute.value()) == wanted)
            return group;
    }
    return {};
}

pugi::xml_node AppendPreset(pugi::xml_node presets, const QString &groupCaption,
                            const QString &caption, const QString &hexData)
{
    pugi::xml_node group = FindGroup(presets, groupCaption);
    if (!group) {
        group = presets.append_child(GroupName);
        WriteAttribute(group, "caption", groupCaption);
    }
    pugi::xml_node preset = group.append_child(PresetName);
    WriteAttribute(preset, "caption", caption);
    WriteAttribute(preset, "data", hexData);
    return preset;
}

pugi::xml_node NeighbourOfKind(const pugi::xml_node &element, const char *kind, int direction)
{
    pugi::xml_node sibling = direction < 0 ? element.previous_sibling() : element.next_sibling();
    while (sibling && !IsElementOfKind(sibling, kind))
        sibling = direction < 0 ? sibling.previous_sibling() : sibling.next_sibling();
    return sibling;
}

bool MoveElement(pugi::xml_node element, const char *kind, int direction)
{
    const pugi::xml_node neighbour = NeighbourOfKind(element, kind, direction);
    if (!neighbour)
        return false;
    pugi::xml_node parent = element.parent();
    return direction < 0 ? bool(parent.insert_move_before(element, neighbour))
                         : bool(parent.insert_move_after(element, neighbour));
}

bool Contains(const pugi::xml_node &ancestor, const pugi::xml_node &element)
{
    if (!element)
        return false;
    for (const pugi::xml_node child : ancestor.children()) {
        if (child == element || Contains(child, element))
            return true;
    }
    return false;
}

} // namespace PresetStore
