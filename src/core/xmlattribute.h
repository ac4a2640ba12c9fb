#pragma once

#include <QString>
#include <QVariant>

#include <pugixml.hpp>

// Reads an attribute as text, or yields the default (with its own type) when
// the element is absent or has no such attribute. With fixDecimal the result
// passes through FixDecimalSeparator and comes back as text. Throws AppError
// when the value is null ("Variant is Null !!!! ***") or unassigned
// ("Variant is Empty !!!! ***"): a default of QVariant() is unassigned, one
// holding nullptr is null.
[[nodiscard]] QVariant ReadAttribute(const pugi::xml_node &element, const char *name,
                                     const QVariant &defaultValue, bool fixDecimal = false);

// Makes a decimal number's point match the user's decimal separator, so that
// numbers written under another locale read back: with "," every "." becomes
// ",", with "." every "," becomes "."; any other separator leaves the text.
[[nodiscard]] QString FixDecimalSeparator(const QString &text);
[[nodiscard]] QString FixDecimalSeparator(const QString &text, QChar decimalSeparator);

// An attribute value as an integer; throws ConversionError when it is not one.
[[nodiscard]] int VariantToInt(const QVariant &value);

// An attribute value as a boolean: "true"/"false" in any letter case, or a
// decimal number (0 is false). Throws ConversionError for anything else.
[[nodiscard]] bool VariantToBool(const QVariant &value);

// The form booleans are written in: "True" or "False".
[[nodiscard]] inline const char *BoolToText(bool value)
{
    return value ? "True" : "False";
}

// Sets an attribute's text, appending the attribute when it is missing.
void WriteAttribute(pugi::xml_node node, const char *name, const QString &value);
void WriteAttribute(pugi::xml_node node, const char *name, int value);
// Booleans are written "True" or "False".
void WriteAttribute(pugi::xml_node node, const char *name, bool value);
// Any other argument type would pick one of the overloads by surprise.
template <typename T>
void WriteAttribute(pugi::xml_node, const char *, T) = delete;
