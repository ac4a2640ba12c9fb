#include "lang/language.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/main/terminallogview.h"
#include "ui/packet/framepacket.h"
#include "ui/packet/packeteditorattach.h"
#include "ui/packet/packetwindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

namespace {

QString hexText(QWidget *window)
{
    return window->findChild<QTextEdit *>("rePacket")->toPlainText();
}

QString characterText(QWidget *window)
{
    return window->findChild<QPlainTextEdit *>("Memo1")->toPlainText();
}

int windowsNamed(const QString &name)
{
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        count += window->objectName() == name && window->isVisible();
    return count;
}

// The view refers to the bytes: they must outlive the call it is passed to.
Datagram datagram(const QByteArray &bytes)
{
    return Datagram{Direction::Rx, bytes, true};
}

} // namespace

class TestPacketWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
        SetMessagePresenter([](QWidget *, const QString &) {});
    }

    void showsTheRowInHexAndCharacters_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("characters");
        QTest::newRow("text and CR") << QByteArray("Hi\r") << "48 69 0D "
                                     << "Hi?";
        QTest::newRow("CR LF") << QByteArray("\r\n") << "0D 0A "
                               << "??";
        QTest::newRow("controls, blank and DEL")
            << QByteArray("\x00\x1F\x20\x7E\x7F", 5) << "00 1F 20 7E 7F "
            << "?? ~?";
        QTest::newRow("code page")
            << QByteArray("\x8A\xE8\xFF") << "8A E8 FF " << QString::fromUtf8("Šč˙");
        QTest::newRow("empty") << QByteArray() << ""
                               << "";
    }
    void showsTheRowInHexAndCharacters()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, hex);
        QFETCH(QString, characters);
        QWidget owner;
        QWidget *window = OpenPacketWindow(&owner, 12, datagram(bytes));
        QCOMPARE(window->objectName(), QString("pf_12"));
        QCOMPARE(window->windowTitle(), QString("Line 12."));
        QVERIFY(window->isVisible());
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(hexText(window), hex);
        QCOMPARE(characterText(window), characters);
    }

    // A hex text of odd length ends with a byte of one digit.
    void oddHexText()
    {
        TfrPacket frame(QStringLiteral("4869A"));
        QCOMPARE(frame.hexBox()->toPlainText(), QString("48 69 A "));
        QCOMPARE(frame.characterBox()->toPlainText(), QString("Hi?"));
    }

    void reusedByNameUntilClosed()
    {
        QWidget owner;
        QPointer<QWidget> first = OpenPacketWindow(&owner, 3, datagram("first"));
        QCOMPARE(OpenPacketWindow(&owner, 3, datagram("second")), first.data());
        QCOMPARE(windowsNamed("pf_3"), 1);
        QCOMPARE(characterText(first), QString("first"));

        QWidget *other = OpenPacketWindow(&owner, 30, datagram("other"));
        QVERIFY(other != first);
        QCOMPARE(other->windowTitle(), QString("Line 30."));

        // Closing destroys it; the next opening makes a new one.
        first->close();
        QWidget *again = OpenPacketWindow(&owner, 3, datagram("second"));
        QVERIFY(again != first);
        QCOMPARE(characterText(again), QString("second"));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        QCOMPARE(windowsNamed("pf_3"), 1);
    }

    // The log asks for the window of a row by double click or its pop-up item.
    void openedFromTheLog()
    {
        TfMainTarvelTerm window;
        window.parser().ProcessData("AB\r", Direction::Rx, true);
        window.parser().ProcessData("CD\r", Direction::Rx, true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TTerminalLogView *log = window.logView();
        QTRY_COMPARE(log->rowCount(), quint64(2));

        QTest::mouseDClick(log->viewport(), Qt::LeftButton, {}, log->rowRect(1).center());
        QTRY_VERIFY(FindPacketWindow(1));
        QWidget *second = FindPacketWindow(1);
        QCOMPARE(hexText(second), QString("43 44 0D "));
        QCOMPARE(second->parentWidget(), &window);

        log->setFocusedRow(0);
        log->popupMenu()->actions().first()->trigger();
        QVERIFY(FindPacketWindow(0));
        QCOMPARE(characterText(FindPacketWindow(0)), QString("AB?"));

        // After the log is refilled the open window still answers for its
        // index, with the bytes it was opened with.
        window.bClearClick();
        window.parser().ProcessData("XY\r", Direction::Rx, true);
        QTRY_COMPARE(log->rowCount(), quint64(1));
        log->setFocusedRow(0);
        log->popupMenu()->actions().first()->trigger();
        QCOMPARE(windowsNamed("pf_0"), 1);
        QCOMPARE(characterText(FindPacketWindow(0)), QString("AB?"));
    }

    // Runs last: the translator keeps the loaded language.
    void captionFromTheLanguage()
    {
        QFile file("cz.lng.xml");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<tarvelterminal "
                   "xmlns=\"http://tarvel.example.com/xml/2008/language\">\n"
                   "  <language name=\"Cesky\"><forms/></language>\n"
                   "  <const><PacketLine text=\"Řádek %d.\"/></const>\n"
                   "</tarvelterminal>\n");
        file.close();
        Language().LoadLanguageFile("cz.lng.xml");
        QWidget owner;
        QCOMPARE(OpenPacketWindow(&owner, 7, datagram("x"))->windowTitle(),
                 QString::fromUtf8("Řádek 7."));
    }
};

QTEST_MAIN(TestPacketWindow)
#include "tst_packetwindow.moc"
