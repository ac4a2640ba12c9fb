#include "ui/main/capturecommands.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/main/progresssimple.h"
#include "ui/main/terminallogview.h"

#include "logrows.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray FrameA = QByteArray::fromHex("2A610008010223148107AA0D");
const QByteArray FrameB = QByteArray::fromHex("2A610008010223158107A90D");

QStringList captureRows(TfMainTarvelTerm &window)
{
    QStringList rows;
    const DatagramRange &capture = window.parser().capture();
    for (quint64 i = 0; i < capture.size(); ++i) {
        const Datagram d = capture.at(i);
        rows << QStringLiteral("%1 %2 %3")
                    .arg(DirectionName(d.direction),
                         QString::fromLatin1(d.data.toByteArray().toHex().toUpper()),
                         d.valid ? QStringLiteral("valid") : QStringLiteral("invalid"));
    }
    return rows;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QList<TfProgressSimple *> progressWindows()
{
    // Closed windows are deleted later; let that happen first.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<TfProgressSimple *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *progress = qobject_cast<TfProgressSimple *>(widget))
            found << progress;
    return found;
}

void trigger(TfMainTarvelTerm &window, const char *actionName)
{
    window.findChild<QAction *>(QString::fromLatin1(actionName))->trigger();
}

} // namespace

