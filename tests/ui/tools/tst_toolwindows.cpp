#include "capture/tarvelparser.h"
#include "lang/language.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/main/terminallogview.h"
#include "ui/tools/about.h"
#include "ui/tools/asciitable.h"
#include "ui/tools/formposutils.h"
#include "ui/tools/scaner.h"
#include "ui/tools/toolwindows.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

template <typename T>
QList<T *> windowsNamed(const char *name)
{
    QList<T *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1StringView(name))
            if (auto *window = qobject_cast<T *>(widget))
                found << window;
    }
    return found;
}

bool isCentredOnPrimary(const QWidget &window)
{
    return window.frameGeometry() ==
           CenterOnMonitor(window.frameGeometry(), QGuiApplication::primaryScreen()->geometry());
}

} // namespace

// Each test starts the real main window, with the tool windows attached, in
// an empty working folder.
class TestToolWindows : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages;
    std::unique_ptr<TfMainTarvelTerm> m_window;

    template <typename T = QAction>
    T *child(const char *name) const
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }

    void trigger(const char *name) const { child(name)->trigger(); }

    [[nodiscard]] TfAsciiTable *asciiTable() const
    {
        const QList<TfAsciiTable *> tables = windowsNamed<TfAsciiTable>("fAsciiTable");
        return tables.size() == 1 ? tables.front() : nullptr;
    }

    // Points at a byte of a log row, as the mouse does.
    void pointAtLogByte(quint64 row, int index) const
    {
        TTerminalLogView &log = *m_window->logView();
        const LogLayout &layout = log.logLayout();
        const QPoint pos(layout.hexX(index % layout.bytesPerLine()) + 2,
                         log.rowRect(row).top() + 16 * (index / layout.bytesPerLine()) + 6);
        QMouseEvent event(QEvent::MouseMove, QPointF(pos),
                          QPointF(log.viewport()->mapToGlobal(pos)), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(log.viewport(), &event);
    }

private slots:
    void initTestCase()
    {
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
        SetUrlOpener([](const QUrl &) { return true; });
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }

    void init()
    {
        m_messages.clear();
        m_window = std::make_unique<TfMainTarvelTerm>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void menus()
    {
        const QList<QAction *> bar = m_window->menuBar()->actions();
        const auto *mimUtility = child<QMenu>("mimUtility");
        QVERIFY(mimUtility);
        QCOMPARE(mimUtility->title(), QStringLiteral("Nástroje"));
        QCOMPARE(bar.indexOf(mimUtility->menuAction()) + 1,
                 bar.indexOf(child<QMenu>("mimView")->menuAction()));
        QCOMPARE(mimUtility->actions(), QList<QAction *>({child("mimUtilityAsciiTable"),
                                                          child("mimUtilityTarvelScaner")}));
        QCOMPARE(child("mimUtilityAsciiTable")->text(), QStringLiteral("ASCII tabulka"));
        QCOMPARE(child("mimUtilityAsciiTable")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
        QVERIFY(!child("mimUtilityTarvelScaner")->isVisible());

        const QList<QAction *> right = child<QMenuBar>("mbRight")->actions();
        QCOMPARE(right,
                 QList<QAction *>({child("mimAbout"), child<QMenu>("mimLng")->menuAction()}));
        QCOMPARE(child("mimAbout")->text(), QStringLiteral("O Aplikaci"));

        QAction *centre = child<QMenu>("mimView")->actions().last();
        QCOMPARE(centre, child("mimViewCenterForms"));
        QCOMPARE(centre->text(), QStringLiteral("Centrovat formuláře na hlavní monitor"));
        QCOMPARE(centre->shortcut(), QKeySequence(TCorrectionMenuItem::ShortcutKey));
    }

    void asciiTableIsCreatedOnce()
    {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_A, Qt::AltModifier);
        QPointer<TfAsciiTable> table = asciiTable();
        QVERIFY(table);
        QVERIFY(QTest::qWaitForWindowExposed(table));
        // A window of its own, not one that goes with the main window.
        QVERIFY(!table->parentWidget());
        QVERIFY(!table->testAttribute(Qt::WA_QuitOnClose));

        // Invoked again while open: brought forward, not opened twice.
        trigger("mimUtilityAsciiTable");
        QCOMPARE(asciiTable(), table.data());

        QVERIFY(table->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(table);
        QVERIFY(table->isHidden());
        trigger("mimUtilityAsciiTable");
        QCOMPARE(asciiTable(), table.data());
        QVERIFY(table->isVisible());
    }

    void asciiTableFollowsTheLog()
    {
        TTerminalLogView &log = *m_window->logView();
        m_window->parser().ProcessData("AB\r", Direction::Rx, true);
        log.beginUpdate();
        log.endUpdate();
        QCOMPARE(log.rowCount(), 1u);
        // Without the table the log goes on as before.
        pointAtLogByte(0, 0);
        QCOMPARE(log.mouseCursorItem().ByteValue, quint8('A'));

        trigger("aAsciiTable");
        TfAsciiTable *table = asciiTable();
        QVERIFY(table);
        for (int index : {1, 2, 0}) {
            pointAtLogByte(0, index);
            const int byte = QByteArrayView("AB\r")[index];
            QCOMPARE(table->list()->currentIndex().row(), byte);
            QCOMPARE(table->list()->selectionModel()->selectedRows().size(), 1);
        }
    }

    void aboutFromTheMenuAndThePicture()
    {
        m_window->setWindowTitle(QStringLiteral("Tarvel terminal - COM3"));
        trigger("mimAbout");
        QTest::mouseClick(child<QLabel>("Image1"), Qt::LeftButton);
        const QList<TfAbout *> abouts = windowsNamed<TfAbout>("fAbout");
        QCOMPARE(abouts.size(), 2);
        for (TfAbout *about : abouts) {
            QVERIFY(about->isVisible());
            QCOMPARE(about->windowTitle(), m_window->windowTitle());
        }
    }

    void scannerOpensAnotherWindowEachTime()
    {
        trigger("mimUtilityTarvelScaner");
        trigger("mimUtilityTarvelScaner");
        const QList<TfScaner *> scaners = m_window->findChildren<TfScaner *>();
        QCOMPARE(scaners.size(), 2);
        for (TfScaner *scaner : scaners) {
            QVERIFY(scaner->isWindow());
            QVERIFY(scaner->isVisible());
        }
    }

    void windowsGoWithTheMainWindow()
    {
        trigger("aAsciiTable");
        trigger("aAbout");
        QPointer<TfAsciiTable> table = asciiTable();
        QPointer<TfAbout> about = windowsNamed<TfAbout>("fAbout").value(0);
        QVERIFY(table && about);
        m_window.reset();
        QVERIFY(table.isNull());
        QVERIFY(about.isNull());
    }

    // The centring key works from any window, also while a modal dialog
    // keeps the main window's menu from taking keys.
    void centringFromAnyWindow()
    {
        QWidget stray;
        stray.setGeometry(4000, -3000, 200, 150);
        stray.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stray));

        trigger("aAsciiTable");
        TfAsciiTable *table = asciiTable();
        table->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(table));
        QTest::keyClick(table, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(isCentredOnPrimary(stray));
        QVERIFY(isCentredOnPrimary(*table));

        stray.move(-4000, 3000);
        QDialog dialog(m_window.get());
        dialog.setModal(true);
        dialog.setGeometry(3000, 3000, 120, 80);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(isCentredOnPrimary(stray));
        QVERIFY(isCentredOnPrimary(dialog));
    }

    // Runs last: the language stays loaded for the rest of the run.
    void translatedWindows()
    {
        Language().LoadLanguageFile(QStringLiteral(TARVEL_TEST_DATA "/data/tools.lng.xml"));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(child("mimUtilityAsciiTable")->text(), QStringLiteral("ASCII table"));
        QCOMPARE(child("mimAbout")->text(), QStringLiteral("About"));
        QVERIFY(child("mimAbout")->isVisible());

        trigger("aAsciiTable");
        TfAsciiTable *table = asciiTable();
        QCOMPARE(table->windowTitle(), QStringLiteral("ASCII table"));
        const QAbstractItemModel *model = table->list()->model();
        QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Abbr."));
        QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Description"));

        // The file's caption replaces the main window's; its error is
        // reported and the window opens all the same.
        trigger("aAbout");
        const QList<TfAbout *> abouts = windowsNamed<TfAbout>("fAbout");
        QCOMPARE(abouts.size(), 1);
        QVERIFY(abouts.front()->isVisible());
        QCOMPARE(abouts.front()->windowTitle(), QStringLiteral("About Tarvel Terminal"));
        QCOMPARE(abouts.front()->linkPanel(TfAbout::History)->text().left(7),
                 QStringLiteral("Verze: "));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.front().contains(QStringLiteral("Colour")));
    }
};

QTEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"
