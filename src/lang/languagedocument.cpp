#include "languagedocument.h"

#include "core/apperror.h"
#include "core/codepage.h"

#include <QFile>
#include <QRegularExpression>

#include <string>
#include <string_view>

namespace {

// The encoding named by the XML declaration at the very start of the data,
// lower-cased, or empty when there is none.
QString DeclaredEncoding(const QByteArray &data)
{
    if (!data.startsWith("<?xml"))
        return {};
    const qsizetype end = data.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression encoding(
        QStringLiteral(R"(\bencoding\s*=\s*["']([^"']*)["'])"));
    const QRegularExpressionMatch match = encoding.match(QString::fromLatin1(data.first(end)));
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

bool IsWindows1250(const QString &encoding)
{
    return encoding == u"windows-1250" || encoding == u"cp1250" || encoding == u"x-cp1250";
}

} // namespace

std::unique_ptr<pugi::xml_document> LoadXmlFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
    QByteArray data = file.readAll();

    // The parser knows no Windows code pages: such files are converted to
    // UTF-8 first, and the declaration that still names the code page is
    // ignored because the encoding is then given explicitly.
    pugi::xml_encoding encoding = pugi::encoding_auto;
    if (IsWindows1250(DeclaredEncoding(data))) {
        data = CodePage::toText(data).toUtf8();
        encoding = pugi::encoding_utf8;
    }

    auto document = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result = document->load_buffer(
        data.constData(), std::size_t(data.size()), pugi::parse_default, encoding);
    if (!result) {
        throw AppError(QStringLiteral("Cannot parse XML file \"%1\": %2 at offset %3")
                           .arg(fileName, QString::fromUtf8(result.description()))
                           .arg(result.offset));
    }
    return document;
}

bool IsLanguageDocument(const pugi::xml_document &document)
{
    const pugi::xml_node root = document.document_element();
    if (!root)
        return false;
    const std::string_view name = root.name();
    const std::size_t colon = name.find(':');
    const std::string declaration = colon == std::string_view::npos
                                        ? std::string("xmlns")
                                        : "xmlns:" + std::string(name.substr(0, colon));
    return std::string_view(root.attribute(declaration.c_str()).value()) == LanguageNamespaceUri;
}
