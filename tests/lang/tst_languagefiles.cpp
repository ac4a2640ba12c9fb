#include "core/apperror.h"
#include "core/appversion.h"
#include "lang/applyelement.h"
#include "lang/flags.h"
#include "lang/language.h"
#include "lang/languagedocument.h"
#include "lang/messagekeys.h"
#include "link/newconnection.h"
#include "presets/presetbar.h"
#include "presets/presetsetings.h"
#include "presets/savepacket.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/main/progresssimple.h"
#include "ui/tools/about.h"
#include "ui/tools/asciitable.h"
#include "ui/tools/scaner.h"

#include <QAbstractButton>
#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString ShippedFile(const QString &name)
{
    return QStringLiteral(TARVEL_LANGUAGE_FILES "/") + name;
}

// Every window of the program that a language file translates, and how the
// program creates it. The main window comes first; the others are created
// over it, as the program creates them, and translate themselves then.
struct WindowKind
{
    QString name;
    std::function<std::unique_ptr<QWidget>(QWidget *mainWindow)> create;
};

const QList<WindowKind> &WindowKinds()
{
    static const QList<WindowKind> kinds{
        {u"fMainTarvelTerm"_s,
         [](QWidget *) -> std::unique_ptr<QWidget> {
             return std::make_unique<TfMainTarvelTerm>();
         }},
        {u"fNewconnection"_s,
         [](QWidget *main) -> std::unique_ptr<QWidget> {
             return std::make_unique<TfNewConnection>(main);
         }},
        {u"fProgressSimple"_s,
         [](QWidget *main) -> std::unique_ptr<QWidget> {
             return std::make_unique<TfProgressSimple>(main);
         }},
        {u"fAsciiTable"_s,
         [](QWidget *) -> std::unique_ptr<QWidget> { return std::make_unique<TfAsciiTable>(); }},
        {u"fScaner"_s,
         [](QWidget *main) -> std::unique_ptr<QWidget> {
             return std::make_unique<TfScaner>(main);
         }},
        {u"fSavePacket"_s,
         [](QWidget *main) -> std::unique_ptr<QWidget> {
             return std::make_unique<TfSavePacket>(main);
         }},
        {u"fPresetSetings"_s,
         [](QWidget *main) -> std::unique_ptr<QWidget> {
             auto &window = static_cast<TfMainTarvelTerm &>(*main);
             return std::make_unique<TfPresetSetings>(window.presets(), main);
         }},
        // The About window takes the main window's title as its caption.
        {u"fAbout"_s,
         [](QWidget *main) -> std::unique_ptr<QWidget> {
             return std::unique_ptr<QWidget>(TfAbout::Execute(main->windowTitle()));
         }},
    };
    return kinds;
}

// One of each window, the main window first; destroyed in reverse order.
class OpenWindows
{
public:
    // Creates the main window, runs `loaded` and then creates the others.
    explicit OpenWindows(const std::function<void()> &loaded = {})
    {
        for (const WindowKind &kind : WindowKinds()) {
            m_windows.push_back(kind.create(m_windows.empty() ? nullptr : m_windows.front().get()));
            if (m_windows.size() == 1 && loaded)
                loaded();
        }
    }
    ~OpenWindows()
    {
        while (!m_windows.empty())
            m_windows.pop_back();
    }
    OpenWindows(const OpenWindows &) = delete;
    OpenWindows &operator=(const OpenWindows &) = delete;

    [[nodiscard]] QWidget *find(QStringView name) const
    {
        for (const auto &window : m_windows) {
            if (window->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return window.get();
        }
        return nullptr;
    }
    [[nodiscard]] const std::vector<std::unique_ptr<QWidget>> &all() const { return m_windows; }

private:
    std::vector<std::unique_ptr<QWidget>> m_windows;
};

// The texts a language file can set, of a window and all it holds, keyed
// by the path of object names ("fNewconnection/gbSerialPort/lCOM"); hints
// with "#hint". An object without a name shows as its class: a language file
// cannot reach it. The language menu is left out: the translator itself
// sets its title.
using Texts = QMap<QString, QString>;

QString ObjectText(const QObject *object)
{
    if (const auto *menu = qobject_cast<const QMenu *>(object))
        return menu->title();
    if (const auto *action = qobject_cast<const QAction *>(object))
        return action->menu() || action->isSeparator() ? QString() : action->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(object))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(object))
        return label->text();
    if (const auto *box = qobject_cast<const QGroupBox *>(object))
        return box->title();
    if (const auto *widget = qobject_cast<const QWidget *>(object); widget && widget->isWindow())
        return widget->windowTitle();
    return {};
}

