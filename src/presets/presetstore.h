#pragma once

#include <QString>

#include <pugixml.hpp>

// The presets subtree of the configuration document:
//
//   <presets>
//     <group caption="Moduly">
//       <preset caption="předvolba" data="2A610008010223148107AA0D"/>
//     </group>
//   </presets>
//
// Document order is display order. Hand-edited files may spell the element
// names in any letter case; elements of other names are kept but skipped.
namespace PresetStore {

inline constexpr const char *PresetsName = "presets";
inline constexpr const char *GroupName = "group";
inline constexpr const char *PresetName = "preset";

// Whether the element's name is `kind`, compared without regard to case.
[[nodiscard]] bool IsElementOfKind(const pugi::xml_node &element, const char *kind);

// An element's caption; empty when it has none.
[[nodiscard]] QString Caption(const pugi::xml_node &element);

// The first group of the store whose caption equals `caption` exactly (case
// counts); a group without a caption never matches. Null when none does.
[[nodiscard]] pugi::xml_node FindGroup(const pugi::xml_node &presets, const QString &caption);

// Appends a preset at the end of the group of that caption, appending the
// group at the end of the store when there is none. Returns the preset.
pugi::xml_node AppendPreset(pugi::xml_node presets, const QString &groupCaption,
                            const QString &caption, const QString &hexData);

// The nearest sibling of the same kind as the element (see IsElementOfKind)
// before it (direction -1) or after it (direction 1); null when there is none.
[[nodiscard]] pugi::xml_node NeighbourOfKind(const pugi::xml_node &element, const char *kind,
                                             int direction);

// Moves the element just before its nearest sibling of `kind` above it
// (direction -1) or just after the nearest one below it (1), skipping
// elements of other names. Returns false, and changes nothing, when there
// is no such sibling.
bool MoveElement(pugi::xml_node element, const char *kind, int direction);

// Whether `element` still hangs in the tree below `ancestor`. The search
// runs down from the ancestor and never touches the element itself, so a
// handle whose element was removed meanwhile is safe to ask about.
[[nodiscard]] bool Contains(const pugi::xml_node &ancestor, const pugi::xml_node &element);

} // namespace PresetStore
