#include "ui/main/statusbar.h"

#include <QSignalSpy>
#include <QTest>

class TestStatusBar : public QObject
{
    Q_OBJECT

    std::optional<quint8> m_byte;
    ModemLines m_lines;

    void attach(TStatusBar &bar)
    {
        bar.setByteSource([this] { return m_byte; });
        bar.setModemLinesSource([this] { return m_lines; });
    }

private slots:
    void init()
    {
        m_byte.reset();
        m_lines = {};
    }

    void bytePanels()
    {
        TStatusBar bar;
        attach(bar);
        for (int panel = TStatusBar::CharPanel; panel <= TStatusBar::BinPanel; ++panel)
            QVERIFY(bar.panelLook(panel).text.isEmpty());

        m_byte = 0x2A;
        QCOMPARE(bar.panelLook(TStatusBar::CharPanel).text, QString("CHAR: *"));
        QCOMPARE(bar.panelLook(TStatusBar::DecPanel).text, QString("DEC: 42"));
        QCOMPARE(bar.panelLook(TStatusBar::HexPanel).text, QString("HEX: $2A"));
        QCOMPARE(bar.panelLook(TStatusBar::BinPanel).text, QString("BIN: 0010 1010"));
        QCOMPARE(bar.panelLook(TStatusBar::CharPanel).background, QColor(255, 255, 176));
        QCOMPARE(bar.panelLook(TStatusBar::DecPanel).textColour, QColor(0, 0, 128));
        QCOMPARE(bar.panelLook(TStatusBar::HexPanel).background, QColor(255, 255, 240));
        QCOMPARE(bar.panelLook(TStatusBar::BinPanel).textColour, QColor(0, 128, 0));

        // Control bytes show their own character; the upper half uses the code page.
        m_byte = 0x0D;
        QCOMPARE(bar.panelLook(TStatusBar::CharPanel).text, QString("CHAR: \r"));
        m_byte = 0x8A;
        QCOMPARE(bar.panelLook(TStatusBar::CharPanel).text, QString::fromUtf8("CHAR: Š"));
    }

    void modemPanels()
    {
        TStatusBar bar;
        attach(bar);
        for (int panel = TStatusBar::RtsPanel; panel <= TStatusBar::DsrPanel; ++panel)
            QVERIFY(bar.panelLook(panel).text.isEmpty());

        m_lines = {true, true, false, true, false};
        const TStatusBar::PanelLook rts = bar.panelLook(TStatusBar::RtsPanel);
        const TStatusBar::PanelLook cts = bar.panelLook(TStatusBar::CtsPanel);
        QCOMPARE(rts.text, QString("RTS"));
        QCOMPARE(rts.background, QColor(187, 255, 187));
        QCOMPARE(rts.frame, QColor(155, 223, 155));
        QCOMPARE(cts.text, QString("CTS"));
        QCOMPARE(cts.background, QColor(255, 187, 187));
        QCOMPARE(cts.frame, QColor(223, 155, 155));
        QCOMPARE(bar.panelLook(TStatusBar::DtrPanel).text, QString("DTR"));
        QCOMPARE(bar.panelLook(TStatusBar::DsrPanel).text, QString("DSR"));
    }

    void hitTest_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("panel");
        QTest::newRow("left edge") << 0 << -1;
        QTest::newRow("inside version") << 1 << 0;
        QTest::newRow("border 0|1") << 183 << -1;
        QTest::newRow("message") << 184 << 1;
        QTest::newRow("last of message") << 432 << 1;
        QTest::newRow("border 1|2") << 433 << -1;
        QTest::newRow("RTS") << 450 << 2;
        QTest::newRow("binary") << 860 << 10;
        QTest::newRow("last spacer") << 920 << 11;
        QTest::newRow("past the panels") << 960 << -1;
    }
    void hitTest()
    {
        QFETCH(int, x);
        QFETCH(int, panel);
        QWidget window;
        TStatusBar bar(&window);
        bar.setGeometry(0, 0, 966, 19);
        window.show();
        QCOMPARE(bar.StatusPanelAt(bar.mapToGlobal(QPoint(x, 0)).x()), panel);
    }

    void hitTestStopsAtTheBarsWidth()
    {
        QWidget window;
        TStatusBar bar(&window);
        bar.setGeometry(0, 0, 300, 19);
        window.show();
        QCOMPARE(bar.StatusPanelAt(bar.mapToGlobal(QPoint(450, 0)).x()), -1);
    }

    void clicksReportTheirPanel()
    {
        QWidget window;
        TStatusBar bar(&window);
        bar.setGeometry(0, 0, 966, 19);
        window.show();
        QSignalSpy doubleClicks(&bar, &TStatusBar::panelDoubleClicked);
        QSignalSpy rightClicks(&bar, &TStatusBar::panelRightClicked);
        QTest::mouseDClick(&bar, Qt::LeftButton, {}, QPoint(450, 9));
        QCOMPARE(doubleClicks.size(), 1);
        QCOMPARE(doubleClicks.first().first().toInt(), 2);
        QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(100, 9));
        QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(450, 9));
        QCOMPARE(rightClicks.size(), 0);
        QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(300, 9));
        QCOMPARE(rightClicks.size(), 1);
    }
};

QTEST_MAIN(TestStatusBar)
#include "tst_statusbar.moc"
