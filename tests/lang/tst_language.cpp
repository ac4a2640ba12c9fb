#include "fixturewindow.h"

#include "core/apperror.h"
#include "core/programfolder.h"
#include "lang/language.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString DataFile(const QString &name)
{
    return QStringLiteral(TARVEL_TEST_DATA "/data/") + name;
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

    std::unique_ptr<FixtureWindow> m_window;
    std::unique_ptr<TLanguage> m_language;
    QStringList m_messages;
    // What the two signals reported, in order, with the send button's text
    // at that moment.
    QStringList m_events;

    void LoadEnglish()
    {
        m_language->LoadLanguageFile(DataFile(u"en.lng.xml"_s));
        m_events.clear();
    }

private slots:
    void init()
    {
        m_window = std::make_unique<FixtureWindow>();
        m_language = std::make_unique<TLanguage>();
        m_messages.clear();
        m_events.clear();
        m_language->showMessage = [this](const QString &text) { m_messages << text; };
        connect(m_language.get(), &TLanguage::translationStarting, this,
                [this] { m_events << u"starting: "_s + m_window->bSend->text(); });
        connect(m_language.get(), &TLanguage::translationFinished, this,
                [this](const QString &name, const QString &flag) {
                    m_events << u"finished %1 %2: %3"_s.arg(name, flag, m_window->bSend->text());
                });
    }

    void cleanup()
    {
        m_language.reset();
        m_window.reset();
    }

    void getText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("nothing loaded") << QString() << u"NoActivePort"_s << u"Built-in"_s;
        QTest::newRow("key with text")
            << u"en.lng.xml"_s << u"NoActivePort"_s << u"No active port (English file)"_s;
        QTest::newRow("key without text") << u"en.lng.xml"_s << u"PacketLine"_s << u"Built-in"_s;
        QTest::newRow("empty text") << u"en.lng.xml"_s << u"Preset"_s << QString();
        QTest::newRow("key in another case") << u"en.lng.xml"_s << u"Connecting"_s << u"Built-in"_s;
        QTest::newRow("absent key") << u"en.lng.xml"_s << u"TCPError"_s << u"Built-in"_s;
        QTest::newRow("const inside language")
            << u"constinlanguage.lng.xml"_s << u"NoActivePort"_s << u"Built-in"_s;
        QTest::newRow("UTF-8 file")
            << u"menus.lng.xml"_s << u"Preset"_s << u"Voreinstellung für Geräte"_s;
        QTest::newRow("Windows-1250 file, CONST in capitals")
            << u"cz1250.lng.xml"_s << u"Connecting"_s << u"Probíhá připojování"_s;
    }
    void getText()
    {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        if (!file.isEmpty())
            m_language->LoadLanguageFile(DataFile(file));
        QCOMPARE(m_language->GetText(key, u"Built-in"), expected);
    }

    void translatesOpenWindows()
    {
        FixtureWindow &w = *m_window;
        LoadEnglish();
        QCOMPARE(m_language->GetLanguageFileName(), DataFile(u"en.lng.xml"_s));
        QCOMPARE(w.windowTitle(), u"Tarvel Terminal"_s);
        QCOMPARE(w.mimFile->title(), u"File"_s);
        QCOMPARE(w.aSaveData->text(), u"Save data"_s);
        QCOMPARE(w.aSaveData->toolTip(), u"Save the captured data"_s);
        QCOMPARE(w.bSend->text(), u"Send"_s);
        QCOMPARE(w.bSend->toolTip(), u"Send the line"_s);
        QCOMPARE(w.gbSettings->title(), u"Settings"_s);
        QCOMPARE(w.pcPresets->tabText(0), u"Group"_s);
        QCOMPARE(w.checksumBox(w.frPaket2)->text(), u"Checksum"_s);
        QCOMPARE(w.checksumBox(w.frPaket1)->text(), u"Součet"_s);
    }

    void laterFileChangesOnlyWhatItNames()
    {
        FixtureWindow &w = *m_window;
        LoadEnglish();
        m_language->LoadLanguageFile(DataFile(u"menus.lng.xml"_s));
        QCOMPARE(m_language->GetLanguageFileName(), DataFile(u"menus.lng.xml"_s));
        QCOMPARE(w.mimFile->title(), u"Datei"_s);
        QCOMPARE(w.aSaveData->text(), u"Daten speichern"_s);
        QCOMPARE(w.aSaveData->toolTip(), u"Save the captured data"_s);
        QCOMPARE(w.bSend->text(), u"Send"_s);
        QCOMPARE(w.windowTitle(), u"Tarvel Terminal"_s);
        // Messages come from the current file only.
        QCOMPARE(m_language->GetText(u"NoActivePort", u"Built-in"), u"Built-in"_s);
    }

    // Loading applies every section named "forms" in any case.
    void everyFormsSectionAppliesOnLoad()
    {
        m_language->LoadLanguageFile(DataFile(u"twosections.lng.xml"_s));
        QCOMPARE(m_window->bSend->text(), u"From forms"_s);
        QCOMPARE(m_window->gbSettings->title(), u"From FORMS"_s);
    }

    void signalsFrameTheTranslation_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("events");

        QTest::newRow("named, with flag")
            << u"en.lng.xml"_s
            << QStringList{u"starting: Odeslat"_s, u"finished English FLAG_UK: Send"_s};
        QTest::newRow("no name, no flag")
            << u"constinlanguage.lng.xml"_s
            << QStringList{u"starting: Odeslat"_s, u"finished language : Odeslat"_s};
        QTest::newRow("no forms") << u"cz1250.lng.xml"_s
                                  << QStringList{u"starting: Odeslat"_s,
                                                 u"finished Čeština FLAG_CZ: Odeslat"_s};
    }
    void signalsFrameTheTranslation()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, events);
        m_language->LoadLanguageFile(DataFile(file));
        QCOMPARE(m_events, events);
    }

    void failedTranslationStopsAtTheFault_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("sendButton");
        QTest::addColumn<QString>("settingsBox");

        QTest::newRow("unknown attribute")
            << u"unknownattribute.lng.xml"_s << u"Property \"Foo\" not found on \"gbSettings\""_s
            << u"Applied"_s << u"Applied"_s;
        QTest::newRow("property the control lacks")
            << u"missingproperty.lng.xml"_s << u"Property \"Caption\" not found on \"eSend\""_s
            << u"Applied"_s << u"Nastavení"_s;
        QTest::newRow("attribute on forms")
            << u"formsattribute.lng.xml"_s << u"Property \"Title\" not found on \"Application\""_s
            << u"Odeslat"_s << u"Nastavení"_s;
    }
    void failedTranslationStopsAtTheFault()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(QString, sendButton);
        QFETCH(QString, settingsBox);
        FixtureWindow &w = *m_window;
        try {
            m_language->LoadLanguageFile(DataFile(file));
            QFAIL("no exception");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), message);
        }
        QCOMPARE(w.bSend->text(), sendButton);
        QCOMPARE(w.gbSettings->title(), settingsBox);
        QCOMPARE(w.gbSettings->toolTip(), QString());
        QCOMPARE(w.eSend->text(), QString());
        QCOMPARE(w.lStatus->text(), u"Stav"_s);
        QCOMPARE(m_language->GetLanguageFileName(), DataFile(file));
        QCOMPARE(m_events, (QStringList{u"starting: Odeslat"_s,
                                        u"finished Faulty FLAG_PL: "_s + sendButton}));
    }

    void missingFileChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shownName");

        QTest::newRow("full name")
            << DataFile(u"absent.lng.xml"_s) << DataFile(u"absent.lng.xml"_s);
        QTest::newRow("in the program's folder")
            << u"\\lng\\absent.lng.xml"_s << ProgramFolder() + u"lng/absent.lng.xml"_s;
    }
    void missingFileChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, shownName);
        LoadEnglish();
        m_language->LoadLanguageFile(name);
        QCOMPARE(m_messages, QStringList{u"Language file:\"%1\" not found!"_s.arg(shownName)});
        QCOMPARE(m_events, QStringList());
        QCOMPARE(m_language->GetLanguageFileName(), DataFile(u"en.lng.xml"_s));
        QCOMPARE(m_language->GetText(u"NoActivePort", u"Built-in"),
                 u"No active port (English file)"_s);
    }

    void malformedFileKeepsCurrentLanguage()
    {
        LoadEnglish();
        try {
            m_language->LoadLanguageFile(DataFile(u"broken.lng.xml"_s));
            QFAIL("no exception");
        } catch (const AppError &error) {
            QVERIFY2(error.message().contains(u"broken.lng.xml"), qPrintable(error.message()));
            QVERIFY2(error.message().contains(u"at offset"), qPrintable(error.message()));
        }
        QCOMPARE(m_events, QStringList());
        QCOMPARE(m_language->GetLanguageFileName(), DataFile(u"en.lng.xml"_s));
        QCOMPARE(m_language->GetText(u"NoActivePort", u"Built-in"),
                 u"No active port (English file)"_s);
    }

    void translateForm_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("okButton");

        QTest::newRow("nothing loaded") << QString() << u"Nové spojení"_s << u"Připojit"_s;
        QTest::newRow("window name in another case")
            << u"en.lng.xml"_s << u"New connection"_s << u"Connect"_s;
        QTest::newRow("only the lower-case forms section")
            << u"twosections.lng.xml"_s << u"Dialog from forms"_s << u"Připojit"_s;
        QTest::newRow("file without forms")
            << u"cz1250.lng.xml"_s << u"Nové spojení"_s << u"Připojit"_s;
    }
    void translateForm()
    {
        QFETCH(QString, file);
        QFETCH(QString, title);
        QFETCH(QString, okButton);
        if (!file.isEmpty())
            m_language->LoadLanguageFile(DataFile(file));
        FixtureDialog dialog;
        m_language->TranslateForm(&dialog);
        QCOMPARE(dialog.windowTitle(), title);
        QCOMPARE(dialog.bOk->text(), okButton);
    }

    void findLanguages_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("slashes") << DataFile(u"languages/*.lng.xml"_s);
        QTest::newRow("backslashes") << DataFile(u"languages\\*.lng.xml"_s);
    }
    void findLanguages()
    {
        QFETCH(QString, pattern);
        const QString folder = DataFile(u"languages/"_s);
        QCOMPARE(m_language->FindLanguages(pattern), 4);
        QStringList found;
        for (qsizetype i = 0; i < m_language->languageCount(); ++i) {
            const TLanguageItem *item = m_language->languageAt(i);
            found << u"%1 %2 %3"_s.arg(item->displayName(), item->flag(),
                                       item->fileName().sliced(folder.size()));
        }
        QCOMPARE(found,
                 (QStringList{u"English FLAG_UK a-english.lng.xml"_s,
                              u"Prefixed FLAG_DE b-prefixed.lng.xml"_s, u"? ? c-unnamed.lng.xml"_s,
                              u"Upper FLAG_US H-UPPER.LNG.XML"_s}));

        // The list is rebuilt, not added to.
        QCOMPARE(m_language->FindLanguages(folder + u"*.none"_s), 0);
        QCOMPARE(m_language->languageAt(0), nullptr);
    }

    void fileInAnotherNamespaceStillLoads()
    {
        m_language->LoadLanguageFile(DataFile(u"othernamespace.lng.xml"_s));
        QCOMPARE(m_window->bSend->text(), u"Other send"_s);
    }

    void namesInTheProgramFolder()
    {
        const QString folder = ProgramFolder();
        QVERIFY(QDir(folder).mkpath(u"lng"_s));
        const auto removeCopies = qScopeGuard([&] {
            QDir(folder + u"lng"_s).removeRecursively();
            QFile::remove(folder + u"tst-en.lng.xml"_s);
        });
        QVERIFY(QFile::copy(DataFile(u"en.lng.xml"_s), folder + u"lng/en.lng.xml"_s));
        QVERIFY(QFile::copy(DataFile(u"en.lng.xml"_s), folder + u"tst-en.lng.xml"_s));

        m_language->LoadLanguageFile(u"\\lng\\en.lng.xml"_s);
        QCOMPARE(m_language->GetLanguageFileName(), folder + u"lng/en.lng.xml"_s);
        QCOMPARE(m_window->bSend->text(), u"Send"_s);

        QCOMPARE(m_language->FindLanguages(u"\\lng\\*.lng.xml"_s), 1);
        QCOMPARE(m_language->languageAt(0)->fileName(), folder + u"lng/en.lng.xml"_s);
        // No pattern: the language files lying in the program's folder itself.
        QCOMPARE(m_language->FindLanguages(QString()), 1);
        QCOMPARE(m_language->languageAt(0)->fileName(), folder + u"tst-en.lng.xml"_s);
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