// The capture-file commands on the real main window: the file dialogs answer
// from a list of names, message boxes are recorded.
class TestCaptureCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages;
    QStringList m_answers;
    QList<CaptureFileDialogRequest> m_requests;

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // Saves or opens through the action, answering the dialog with a name.
    void run(TfMainTarvelTerm &window, const char *actionName, const QString &fileName)
    {
        m_answers << fileName;
        trigger(window, actionName);
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
        SetCaptureFileDialog([this](QWidget *, const CaptureFileDialogRequest &request) {
            m_requests << request;
            return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        });
    }

    void init()
    {
        m_messages.clear();
        m_answers.clear();
        m_requests.clear();
    }

    void menuItemsSitBetweenTheLinkCommandsAndClose()
    {
        TfMainTarvelTerm window;
        const auto *mimFile = window.findChild<QMenu *>("mimFile");
        QStringList names;
        for (const QAction *item : mimFile->actions())
            names << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
        QCOMPARE(names, (QStringList{"mimOpen", "mimNewConnection", "mimDisconnect", "-",
                                     "mimSaveData", "mimLoadData", "-", "mimClose"}));
        const auto item = [&](const char *name) {
            return mimFile->findChild<QAction *>(QString::fromLatin1(name));
        };
        QCOMPARE(item("mimSaveData")->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(item("mimLoadData")->shortcut(), QKeySequence("Ctrl+L"));

        // The items run their commands; a cancelled dialog changes nothing.
        window.parser().ProcessData(FrameA, Direction::Rx, false);
        item("mimSaveData")->trigger();
        item("mimLoadData")->trigger();
        QCOMPARE(m_requests.size(), 2);
        QCOMPARE(m_requests[0].kind, CaptureFileDialogRequest::Kind::Save);
        QCOMPARE(m_requests[0].fileName, QStringLiteral("data.xml"));
        QCOMPARE(m_requests[0].filter, QStringLiteral("XML data (*.xml)"));
        QCOMPARE(m_requests[1].kind, CaptureFileDialogRequest::Kind::Open);
        QCOMPARE(m_requests[1].filter, QStringLiteral("XML data (*.xml)"));
        QCOMPARE(captureRows(window), QStringList{"Rx " + FrameA.toHex().toUpper() + " valid"});
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
        QVERIFY(m_messages.isEmpty());

        // The shortcuts reach the commands from the window.
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(m_requests.size(), 4);
        QCOMPARE(m_requests[2].kind, CaptureFileDialogRequest::Kind::Save);
        QCOMPARE(m_requests[3].kind, CaptureFileDialogRequest::Kind::Open);
    }

    // Two Rx frames and a Tx line come back alike; the log keeps its rows
    // and the loaded ones follow; the capture then holds only those.
    void openingKeepsTheLogAndReplacesTheCapture()
    {
        TfMainTarvelTerm window;
        window.parser().ProcessData(FrameA + FrameB, Direction::Rx, false);
        window.SendData("HELLO\r", false);
        const QStringList saved = logRows(window);
        QCOMPARE(saved.size(), 3);
        run(window, "aSaveData", path("first.xml"));

        window.parser().ProcessData("+025.3C\r", Direction::Rx, false);
        window.parser().ProcessData("AB", Direction::Tx, false);
        const QStringList before = logRows(window);
        run(window, "aOpenData", path("first.xml"));
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('\n')));
        QCOMPARE(logRows(window), before + saved);
        QCOMPARE(captureRows(window), saved);
        QVERIFY(window.parser().pending(Direction::Tx).isEmpty());

        run(window, "aSaveData", path("second.xml"));
        QCOMPARE(readFile(path("second.xml")), readFile(path("first.xml")));
        QVERIFY(progressWindows().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
    }

    // While the file is handed over, the hourglass shows and the progress
    // window's gauge runs over every child node of the root; it ends at the
    // number of datagrams handed over, an empty one included.
    void progressWindowAndCursorWhileOpening()
    {
        writeFile(path("gauge.xml"),
                  "<data><datagram direction=\"Rx\" data=\"" + FrameA.toHex() +
                      "\"/><!-- note --><datagram direction=\"rx\" data=\"" + FrameA.toHex() +
                      "\"/><datagram direction=\"Tx\" data=\"\"/><datagram direction=\"Rx\" "
                      "data=\"" +
                      FrameB.toHex() + "\"/></data>");
        TfMainTarvelTerm window;

        struct Seen
        {
            bool visible = false;
            QString title;
            QSize size;
            QPoint centre;
            bool frameless = false;
            QRect gaugeGeometry;
            int value = -1;
            int maximum = -1;
            bool waitCursor = false;
        };
        QList<Seen> seen;
        QTimer watcher;
        watcher.setInterval(0);
        connect(&watcher, &QTimer::timeout, this, [&] {
            const QList<TfProgressSimple *> windows = progressWindows();
            if (windows.size() != 1)
                return;
            TfProgressSimple *progress = windows.front();
            const auto *gauge = progress->findChild<QProgressBar *>("Gauge1");
            seen << Seen{progress->isVisible(),
                         progress->windowTitle(),
                         progress->size(),
                         progress->geometry().center(),
                         progress->windowFlags().testFlag(Qt::FramelessWindowHint),
                         gauge->geometry(),
                         gauge->value(),
                         progress->maximum(),
                         QApplication::overrideCursor() &&
                             QApplication::overrideCursor()->shape() == Qt::WaitCursor};
        });
        watcher.start();
        run(window, "aOpenData", path("gauge.xml"));
        watcher.stop();

        QVERIFY(m_messages.isEmpty());
        QVERIFY(seen.size() >= 2);
        const Seen &first = seen.front();
        QVERIFY(first.visible);
        QCOMPARE(first.title, QStringLiteral("Progress"));
        QCOMPARE(first.size, QSize(416, 50));
        QVERIFY((first.centre - window.screen()->geometry().center()).manhattanLength() <= 2);
        QVERIFY(first.frameless);
        QCOMPARE(first.gaugeGeometry, QRect(8, 8, 401, 33));
        QCOMPARE(first.value, 0);
        QVERIFY(first.waitCursor);
        QCOMPARE(seen.back().maximum, 5);
        QCOMPARE(seen.back().value, 3);
        QVERIFY(seen.back().waitCursor);

        QCOMPARE(logRows(window).size(), 2);
        QVERIFY(progressWindows().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
    }

    // A file that cannot be read or parsed changes nothing; a pair that is
    // not hex stops the opening with what came before it loaded. Either way
    // one message is shown, the progress window and the hourglass go, and
    // the log follows new traffic again.
    void failedOpeningCleansUp_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("messagePart");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<QStringList>("loaded");

        QTest::newRow("missing file")
            << QByteArray() << "No such file or directory" << false << QStringList();
        QTest::newRow("not well-formed")
            << QByteArray("<data><datagram direction=\"Rx\" data=\"41\"></data>")
            << "Start-end tags mismatch" << false << QStringList();
        QTest::newRow("a pair that is not hex")
            << "<data><datagram direction=\"Rx\" data=\"" + FrameA.toHex() +
                   "\"/><datagram direction=\"Rx\" data=\"" + FrameB.toHex().chopped(1) +
                   "X\"/><datagram direction=\"Rx\" data=\"" + FrameB.toHex() + "\"/></data>"
            << "'$0X' is not a valid integer value" << true
            << QStringList{"Rx " + FrameA.toHex().toUpper() + " valid"};
    }
    void failedOpeningCleansUp()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, messagePart);
        QFETCH(bool, cleared);
        QFETCH(QStringList, loaded);

        const QString fileName = path("failing.xml");
        QFile::remove(fileName);
        if (!content.isEmpty())
            writeFile(fileName, content);

        TfMainTarvelTerm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int i = 0; i < 100; ++i)
            window.parser().ProcessData(FrameB, Direction::Rx, false);
        window.parser().ProcessData("OK", Direction::Rx, false);
        const QStringList logBefore = logRows(window);
        const QStringList captureBefore = captureRows(window);

        run(window, "aOpenData", fileName);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.front().contains(messagePart), qPrintable(m_messages.front()));
        QCOMPARE(logRows(window), logBefore + loaded);
        QCOMPARE(captureRows(window), cleared ? loaded : captureBefore);
        QCOMPARE(window.parser().pending(Direction::Rx).toByteArray(),
                 cleared ? QByteArray() : QByteArray("OK"));
        QVERIFY(progressWindows().isEmpty());
        QVERIFY(!QApplication::overrideCursor());

        // The log's repainting was resumed: new rows reach the scroll range.
        QScrollBar *scroll = window.logView()->verticalScrollBar();
        QTRY_VERIFY(scroll->maximum() > 0);
        const int range = scroll->maximum();
        for (int i = 0; i < 100; ++i)
            window.parser().ProcessData(FrameA, Direction::Rx, false);
        QTRY_VERIFY(scroll->maximum() > range);
    }

    void failedSavingIsShownAndChangesNothing()
    {
        TfMainTarvelTerm window;
        window.parser().ProcessData(FrameA, Direction::Rx, false);
        run(window, "aSaveData", path("no/such/folder/data.xml"));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.front().contains(path("no/such/folder/data.xml")),
                 qPrintable(m_messages.front()));
        QCOMPARE(captureRows(window), QStringList{"Rx " + FrameA.toHex().toUpper() + " valid"});
    }
};

QTEST_MAIN(TestCaptureCommands)
#include "tst_capturecommands.moc"
