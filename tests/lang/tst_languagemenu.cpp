#include "lang/flags.h"
#include "lang/language.h"
#include "lang/languagemenu.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

using namespace Qt::StringLiterals;

namespace {

const QByteArray LanguageNamespace = "http://tarvel.example.com/xml/2008/language";

void WriteFile(const QString &fileName, const QByteArray &content)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A language file that names itself and translates the send button.
QByteArray LanguageFile(const QByteArray &rootAttributes, const QByteArray &languageAttributes,
                        const QByteArray &sendCaption)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tarvelterminal " + rootAttributes +
           "><language " + languageAttributes + "><forms><fMainTarvelTerm><bSend Caption=\"" +
           sendCaption + "\"/></fMainTarvelTerm></forms></language></tarvelterminal>";
}

QByteArray InNamespace(const QByteArray &languageAttributes, const QByteArray &sendCaption)
{
    return LanguageFile("xmlns=\"" + LanguageNamespace + "\"", languageAttributes, sendCaption);
}

QImage ImageOf(const QIcon &icon)
{
    return icon.pixmap(QSize(FlagWidth, FlagHeight))
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

QImage FlagImage(const QString &name)
{
    return FlagPicture(name).toImage().convertToFormat(QImage::Format_ARGB32);
}

QMenu *LanguageMenu(const TfMainTarvelTerm &window)
{
    return window.findChild<QMenu *>(u"mimLng"_s);
}

QString SendCaption(const TfMainTarvelTerm &window)
{
    return window.findChild<QPushButton *>(u"bSend"_s)->text();
}

QString ShippedFile(const char *name)
{
    return QStringLiteral(TARVEL_LANGUAGE_FILES "/") + QLatin1StringView(name);
}

} // namespace

// The language menu of the real main window, built from language files in a
// folder of the test's own; the main window reads and writes config.xml in
// an empty working folder.
class TestLanguageMenu : public QObject
{
    Q_OBJECT

    QTemporaryDir m_workDir;
    QTemporaryDir m_programDir;
    QStringList m_messages;
    std::unique_ptr<TfMainTarvelTerm> m_window;

    [[nodiscard]] QString languageFolder() const { return m_programDir.filePath(u"tt.files"_s); }
    [[nodiscard]] QString languagePattern() const { return languageFolder() + u"/tt.lng.*.xml"_s; }

    // Alpha and Delta are offered; Delta names no flag. The others are not
    // language files of the program: in another namespace, in none, or not
    // named like the menu's files.
    void writeLanguageFolder()
    {
        const QString folder = languageFolder();
        WriteFile(folder + u"/tt.lng.a.xml"_s,
                  InNamespace("name=\"Alpha\" flag=\"flag_de\"", "Alpha send"));
        WriteFile(folder + u"/tt.lng.b.xml"_s,
                  LanguageFile("xmlns=\"http://tarvel.example.com/xml/2008/other\"",
                               "name=\"Other namespace\" flag=\"FLAG_FR\"", "Beta send"));
        WriteFile(folder + u"/tt.lng.c.xml"_s,
                  LanguageFile("", "name=\"No namespace\" flag=\"FLAG_IT\"", "Gamma send"));
        WriteFile(folder + u"/tt.lng.d.xml"_s, InNamespace("name=\"Delta\"", "Delta send"));
        WriteFile(folder + u"/other.lng.xml"_s, InNamespace("name=\"Other name\"", "Other send"));
    }

    QAction *entry(const QString &caption) const
    {
        for (QAction *action : LanguageMenu(*m_window)->actions()) {
            if (action->text() == caption)
                return action;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
        QVERIFY(m_workDir.isValid());
        QVERIFY(m_programDir.isValid());
    }

    void init()
    {
        m_messages.clear();
        QDir(m_programDir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(languageFolder()));
        QFile::remove(m_workDir.filePath(u"config.xml"_s));
        QDir::setCurrent(m_workDir.path());
        m_window = std::make_unique<TfMainTarvelTerm>();
    }

    void cleanup() { m_window.reset(); }

    void offersEveryLanguageFileWithItsFlag()
    {
        writeLanguageFolder();
        QMenu *menu = LanguageMenu(*m_window);
        BuildLanguageMenu(menu, languagePattern());

        QCOMPARE(menu->title(), u"language"_s);
        const QList<QAction *> entries = menu->actions();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(0)->text(), u"Alpha"_s);
        QCOMPARE(entries.at(0)->data(), QVariant(qsizetype(0)));
        QCOMPARE(ImageOf(entries.at(0)->icon()), FlagImage(u"FLAG_DE"_s));
        QCOMPARE(entries.at(1)->text(), u"Delta"_s);
        QCOMPARE(entries.at(1)->data(), QVariant(qsizetype(1)));
        QVERIFY(entries.at(1)->icon().isNull());
        // Nothing is loaded by building the menu.
        QVERIFY(menu->icon().isNull());
        QCOMPARE(SendCaption(*m_window), u"Odeslat"_s);
    }