void CollectTexts(const QObject *object, const QString &parentPath, Texts &texts)
{
    const QString name = object->objectName().isEmpty()
                             ? u"<%1>"_s.arg(QLatin1StringView(object->metaObject()->className()))
                             : object->objectName();
    if (name == u"mimLng")
        return;
    const QString path = parentPath.isEmpty() ? name : parentPath + u'/' + name;
    if (const QString text = ObjectText(object); !text.isEmpty())
        texts.insert(path, text);
    if (const auto *widget = qobject_cast<const QWidget *>(object);
        widget && !widget->toolTip().isEmpty())
        texts.insert(path + u"#hint"_s, widget->toolTip());
    if (const auto *tabs = qobject_cast<const QTabWidget *>(object)) {
        for (int i = 0; i < tabs->count(); ++i)
            texts.insert(path + u"#tab"_s + QString::number(i), tabs->tabText(i));
    }
    for (const QObject *child : object->children())
        CollectTexts(child, path, texts);
}

Texts AllTexts(const OpenWindows &windows)
{
    Texts texts;
    for (const auto &window : windows.all())
        CollectTexts(window.get(), QString(), texts);
    return texts;
}

// The paths whose texts differ, with both texts.
QStringList Differences(const Texts &expected, const Texts &actual)
{
    QStringList differences;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (actual.value(it.key()) != it.value())
            differences << u"%1: \"%2\" became \"%3\""_s.arg(it.key(), it.value(),
                                                             actual.value(it.key()));
    }
    return differences;
}

// The elements under a window's element that name no component of it: the
// translator skips them silently, so they are misspelt or stale.
void CollectUnknownComponents(const QObject *owner, const pugi::xml_node &element,
                              const QString &path, QStringList &unknown)
{
    for (const pugi::xml_node child : element.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const QString childPath = path + u'/' + NodeName(child);
        if (const QObject *component = FindComponent(owner, NodeName(child)))
            CollectUnknownComponents(component, child, childPath, unknown);
        else
            unknown << childPath;
    }
}

QStringList Placeholders(QStringView text)
{
    static const QRegularExpression placeholder(u"%[ds]"_s);
    QStringList found;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
        found << match.captured();
    return found;
}

// Texts that English writes as the program's Czech windows do. The About
// window shows the maker and the version as the program builds them, in
// every language.
const QStringList SameInEnglish{u"Tarvel terminal"_s,
                                u"+<CR>"_s,
                                u"MoveUp"_s,
                                u"Move Up"_s,
                                u"COM:"_s,
                                u"TCP/IP"_s,
                                u"Host:"_s,
                                u"Port:"_s,
                                u"OK"_s,
                                u"Progress"_s,
                                u"Char"_s,
                                u"Dec"_s,
                                u"Hex"_s,
                                u"Binary"_s,
                                u"^"_s,
                                u"v"_s,
                                u"Tarvel Terminal"_s,
                                TfAbout::MakerName(),
                                TfAbout::MakerMail(),
                                QUrl(TfAbout::MakerWeb()).host(),
                                u"Verze: "_s + GetAppVersion()};

} // namespace

// The language files shipped with the program, checked against the real
// windows and the program's message keys.
class TestLanguageFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_workDir;
    QStringList m_messages;
    // The texts the windows are built with, before any language is loaded.
    Texts m_builtIn;

    void load(const QString &name)
    {
        try {
            Language().LoadLanguageFile(ShippedFile(name));
        } catch (const AppError &error) {
            QFAIL(qPrintable(name + u": "_s + error.message()));
        }
    }

