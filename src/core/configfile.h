#pragma once

#include <QString>

#include <pugixml.hpp>

// The configuration document and its file. Loading never destroys a file it
// cannot read: such a file is moved aside under a new name before anything
// could overwrite it. Saving replaces the file atomically.
class ConfigFile
{
public:
    enum class LoadResult
    {
        Missing,
        Loaded,
        Unreadable
    };

    explicit ConfigFile(QString fileName = QStringLiteral("config.xml"));

    // Reads the file. Missing and Unreadable leave a fresh document holding
    // only the root element.
    LoadResult load();

    // After an Unreadable load: the parser's message, and where the
    // unreadable file now is (empty if it could not be moved, in which case
    // save() refuses to overwrite it).
    [[nodiscard]] const QString &errorMessage() const { return m_errorMessage; }
    [[nodiscard]] const QString &keptAs() const { return m_keptAs; }

    // Writes the document; throws AppError when the file cannot be written.
    void save() const;

    [[nodiscard]] pugi::xml_document &document() { return m_document; }
    [[nodiscard]] pugi::xml_node root() const { return m_document.document_element(); }
    // The root's child of that exact name, appended empty when missing.
    pugi::xml_node child(const char *name);

    [[nodiscard]] const QString &fileName() const { return m_fileName; }

    static constexpr const char *RootName = "tarvel_terminal";

private:
    void reset();
    QString keepUnreadableFile();

    QString m_fileName;
    pugi::xml_document m_document;
    QString m_errorMessage;
    QString m_keptAs;
    bool m_mustNotOverwrite = false;
};
