#pragma once

#include <QStringView>

#include <pugixml.hpp>

class QObject;

// The first of the owner's descendants (children, their children, ...,
// nearest first) whose object name equals the given name in any letter case;
// nullptr when there is none.
[[nodiscard]] QObject *FindComponent(const QObject *owner, QStringView name);

// Applies one element of a language file's `forms` section to an object:
// each attribute, in order, sets the property it names (SetPropertyByName);
// then each child element is applied to the component of the same name
// (FindComponent). A child that names no component is skipped with all it
// holds. Does nothing for a null object. Throws AppError from the first
// attribute that cannot be set; what was set before it stays.
void ApplyElement(QObject *object, const pugi::xml_node &element);

// Applies a `forms` section to the application: each child element to the
// top-level windows of the same name (every one of them, as several packet
// windows may be open at once). The application has no properties to set, so
// any attribute on `forms` throws AppError.
void ApplyFormsToApplication(const pugi::xml_node &forms);
