#include "core/appversion.h"
#include "ui/tools/about.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

namespace {

void moveMouseOver(QWidget *widget)
{
    const QPointF pos(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// The history files beside the program for one test; removed afterwards.
struct HistoryFiles
{
    QStringList created;

    void create(const QString &fileName)
    {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("history\n");
        created << fileName;
    }
    ~HistoryFiles()
    {
        for (const QString &fileName : std::as_const(created))
            QFile::remove(fileName);
    }
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

    QList<QUrl> m_opened;

    [[nodiscard]] QStringList highlighted(const TfAbout &about) const
    {
        QStringList names;
        for (TfAbout::Link link : {TfAbout::Mail, TfAbout::Http, TfAbout::History}) {
            QLabel *panel = about.linkPanel(link);
            const bool outlined = panel->frameShape() != QFrame::NoFrame;
            const bool navy = panel->palette().color(QPalette::WindowText) == QColor(0, 0, 128);
            // The flag and the look always agree.
            if (about.isHighlighted(link) != outlined || outlined != navy)
                return {QStringLiteral("inconsistent ") + panel->objectName()};
            if (outlined)
                names << panel->objectName();
        }
        return names;
    }

private slots:
    void initTestCase()
    {
        SetUrlOpener([this](const QUrl &url) {
            m_opened << url;
            return true;
        });
        // Nothing left over from an earlier run may decide which file opens.
        QFile::remove(TfAbout::HistoryPageFileName());
        QFile::remove(TfAbout::HistoryTextFileName());
    }

    void init() { m_opened.clear(); }

    void showsTheVersion()
    {
        TfAbout about;
        const QString version = GetAppVersion();
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"))
                    .match(version)
                    .hasMatch());
        QCOMPARE(about.linkPanel(TfAbout::History)->text(), QStringLiteral("Verze: ") + version);
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("Label7"))->text(), TfAbout::MakerName());
        QVERIFY(about.findChild<QLabel *>(QStringLiteral("lVersion"))->isHidden());
    }

    void eachUseOpensAnotherWindow()
    {
        const QString caption = QStringLiteral("Tarvel terminal");
        QPointer<TfAbout> first = TfAbout::Execute(caption);
        QPointer<TfAbout> second = TfAbout::Execute(caption);
        QVERIFY(first != second);
        for (TfAbout *about : {first.data(), second.data()}) {
            QVERIFY(QTest::qWaitForWindowExposed(about));
            QCOMPARE(about->windowTitle(), caption);
            QVERIFY(!about->parentWidget());
        }
        QVERIFY(first->close());
        QTRY_VERIFY(first.isNull());
        QVERIFY(second && second->isVisible());
        delete second;
    }

    void links()
    {
        TfAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(about.linkPanel(TfAbout::Mail), Qt::LeftButton);
        QTest::mouseClick(about.linkPanel(TfAbout::Http), Qt::LeftButton);
        // A right click opens nothing.
        QTest::mouseClick(about.linkPanel(TfAbout::Http), Qt::RightButton);
        QCOMPARE(m_opened, QList<QUrl>({QUrl(QStringLiteral("mailto:info@tarvel.example.com")),
                                        QUrl(QStringLiteral("https://www.tarvel.example.com/"))}));
    }

    void history_data()
    {
        QTest::addColumn<bool>("page");
        QTest::addColumn<bool>("text");
        QTest::newRow("neither") << false << false;
        QTest::newRow("text only") << false << true;
        QTest::newRow("page only") << true << false;
        QTest::newRow("both: the page wins") << true << true;
    }

    void history()
    {
        QFETCH(bool, page);
        QFETCH(bool, text);
        HistoryFiles files;
        if (page)
            files.create(TfAbout::HistoryPageFileName());
        if (text)
            files.create(TfAbout::HistoryTextFileName());
        const QString expected = page   ? TfAbout::HistoryPageFileName()
                                 : text ? TfAbout::HistoryTextFileName()
                                        : QString();

        TfAbout about;
        QLabel *panel = about.linkPanel(TfAbout::History);
        moveMouseOver(panel);
        QCOMPARE(about.isHighlighted(TfAbout::History), !expected.isEmpty());
        QCOMPARE(panel->cursor().shape(),
                 expected.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);

        about.pHistoryClick();
        if (expected.isEmpty())
            QVERIFY(m_opened.isEmpty());
        else
            QCOMPARE(m_opened, QList<QUrl>({QUrl::fromLocalFile(expected)}));
    }

    // The mouse travels through the window as the user moves it.
    void highlightsOneLinkAtATime()
    {
        TfAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const auto pointAt = [](QWidget *widget) {
            QTest::mouseMove(widget, widget->rect().center());
        };
        QVERIFY(highlighted(about).isEmpty());
        pointAt(about.linkPanel(TfAbout::Mail));
        QCOMPARE(highlighted(about), QStringList{QStringLiteral("pMail")});
        // Straight from one link to the other.
        pointAt(about.linkPanel(TfAbout::Http));
        QCOMPARE(highlighted(about), QStringList{QStringLiteral("pHttp")});
        // The product's name lies on the background: nothing stays outlined.
        pointAt(about.findChild<QWidget *>(QStringLiteral("Label1")));
        QVERIFY(highlighted(about).isEmpty());
        pointAt(about.linkPanel(TfAbout::Mail));
        QTest::mouseMove(&about, QPoint(3, 3));
        QVERIFY(highlighted(about).isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
