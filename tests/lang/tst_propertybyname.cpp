#include "fixturewindow.h"

#include "core/apperror.h"
#include "lang/applyelement.h"
#include "lang/propertybyname.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestPropertyByName : public QObject
{
    Q_OBJECT

    // The text the user sees where the property shows.
    static QString Shown(FixtureWindow &window, QObject *object, const QString &where)
    {
        if (where == u"tab text")
            return window.pcPresets->tabText(0);
        if (where == u"tab tool tip")
            return window.pcPresets->tabToolTip(0);
        if (where == u"menu bar")
            return qobject_cast<QMenu *>(object)->menuAction()->text();
        if (where == u"menu bar tool tip")
            return qobject_cast<QMenu *>(object)->menuAction()->toolTip();
        if (where == u"view menu title")
            return window.viewMenu->title();
        if (where == u"current item")
            return window.cbParity->currentText();
        return object->property(where.toLatin1().constData()).toString();
    }

    static QObject *Find(FixtureWindow &window, const QString &name)
    {
        return name == window.objectName() ? &window : FindComponent(&window, name);
    }

private slots:
    void setsWhereTheUserSeesIt_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("where");

        QTest::newRow("button Caption") << u"bSend"_s << u"Caption"_s << u"text"_s;
        QTest::newRow("button hint, lower case") << u"bSend"_s << u"hint"_s << u"toolTip"_s;
        QTest::newRow("label CAPTION") << u"lStatus"_s << u"CAPTION"_s << u"text"_s;
        QTest::newRow("line edit Text") << u"eSend"_s << u"Text"_s << u"text"_s;
        QTest::newRow("list-only combo Text") << u"cbParity"_s << u"Text"_s << u"current item"_s;
        QTest::newRow("group box Caption") << u"gbSettings"_s << u"Caption"_s << u"title"_s;
        QTest::newRow("tab page Caption") << u"tsGroup1"_s << u"Caption"_s << u"tab text"_s;
        QTest::newRow("tab page Hint") << u"tsGroup1"_s << u"Hint"_s << u"tab tool tip"_s;
        QTest::newRow("menu Caption") << u"mimFile"_s << u"Caption"_s << u"menu bar"_s;
        QTest::newRow("menu Hint") << u"mimFile"_s << u"Hint"_s << u"menu bar tool tip"_s;
        QTest::newRow("menu-bar item by its action")
            << u"mimView"_s << u"Caption"_s << u"view menu title"_s;
        QTest::newRow("action Caption") << u"aSaveData"_s << u"Caption"_s << u"text"_s;
        QTest::newRow("action Hint") << u"aSaveData"_s << u"Hint"_s << u"toolTip"_s;
        QTest::newRow("window Caption") << u"fMainTarvelTerm"_s << u"Caption"_s << u"windowTitle"_s;
    }
    void setsWhereTheUserSeesIt()
    {
        QFETCH(QString, object);
        QFETCH(QString, property);
        QFETCH(QString, where);
        FixtureWindow window;
        QObject *target = Find(window, object);
        QVERIFY(target);

        // "None" is also an item of the parity list, so a combo box can show it.
        SetPropertyByName(target, property, u"None"_s);
        QCOMPARE(Shown(window, target, where), u"None"_s);
    }

    // A tab page is a window-less widget: its caption belongs on the tab, not
    // in a title nobody sees, and the other pages' tabs stay as they were.
    void tabPageCaptionLeavesOtherTabs()
    {
        FixtureWindow window;
        auto *second = new QWidget;
        second->setObjectName(u"tsGroup2"_s);
        window.pcPresets->addTab(second, u"Druhá"_s);
        SetPropertyByName(second, u"Caption"_s, u"Second"_s);
        QCOMPARE(window.pcPresets->tabText(0), u"Skupina"_s);
        QCOMPARE(window.pcPresets->tabText(1), u"Second"_s);
    }

    void unknownPropertyThrows_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("property");

        QTest::newRow("name no object has") << u"bSend"_s << u"Foo"_s;
        QTest::newRow("Caption of a line edit") << u"eSend"_s << u"Caption"_s;
        QTest::newRow("Caption of a plain frame") << u"frPaket1"_s << u"Caption"_s;
        QTest::newRow("Text of a group box") << u"gbSettings"_s << u"Text"_s;
        QTest::newRow("Text of a menu") << u"mimFile"_s << u"Text"_s;
        QTest::newRow("Text of a window") << u"fMainTarvelTerm"_s << u"text"_s;
    }
    void unknownPropertyThrows()
    {
        QFETCH(QString, object);
        QFETCH(QString, property);
        FixtureWindow window;
        try {
            SetPropertyByName(Find(window, object), property, u"x"_s);
            QFAIL("no exception");
        } catch (const AppError &error) {
            QCOMPARE(error.message(),
                     u"Property \"%1\" not found on \"%2\""_s.arg(property, object));
        }
    }

    // Names match in any case, the nearest descendant first, and a search
    // from a frame stays inside it.
    void findsComponentsAmongDescendants()
    {
        FixtureWindow window;
        QCOMPARE(FindComponent(&window, u"CBSUM"), window.checksumBox(window.frPaket1));
        QCOMPARE(FindComponent(window.frPaket2, u"cbsum"), window.checksumBox(window.frPaket2));
        QCOMPARE(FindComponent(&window, u"bSend "), nullptr);
    }
};

QTEST_MAIN(TestPropertyByName)
#include "tst_propertybyname.moc"
