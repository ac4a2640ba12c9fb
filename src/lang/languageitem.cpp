#include "languageitem.h"

TLanguageItem::TLanguageItem(QString fileName, std::unique_ptr<pugi::xml_document> document)
    : m_fileName(std::move(fileName)), m_document(std::move(document)),
      m_language(m_document->document_element().child("language"))
{}

QString TLanguageItem::displayName() const
{
    return attributeOrQuestionMark("name");
}

QString TLanguageItem::flag() const
{
    return attributeOrQuestionMark("flag");
}

QString TLanguageItem::attributeOrQuestionMark(const char *name) const
{
    const pugi::xml_attribute attribute = m_language.attribute(name);
    return attribute ? QString::fromUtf8(attribute.value()) : QStringLiteral("?");
}
