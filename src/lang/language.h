#pragma once

#include "languageitem.h"

#include <QObject>
#include <QString>
#include <QStringView>

#include <pugixml.hpp>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

// The translator. The windows are built with Czech texts; a language file
// (*.lng.xml) gives new texts for their controls, window by window, and the
// message texts the program looks up by key. One file is current at a time:
// loading it translates the open windows, and each window created later
// translates itself from it with TranslateForm. There is no way back to the
// built-in texts: a text the next file does not mention keeps its last value.
//
// The translator also keeps the list of language files found on disk for the
// language menu.
class TLanguage : public QObject
{
    Q_OBJECT

public:
    explicit TLanguage(QObject *parent = nullptr);
    ~TLanguage() override;

    // Loads a language file and applies it to the open top-level windows. A
    // name that starts with "\" lies in the program's folder; "\" and "/" both
    // separate folders. A missing file is reported through showMessage and
    // changes nothing. Throws AppError when the file cannot be parsed (the
    // current language stays) or names a property that a control does not
    // have (the new file is current, the translation stops there and what was
    // applied before stays). translationStarting and translationFinished
    // frame the translation, also when it fails.
    void LoadLanguageFile(const QString &fileName);

    // Applies the current language to one window, found in the file by its
    // object name. Every dialog calls it when it is created. Throws AppError
    // like LoadLanguageFile; a dialog should report the error and still open.
    void TranslateForm(QWidget *window) const;

    // The message text for a key, or the default when no language is loaded
    // or the file has no text for the key (keys match exactly).
    [[nodiscard]] QString GetText(QStringView key, QStringView defaultText) const;

    // Rebuilds the language list from the files matching the pattern (a
    // folder and a file-name pattern with * and ?, in any letter case; empty
    // for "*lng.xml" in the program's folder). Files that cannot be parsed or
    // are not in the language namespace are skipped. Returns the number of
    // files listed.
    qsizetype FindLanguages(const QString &pattern);

    // The full name of the current language file; empty if none is loaded.
    [[nodiscard]] QString GetLanguageFileName() const { return m_fileName; }

    // The language list, in the order of the files' names.
    [[nodiscard]] qsizetype languageCount() const { return qsizetype(m_languages.size()); }
    // The list's item at the index; nullptr when the index is out of range.
    [[nodiscard]] const TLanguageItem *languageAt(qsizetype index) const;

    // Shows a message to the user; a message box unless replaced.
    std::function<void(const QString &text)> showMessage;

signals:
    // A translation begins: the language and About menu items hide.
    void translationStarting();
    // A translation has ended, successfully or not: the language menu item
    // shows the language's display name ("language" when the file gives
    // none) and its flag picture (empty when the file gives none), and both
    // menu items show again.
    void translationFinished(const QString &languageName, const QString &flagName);

private:
    void finishTranslation(const pugi::xml_node &language);

    std::unique_ptr<pugi::xml_document> m_document;
    QString m_fileName;
    std::vector<std::unique_ptr<TLanguageItem>> m_languages;
};

// The program's one translator, created on first use.
[[nodiscard]] TLanguage &Language();
