#include "configfile.h"

#include "apperror.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sstream>

ConfigFile::ConfigFile(QString fileName) : m_fileName(std::move(fileName))
{
    reset();
}

void ConfigFile::reset()
{
    m_document.reset();
    m_document.append_child(RootName);
}

ConfigFile::LoadResult ConfigFile::load()
{
    m_errorMessage.clear();
    m_keptAs.clear();
    m_mustNotOverwrite = false;
    if (!QFileInfo::exists(m_fileName)) {
        reset();
        return LoadResult::Missing;
    }
    QFile file(m_fileName);
    QByteArray content;
    if (file.open(QIODevice::ReadOnly))
        content = file.readAll();
    pugi::xml_parse_result result;
    if (file.error() != QFileDevice::NoError) {
        m_errorMessage = file.errorString();
    } else {
        result = m_document.load_buffer(content.constData(), std::size_t(content.size()));
        if (result && m_document.document_element())
            return LoadResult::Loaded;
        m_errorMessage = result ? QStringLiteral("The file has no root element.")
                                : QStringLiteral("%1 (at byte %2)")
                                      .arg(QString::fromUtf8(result.description()))
                                      .arg(result.offset);
    }
    reset();
    m_keptAs = keepUnreadableFile();
    m_mustNotOverwrite = m_keptAs.isEmpty();
    return LoadResult::Unreadable;
}

QString ConfigFile::keepUnreadableFile()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_fileName + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = m_fileName + QStringLiteral(".unreadable-%1-%2").arg(stamp).arg(n);
    return QFile::rename(m_fileName, target) ? target : QString();
}

pugi::xml_node ConfigFile::child(const char *name)
{
    pugi::xml_node rootElement = root();
    pugi::xml_node found = rootElement.child(name);
    return found ? found : rootElement.append_child(name);
}

void ConfigFile::save() const
{
    if (m_mustNotOverwrite)
        throw AppError(
            QStringLiteral("\"%1\" could not be read and was not replaced.").arg(m_fileName));
    std::ostringstream text;
    m_document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    const std::string bytes = text.str();

    QSaveFile file(m_fileName);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()) &&
                         file.commit();
    if (!written)
        throw AppError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(m_fileName, file.errorString()));
}