    void noLanguageFileLeavesMenuEmpty()
    {
        writeLanguageFolder();
        QMenu *menu = LanguageMenu(*m_window);
        BuildLanguageMenu(menu, languagePattern());
        // A second build replaces the entries of the first.
        BuildLanguageMenu(menu, m_programDir.filePath(u"absent/tt.lng.*.xml"_s));
        QCOMPARE(menu->title(), QString());
        QVERIFY(menu->actions().isEmpty());
    }

    void choosingAnEntryLoadsItsFile()
    {
        writeLanguageFolder();
        QMenu *menu = LanguageMenu(*m_window);
        BuildLanguageMenu(menu, languagePattern());

        entry(u"Alpha"_s)->trigger();
        QCOMPARE(Language().GetLanguageFileName(), languageFolder() + u"/tt.lng.a.xml"_s);
        QCOMPARE(SendCaption(*m_window), u"Alpha send"_s);
        QCOMPARE(menu->title(), u"Alpha"_s);
        QCOMPARE(ImageOf(menu->icon()), FlagImage(u"FLAG_DE"_s));
        // The menu bar shows the flag beside the language's name.
        auto *bar = qobject_cast<QMenuBar *>(menu->parentWidget());
        QVERIFY(bar);
        QVERIFY(bar->actionGeometry(menu->menuAction()).width() >=
                FlagWidth + bar->fontMetrics().horizontalAdvance(u"Alpha"_s));

        entry(u"Delta"_s)->trigger();
        QCOMPARE(SendCaption(*m_window), u"Delta send"_s);
        QCOMPARE(menu->title(), u"Delta"_s);
        QVERIFY(menu->icon().isNull());
        QVERIFY(m_messages.isEmpty());
    }

    void entryWhoseFileIsGone_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");

        QTest::newRow("file removed") << u"remove"_s << u"Language file:\"%1\" not found!"_s;
        QTest::newRow("file no longer XML") << u"break"_s << u"Cannot parse XML file \"%1\""_s;
        QTest::newRow("list rebuilt without it") << u"forget"_s << QString();
    }
    void entryWhoseFileIsGone()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        writeLanguageFolder();
        const QString alpha = languageFolder() + u"/tt.lng.a.xml"_s;
        const QString delta = languageFolder() + u"/tt.lng.d.xml"_s;
        QMenu *menu = LanguageMenu(*m_window);
        BuildLanguageMenu(menu, languagePattern());
        entry(u"Alpha"_s)->trigger();

        if (change == u"remove")
            QVERIFY(QFile::remove(delta));
        else if (change == u"break")
            WriteFile(delta, "<tarvelterminal><language");
        else
            QCOMPARE(Language().FindLanguages(languageFolder() + u"/tt.lng.a.xml"_s), 1);
        entry(u"Delta"_s)->trigger();

        if (message.isEmpty()) {
            QVERIFY(m_messages.isEmpty());
        } else {
            QCOMPARE(m_messages.size(), 1);
            QVERIFY2(m_messages.constFirst().startsWith(message.arg(delta)),
                     qPrintable(m_messages.constFirst()));
        }
        QCOMPARE(Language().GetLanguageFileName(), alpha);
        QCOMPARE(SendCaption(*m_window), u"Alpha send"_s);
        QCOMPARE(menu->title(), u"Alpha"_s);
    }

    // The program starts again in the language chosen before it closed.
    void chosenLanguageIsRemembered()
    {
        const QString english = ShippedFile("tt.lng.en.xml");
        const QString pattern = ShippedFile("tt.lng.*.xml");
        BuildLanguageMenu(LanguageMenu(*m_window), pattern);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(LanguageMenu(*m_window)->title(), u"language"_s);
        entry(u"English"_s)->trigger();
        QCOMPARE(SendCaption(*m_window), u"Send"_s);
        m_window->close();
        m_window.reset();

        pugi::xml_document config;
        QVERIFY(config.load_file("config.xml"));
        QCOMPARE(QString::fromUtf8(
                     config.document_element().child("language").attribute("lngFileName").value()),
                 QFileInfo(english).absoluteFilePath());

        // Another language is current when the window starts again.
        m_window = std::make_unique<TfMainTarvelTerm>();
        Language().LoadLanguageFile(ShippedFile("tt.lng.cs.xml"));
        BuildLanguageMenu(LanguageMenu(*m_window), pattern);
        QCOMPARE(SendCaption(*m_window), u"Odeslat"_s);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(Language().GetLanguageFileName(), QFileInfo(english).absoluteFilePath());
        QCOMPARE(SendCaption(*m_window), u"Send"_s);
        QCOMPARE(LanguageMenu(*m_window)->title(), u"English"_s);
        QCOMPARE(ImageOf(LanguageMenu(*m_window)->icon()), FlagImage(u"FLAG_UK"_s));
        QVERIFY(m_messages.isEmpty());
    }
};

QTEST_MAIN(TestLanguageMenu)
#include "tst_languagemenu.moc"
