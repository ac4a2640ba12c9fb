#pragma once

#include <QString>

#include <pugixml.hpp>

#include <memory>

// One language file found on disk, offered in the language menu: its whole
// document and that document's `language` element, which names the language
// and its flag picture.
class TLanguageItem
{
public:
    TLanguageItem(QString fileName, std::unique_ptr<pugi::xml_document> document);

    // The file's name as it was found (folder and file name).
    [[nodiscard]] const QString &fileName() const { return m_fileName; }
    // The language's display name, "?" when the file gives none.
    [[nodiscard]] QString displayName() const;
    // The name of the language's flag picture, "?" when the file gives none.
    [[nodiscard]] QString flag() const;

    [[nodiscard]] const pugi::xml_document &document() const { return *m_document; }
    // The root's `language` child; a null node when the file has none.
    [[nodiscard]] pugi::xml_node languageElement() const { return m_language; }

private:
    [[nodiscard]] QString attributeOrQuestionMark(const char *name) const;

    QString m_fileName;
    std::unique_ptr<pugi::xml_document> m_document;
    pugi::xml_node m_language;
};
