#include "language.h"

#include "applyelement.h"
#include "core/apperror.h"
#include "core/programfolder.h"
#include "languagedocument.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

namespace {

void ShowMessageBox(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace

TLanguage::TLanguage(QObject *parent) : QObject(parent), showMessage(ShowMessageBox) {}

TLanguage::~TLanguage() = default;

void TLanguage::LoadLanguageFile(const QString &fileName)
{
    const QString fullName = ResolveProgramPath(fileName);
    if (!QFileInfo(fullName).isFile()) {
        showMessage(QStringLiteral("Language file:\"%1\" not found!").arg(fullName));
        return;
    }
    m_document = LoadXmlFile(fullName);
    m_fileName = fullName;

    emit translationStarting();
    const pugi::xml_node language = m_document->document_element().child("language");
    try {
        for (const pugi::xml_node section : language.children()) {
            if (IsElementNamed(section, u"FORMS"))
                ApplyFormsToApplication(section);
        }
    } catch (...) {
        finishTranslation(language);
        throw;
    }
    finishTranslation(language);
}

void TLanguage::finishTranslation(const pugi::xml_node &language)
{
    const pugi::xml_attribute name = language.attribute("name");
    emit translationFinished(name ? QString::fromUtf8(name.value()) : QStringLiteral("language"),
                             QString::fromUtf8(language.attribute("flag").value()));
}

void TLanguage::TranslateForm(QWidget *window) const
{
    if (!m_document || !window)
        return;
    // Only a section named exactly "forms" counts here, unlike when a file is
    // loaded; files write it so and then work for both.
    const pugi::xml_node forms = m_document->document_element().child("language").child("forms");
    const QString name = window->objectName();
    for (const pugi::xml_node element : forms.children()) {
        if (IsElementNamed(element, name)) {
            ApplyElement(window, element);
            return;
        }
    }
}

QString TLanguage::GetText(QStringView key, QStringView defaultText) const
{
    if (m_document) {
        for (const pugi::xml_node section : m_document->document_element().children()) {
            if (!IsElementNamed(section, u"CONST"))
                continue;
            const pugi::xml_attribute text =
                section.child(key.toUtf8().constData()).attribute("text");
            if (text)
                return QString::fromUtf8(text.value());
            break;
        }
    }
    return defaultText.toString();
}

qsizetype TLanguage::FindLanguages(const QString &pattern)
{
    m_languages.clear();
    const QFileInfo patternInfo(pattern.isEmpty() ? ProgramFolder() + QStringLiteral("*lng.xml")
                                                  : ResolveProgramPath(pattern));
    const QDir folder = patternInfo.dir();
    // Sorted by file name, so that the menu keeps one order from run to run
    // whatever order the file system lists the folder in.
    const QStringList entries =
        folder.entryList({patternInfo.fileName()}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &entry : entries) {
        const QString fileName = folder.filePath(entry);
        std::unique_ptr<pugi::xml_document> document;
        try {
            document = LoadXmlFile(fileName);
        } catch (const AppError &) {
            continue;
        }
        if (IsLanguageDocument(*document))
            m_languages.push_back(std::make_unique<TLanguageItem>(fileName, std::move(document)));
    }
    return languageCount();
}

const TLanguageItem *TLanguage::languageAt(qsizetype index) const
{
    if (index < 0 || index >= languageCount())
        return nullptr;
    return m_languages[std::size_t(index)].get();
}

TLanguage &Language()
{
    static TLanguage language;
    return language;
}