private slots:
    void initTestCase()
    {
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
        QVERIFY(m_workDir.isValid());
        QDir::setCurrent(m_workDir.path());
        const OpenWindows windows;
        m_builtIn = AllTexts(windows);
        QVERIFY(!m_builtIn.isEmpty());
    }

    void init() { m_messages.clear(); }

    void files_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("flag");

        QTest::newRow("English") << u"tt.lng.en.xml"_s << u"English"_s << u"FLAG_UK"_s;
        QTest::newRow("Czech") << u"tt.lng.cs.xml"_s << u"Čeština"_s << u"FLAG_CZ"_s;
    }

    // Every attribute applies to its window, every element names a window
    // or a component of one, and the windows created later translate
    // themselves without an error.
    void fileAppliesToEveryWindow_data() { files_data(); }
    void fileAppliesToEveryWindow()
    {
        QFETCH(QString, file);
        const OpenWindows windows([this, &file] { load(file); });
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
        for (const auto &window : windows.all()) {
            try {
                Language().TranslateForm(window.get());
            } catch (const AppError &error) {
                QFAIL(qPrintable(window->objectName() + u": "_s + error.message()));
            }
        }

        const auto document = LoadXmlFile(ShippedFile(file));
        QStringList unknown;
        const pugi::xml_node forms = document->document_element().child("language").child("forms");
        QVERIFY(forms);
        for (const pugi::xml_node element : forms.children()) {
            if (element.type() != pugi::node_element)
                continue;
            if (const QWidget *window = windows.find(NodeName(element)))
                CollectUnknownComponents(window, element, NodeName(element), unknown);
            else
                unknown << NodeName(element) + u" (add the window to WindowKinds)"_s;
        }
        QVERIFY2(unknown.isEmpty(), qPrintable(u"Not found: "_s + unknown.join(u", "_s)));
    }

    // The file has a text for every message of the program, with the same
    // placeholders as the built-in text, and none for keys the program
    // does not know; it names its language and an existing flag.
    void fileHasEveryMessage_data() { files_data(); }
    void fileHasEveryMessage()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QString, flag);
        const auto document = LoadXmlFile(ShippedFile(file));
        QVERIFY(IsLanguageDocument(*document));
        const pugi::xml_node language = document->document_element().child("language");
        QCOMPARE(QString::fromUtf8(language.attribute("name").value()), name);
        QCOMPARE(QString::fromUtf8(language.attribute("flag").value()), flag);
        QVERIFY(!FlagPicture(flag).isNull());

        const pugi::xml_node messages = document->document_element().child("const");
        QStringList keys;
        for (const MessageKey &message : MessageKeys()) {
            keys << message.key.toString();
            const pugi::xml_attribute text =
                messages.child(message.key.toUtf8().constData()).attribute("text");
            QVERIFY2(text, qPrintable(message.key.toString() + u" is missing"_s));
            QCOMPARE(Placeholders(QString::fromUtf8(text.value())),
                     Placeholders(message.defaultText));
        }
        for (const pugi::xml_node element : messages.children()) {
            if (element.type() == pugi::node_element)
                QVERIFY2(keys.contains(NodeName(element)),
                         qPrintable(NodeName(element) + u" is no message of the program"_s));
        }
    }

    // Every message key written in the program's sources is in the list the
    // files are checked against.
    void programUsesListedKeysOnly()
    {
        static const QRegularExpression lookup(
            uR"re(\b(?:GetText|text)\(\s*(?:QString::fromLatin1\(\s*|QStringLiteral\(\s*|u)?"(\w+)")re"_s);
        static const QRegularExpression exception(uR"re("(Exception\w+)")re"_s);
        QStringList listed;
        for (const MessageKey &message : MessageKeys())
            listed << message.key.toString();
        QStringList unlisted;
        QDirIterator sources(QStringLiteral(TARVEL_SOURCE_DIR), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (sources.hasNext()) {
            const QString fileName = sources.next();
            if (fileName.endsWith(u"/lang/messagekeys.h"))
                continue;
            QFile source(fileName);
            QVERIFY(source.open(QIODevice::ReadOnly));
            const QString code = QString::fromUtf8(source.readAll());
            for (const QRegularExpression *pattern : {&lookup, &exception}) {
                for (const QRegularExpressionMatch &match : pattern->globalMatch(code)) {
                    if (!listed.contains(match.captured(1)))
                        unlisted << match.captured(1) + u" in "_s + fileName;
                }
            }
        }
        QVERIFY2(unlisted.isEmpty(), qPrintable(unlisted.join(u", "_s)));
    }

    // English leaves no Czech text behind; Czech then brings back every
    // built-in text, in the open windows and in those created later, and
    // gives the built-in message texts.
    void englishAndBackToCzech()
    {
        const OpenWindows windows([this] { load(u"tt.lng.en.xml"_s); });
        QStringList untranslated;
        const Texts english = AllTexts(windows);
        for (auto it = m_builtIn.cbegin(); it != m_builtIn.cend(); ++it) {
            if (english.value(it.key()) == it.value() && !SameInEnglish.contains(it.value()))
                untranslated << it.key() + u": "_s + it.value();
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u", "_s)));

        load(u"tt.lng.cs.xml"_s);
        QStringList differences = Differences(m_builtIn, AllTexts(windows));
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u'\n')));
        {
            const OpenWindows later;
            differences = Differences(m_builtIn, AllTexts(later));
            QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u'\n')));
        }
        for (const MessageKey &message : MessageKeys())
            QCOMPARE(GetText(message), message.defaultText.toString());
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    }

    // The built program finds the files in its folder.
    void filesLieBesideTheProgram()
    {
        QDirIterator shipped(QStringLiteral(TARVEL_LANGUAGE_FILES), QDir::Files);
        QStringList names;
        while (shipped.hasNext()) {
            const QString fileName = shipped.next();
            names << shipped.fileName();
            QFile original(fileName);
            QFile copy(QStringLiteral(TARVEL_PROGRAM_FOLDER "/tt.files/") + shipped.fileName());
            QVERIFY(original.open(QIODevice::ReadOnly));
            QVERIFY2(copy.open(QIODevice::ReadOnly), qPrintable(copy.fileName()));
            QVERIFY2(original.readAll() == copy.readAll(), qPrintable(copy.fileName()));
        }
        QVERIFY(names.contains(u"tt.lng.en.xml"_s));
        QVERIFY(names.contains(u"tt.lng.cs.xml"_s));
    }
};

QTEST_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
