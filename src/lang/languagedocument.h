#pragma once

#include <QString>
#include <QStringView>

#include <pugixml.hpp>

#include <memory>

// The namespace every language file's root element is declared in.
inline constexpr char LanguageNamespaceUri[] = "http://tarvel.example.com/xml/2008/language";

// Reads and parses an XML file. The encoding comes from the file itself: a
// byte-order mark, UTF-8, UTF-16 or Latin-1 as the parser detects them, and
// also Windows-1250, which Czech files are often written in. Throws AppError
// when the file cannot be read or is not well-formed (with the parser's
// description and the byte offset of the fault).
[[nodiscard]] std::unique_ptr<pugi::xml_document> LoadXmlFile(const QString &fileName);

// Whether the document's root element is in the language namespace: either
// declared as the default namespace (xmlns="...") or, for a prefixed root
// name p:root, through its xmlns:p declaration.
[[nodiscard]] bool IsLanguageDocument(const pugi::xml_document &document);

// An element's or attribute's name as text.
[[nodiscard]] inline QString NodeName(const pugi::xml_node &node)
{
    return QString::fromUtf8(node.name());
}

// Whether the node is an element whose name equals the given one in any
// letter case.
[[nodiscard]] inline bool IsElementNamed(const pugi::xml_node &node, QStringView name)
{
    return node.type() == pugi::node_element &&
           QString::fromUtf8(node.name()).compare(name, Qt::CaseInsensitive) == 0;
}
