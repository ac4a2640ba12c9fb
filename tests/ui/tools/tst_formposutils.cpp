#include "ui/tools/formposutils.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace {

QRect primaryBounds()
{
    return QGuiApplication::primaryScreen()->geometry();
}

// The frame rectangle a window of this size has once centred on the
// primary screen.
QRect centredFrame(QSize size)
{
    return CenterOnMonitor(QRect(QPoint(), size), primaryBounds());
}

} // namespace

class TestFormPosUtils : public QObject
{
    Q_OBJECT

private slots:
    void arithmetic_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("monitor");
        // Edges as the window system writes them: right and bottom are
        // the first pixels outside the window.
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("bottom");

        QTest::newRow("fits") << QSize(1000, 800) << QRect(0, 0, 1920, 1080) << 460 << 140 << 1460
                              << 940;
        QTest::newRow("too wide, monitor left of the origin")
            << QSize(2000, 700) << QRect(-1280, 0, 1280, 1024) << -1280 << 162 << 0 << 862;
        // Each half is rounded down on its own: 512 - 150, not 1024 - 301 halved.
        QTest::newRow("odd width")
            << QSize(301, 100) << QRect(0, 0, 1024, 768) << 362 << 334 << 663 << 434;
        QTest::newRow("too high, monitor above the origin")
            << QSize(200, 900) << QRect(0, -768, 1024, 768) << 412 << -768 << 612 << 0;
    }

    void arithmetic()
    {
        QFETCH(QSize, window);
        QFETCH(QRect, monitor);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, right);
        QFETCH(int, bottom);
        // Only the size of the old place matters.
        const QRect placed = CenterOnMonitor(QRect(QPoint(-5000, 3000), window), monitor);
        QCOMPARE(placed.left(), left);
        QCOMPARE(placed.top(), top);
        QCOMPARE(placed.left() + placed.width(), right);
        QCOMPARE(placed.top() + placed.height(), bottom);
    }

    void keepsTheWindowState_data()
    {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::newRow("normal") << Qt::WindowNoState;
        QTest::newRow("maximised") << Qt::WindowMaximized;
        QTest::newRow("minimised") << Qt::WindowMinimized;
    }

    // The restored place moves; the state stays, and restoring the window
    // shows it centred with its frame.
    void keepsTheWindowState()
    {
        QFETCH(Qt::WindowState, state);
        QWidget window;
        window.setGeometry(QRect(QPoint(3000, -2000), QSize(300, 200)));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize frameSize = window.frameGeometry().size();
        window.setWindowState(state);
        QCOMPARE(window.windowState(), state);

        QVERIFY(CenterOnPrimaryMonitor(&window));
        QCOMPARE(window.windowState(), state);
        window.showNormal();
        QCOMPARE(window.size(), QSize(300, 200));
        QCOMPARE(window.frameGeometry(), centredFrame(frameSize));
    }

    void shrinksToTheScreen()
    {
        const QRect screen = primaryBounds();
        QWidget window;
        window.resize(screen.size() + QSize(400, 300));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(CenterOnPrimaryMonitor(&window));
        QCOMPARE(window.frameGeometry(), screen);
    }

    // Every window of the program, shown or hidden, moves; pop-ups and
    // tool tips do not, nor do controls inside windows.
    void centresEveryWindow()
    {
        QWidget shown;
        shown.setGeometry(5000, 5000, 200, 100);
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QWidget hidden(nullptr, Qt::Dialog);
        hidden.setGeometry(-4000, 10, 120, 80);
        QWidget tip(nullptr, Qt::ToolTip);
        tip.setGeometry(4000, 4000, 50, 20);
        QWidget child(&shown);
        child.setGeometry(150, 50, 10, 10);

        CenterAllForms();
        QCOMPARE(shown.frameGeometry(), centredFrame(shown.frameGeometry().size()));
        QCOMPARE(hidden.geometry(), centredFrame(QSize(120, 80)));
        QCOMPARE(tip.geometry(), QRect(4000, 4000, 50, 20));
        QCOMPARE(child.geometry(), QRect(150, 50, 10, 10));
    }
};

QTEST_MAIN(TestFormPosUtils)
#include "tst_formposutils.moc"
