#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/main/statusbar.h"
#include "ui/main/terminallogview.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

namespace {

void writeConfig(const QByteArray &content)
{
    QFile file("config.xml");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList rootAttributeNames(const pugi::xml_document &document)
{
    QStringList names;
    for (const pugi::xml_attribute &a : document.document_element().attributes())
        names << QString::fromUtf8(a.name());
    return names;
}

template <typename T = QWidget>
T *child(QWidget &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name));
}

// Centred on the screen; the window frame is not known before the window
// is first shown, so the frame's few pixels are allowed for.
bool isCentred(const QWidget &window)
{
    const QPoint offset = window.frameGeometry().center() - window.screen()->geometry().center();
    return qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4;
}

} // namespace

// Each test starts the real main window in an empty working folder, where
// it reads and writes config.xml.
class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages;

private slots:
    void initTestCase()
    {
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
    }

    void init()
    {
        m_messages.clear();
        QDir folder(m_dir.path());
        for (const QString &name : folder.entryList(QDir::Files))
            folder.remove(name);
        QDir::setCurrent(m_dir.path());
    }

    void firstStartWithoutConfig()
    {
        QRect bounds;
        {
            TfMainTarvelTerm window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.windowTitle(), QString("Tarvel terminal"));
            QVERIFY(isCentred(window));
            QCOMPARE(window.size(), QSize(966, 701));
            for (const char *area : {"pTop", "pLeft", "pCenter", "StatusBar", "pMiddle"})
                QVERIFY2(child(window, area)->isVisible(), area);
            QCOMPARE(window.statusPanels()->panelText(0), QString("ver.1.0.0.0"));
            QVERIFY(!QFile::exists("config.xml"));
            bounds = window.frameGeometry();
            window.close();
        }
        pugi::xml_document saved;
        QVERIFY(saved.load_file("config.xml"));
        QCOMPARE(rootAttributeNames(saved),
                 QStringList({"top", "left", "width", "height", "compact", "viewPacket",
                              "viewPresets", "viewCommonicationLog", "viewStatusBar",
                              "packetFrameWidth", "rxBufferHeight", "presetPageIndex"}));
        const pugi::xml_node root = saved.document_element();
        QCOMPARE(std::string(root.name()), std::string("tarvel_terminal"));
        QCOMPARE(std::string(root.attribute("viewPacket").value()), std::string("True"));
        QCOMPARE(std::string(root.attribute("compact").value()), std::string("True"));
        QCOMPARE(QRect(root.attribute("left").as_int(), root.attribute("top").as_int(),
                       root.attribute("width").as_int(), root.attribute("height").as_int()),
                 bounds);
        QVERIFY(root.child("language").attribute("lngFileName"));
        QCOMPARE(std::string(root.child("language").attribute("lngFileName").value()),
                 std::string());
    }

    void restoresViewAndPlacement()
    {
        writeConfig(R"(<tarvel_terminal top="20" left="30" width="900" height="650"
            viewPacket="true" viewPresets="False" viewCommonicationLog="1" viewStatusBar="0"
            packetFrameWidth="250" rxBufferHeight="150" presetPageIndex="0"/>)");
        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(window.frameGeometry(), QRect(30, 20, 900, 650));
        QVERIFY(child(window, "pTop")->isHidden());
        QVERIFY(child(window, "StatusBar")->isHidden());
        QVERIFY(!child(window, "pLeft")->isHidden());
        QTRY_COMPARE(child(window, "pLeft")->width(), 250);
        QTRY_COMPARE(child(window, "pBottom")->height(), 150);
        // A language element missing from the file is created at start.
        QVERIFY(window.config().root().child("language"));
    }

    void sizeWithoutPositionStaysCentred()
    {
        writeConfig(R"(<tarvel_terminal width="800" height="500"/>)");
        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Centred for the design size, then the saved size applies.
        const QPoint screenCentre = window.screen()->geometry().center();
        QVERIFY(qAbs(window.frameGeometry().left() - (screenCentre.x() - 966 / 2)) <= 4);
        QVERIFY(qAbs(window.frameGeometry().top() - (screenCentre.y() - 701 / 2)) <= 4);
        QCOMPARE(window.frameGeometry().size(), QSize(800, 500));
    }

    // Hiding both middle areas collapses the window by the middle area's
    // height before the saved height applies.
    void middlePanelRule()
    {
        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int fullHeight = window.height();
        QWidget *middle = child(window, "pMiddle");
        const int middleHeight = middle->height();

        child<QAction>(window, "mimViewPaketT97")->trigger();
        QCOMPARE(window.height(), fullHeight);
        QVERIFY(!middle->isHidden());

        child<QAction>(window, "mimViewCommunicationLog")->trigger();
        QVERIFY(middle->isHidden());
        QCOMPARE(window.height(), fullHeight - middleHeight);

        child<QAction>(window, "mimViewPaketT97")->trigger();
        QVERIFY(!middle->isHidden());
        QCOMPARE(window.height(), fullHeight);
    }

    void savedHiddenMiddleAreaShrinksBeforeTheSavedHeight()
    {
        writeConfig(R"(<tarvel_terminal viewPacket="False" viewCommonicationLog="False"/>)");
        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(child(window, "pMiddle")->isHidden());
        QVERIFY(window.height() < 701 - 300);
    }

    void viewMenuChecksFollowTheAreas()
    {
        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        child(window, "pTop")->hide();
        emit child<QMenu>(window, "mimView")->aboutToShow();
        QVERIFY(!child<QAction>(window, "mimViewPresets")->isChecked());
        QVERIFY(child<QAction>(window, "mimViewStatusBar")->isChecked());
    }

    // An unreadable file is reported, kept under a new name and never overwritten.
    void unreadableConfigIsKept()
    {
        const QByteArray broken = R"(<tarvel_terminal><connection status="ok"></tarvel_terminal>)";
        writeConfig(broken);
        {
            TfMainTarvelTerm window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(m_messages.size(), 1);
            QVERIFY(m_messages.first().contains("config.xml.unreadable-"));
            QCOMPARE(window.statusPanels()->panelText(0), QString());
            window.close();
        }
        const QStringList kept = QDir().entryList({"config.xml.unreadable-*"}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QFile keptFile(kept.first());
        QVERIFY(keptFile.open(QIODevice::ReadOnly));
        QCOMPARE(keptFile.readAll(), broken);
    }

    void badValueStopsTheRestoreThere()
    {
        writeConfig(
            R"(<tarvel_terminal viewPresets="False" top="10" left="10" width="wide" height="400"/>)");
        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(m_messages, QStringList{"'wide' is not a valid integer value"});
        QVERIFY(child(window, "pTop")->isHidden());
        QCOMPARE(window.frameGeometry().topLeft(), QPoint(10, 10));
        QVERIFY(window.height() != 400);
    }

    void clearEmptiesLogAndSplitter()
    {
        TfMainTarvelTerm window;
        window.show();
        window.parser().ProcessData("HELLO\r", Direction::Tx, false);
        window.parser().ProcessData("pending", Direction::Rx, false);
        QCOMPARE(window.logView()->rowCount(), 1u);
        child<QPushButton>(window, "bClear")->click();
        QCOMPARE(window.logView()->rowCount(), 0u);
        QVERIFY(window.parser().capture().isEmpty());
        QVERIFY(window.parser().pending(Direction::Rx).isEmpty());
    }

    void saveFailureStillCloses()
    {
        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QDir().mkdir("config.xml"); // a folder where the file should go
        QVERIFY(window.close());
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains("config.xml"));
        QDir().rmdir("config.xml");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
