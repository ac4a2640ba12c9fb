#include "core/beep.h"
#include "link/intedit.h"
#include "ui/main/messagebox.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A shown, active window with the edit and a second control to move the
// focus to.
struct Window
{
    QWidget window;
    TIntEdit *edit = new TIntEdit(&window);
    QLineEdit *other = new QLineEdit(&window);

    Window()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    bool focusEdit()
    {
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        edit->setFocus(Qt::OtherFocusReason);
        return edit->hasFocus();
    }
    // Types the text: digits and signs by key, anything else by pasting.
    void enter(const QString &text)
    {
        edit->clear();
        bool typeable = true;
        for (QChar c : text)
            typeable = typeable && ((c >= u'0' && c <= u'9') || c == u'-');
        if (typeable) {
            QTest::keyClicks(edit, text);
        } else {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        }
    }
};

} // namespace

class TestIntEdit : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.clear();
        m_beeps = 0;
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
        SetBeepHandler([this] { ++m_beeps; });
    }
    void cleanup()
    {
        SetMessagePresenter({});
        SetBeepHandler({});
    }

    void createdWithDefaults()
    {
        TIntEdit edit;
        QCOMPARE(edit.text(), QStringLiteral("0"));
        QCOMPARE(edit.MinValue(), 0);
        QCOMPARE(edit.MaxValue(), 100);
        QCOMPARE(edit.Increment(), 1);
        QCOMPARE(edit.PageMult(), 10);
        QCOMPARE(edit.ShowName(), QStringLiteral("Hodnota"));
        QVERIFY(edit.AutoCorrect() && edit.EditorEnabled() && edit.UpDownEnable());
        QVERIFY(!edit.FailureBeep() && !edit.Colored());
    }

    // The port edit of the connection dialog: 0 to 65536, corrected.
    void leavingCorrectsTheText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("in range") << "8080"
                                  << "8080";
        QTest::newRow("above the maximum") << "70000"
                                           << "65536";
        QTest::newRow("far above int") << "99999999999"
                                       << "65536";
        QTest::newRow("below the minimum") << "-5"
                                           << "0";
        QTest::newRow("empty") << ""
                               << "0";
        QTest::newRow("minus only") << "-"
                                    << "0";
        QTest::newRow("letters after digits") << "12a"
                                              << "12";
        QTest::newRow("hex with dollar") << "$1F"
                                         << "31";
        QTest::newRow("hex with 0x") << "0x10"
                                     << "16";
        QTest::newRow("leading blanks") << "  42"
                                        << "42";
        QTest::newRow("trailing blank") << "42 "
                                        << "42";
    }
    void leavingCorrectsTheText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Window w;
        w.edit->SetMaxValue(65536);
        QVERIFY(w.focusEdit());
        w.enter(typed);
        QCOMPARE(w.edit->text(), typed);

        QTest::keyClick(w.edit, Qt::Key_Tab);
        QVERIFY(w.other->hasFocus());
        QCOMPARE(w.edit->text(), result);
        QCOMPARE(w.edit->Value(), result.toInt());
        QVERIFY(m_messages.isEmpty());
    }

    void keyFilter_data()
    {
        QTest::addColumn<QTestEventList>("keys");
        QTest::addColumn<bool>("editorEnabled");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("result");

        QTestEventList typing;
        typing.addKeyClicks(QStringLiteral("1a 2+b-3.,"));
        typing.addKeyClick(Qt::Key_Backspace);
        typing.addKeyClicks(QStringLiteral("4"));
        QTest::newRow("only digits and minus") << typing << true << QString() << "12-4";

        QTestEventList selectAll;
        selectAll.addKeyClicks(QStringLiteral("12"));
        selectAll.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        selectAll.addKeyClicks(QStringLiteral("3"));
        QTest::newRow("ctrl+a dropped") << selectAll << true << QString() << "123";

        QTestEventList cutByCtrlX;
        cutByCtrlX.addKeyClicks(QStringLiteral("55"));
        cutByCtrlX.addKeyClick(Qt::Key_Home, Qt::ShiftModifier);
        cutByCtrlX.addKeyClick(Qt::Key_X, Qt::ControlModifier);
        QTest::newRow("ctrl+x dropped") << cutByCtrlX << true << QString() << "55";

        QTestEventList cutByShiftDelete;
        cutByShiftDelete.addKeyClicks(QStringLiteral("55"));
        cutByShiftDelete.addKeyClick(Qt::Key_Home, Qt::ShiftModifier);
        cutByShiftDelete.addKeyClick(Qt::Key_Delete, Qt::ShiftModifier);
        QTest::newRow("cut") << cutByShiftDelete << true << QString() << "";
        QTest::newRow("cut refused") << cutByShiftDelete << false << QString() << "55";

        QTestEventList paste;
        paste.addKeyClicks(QStringLiteral("1"));
        paste.addKeyClick(Qt::Key_V, Qt::ControlModifier);
        paste.addKeyClick(Qt::Key_Insert, Qt::ShiftModifier);
        QTest::newRow("paste unfiltered") << paste << true << "x9"
                                          << "1x9x9";
        QTest::newRow("paste refused") << paste << false << "x9"
                                       << "1";

        QTestEventList copy;
        copy.addKeyClicks(QStringLiteral("77"));
        copy.addKeyClick(Qt::Key_Home, Qt::ShiftModifier);
        copy.addKeyClick(Qt::Key_C, Qt::ControlModifier);
        copy.addKeyClick(Qt::Key_End);
        copy.addKeyClick(Qt::Key_V, Qt::ControlModifier);
        QTest::newRow("copy and paste") << copy << true << QString() << "7777";
    }
    void keyFilter()
    {
        QFETCH(QTestEventList, keys);
        QFETCH(bool, editorEnabled);
        QFETCH(QString, clipboard);
        QFETCH(QString, result);
        QGuiApplication::clipboard()->setText(clipboard);
        TIntEdit edit;
        edit.SetEditorEnabled(editorEnabled);
        edit.clear();
        keys.simulate(&edit);
        QCOMPARE(edit.text(), result);
    }

    void steps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<int>("result");
        // Range -50 to 100, Increment 2, PageMult 5.
        QTest::newRow("up") << "0" << int(Qt::Key_Up) << false << 2;
        QTest::newRow("down") << "0" << int(Qt::Key_Down) << false << -2;
        QTest::newRow("ctrl+up") << "0" << int(Qt::Key_Up) << true << 20;
        QTest::newRow("page up") << "0" << int(Qt::Key_PageUp) << false << 10;
        QTest::newRow("ctrl+page up") << "-50" << int(Qt::Key_PageUp) << true << 50;
        QTest::newRow("page down stops at min") << "-45" << int(Qt::Key_PageDown) << false << -50;
        QTest::newRow("down at min stays") << "-50" << int(Qt::Key_Down) << false << -50;
        QTest::newRow("up at max stays") << "100" << int(Qt::Key_Up) << false << 100;
        QTest::newRow("typed text is the start") << "7" << int(Qt::Key_Up) << false << 9;
        QTest::newRow("typed text out of range") << "300" << int(Qt::Key_Down) << false << 98;
        QTest::newRow("no number: stored value") << "x" << int(Qt::Key_Up) << false << 35;
    }
    void steps()
    {
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(bool, ctrl);
        QFETCH(int, result);
        TIntEdit edit;
        edit.SetMinValue(-50);
        edit.SetIncrement(2);
        edit.SetPageMult(5);
        edit.SetValue(33);
        edit.setText(text);
        QTest::keyClick(&edit, Qt::Key(key), ctrl ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(edit.text(), QString::number(result));
    }

    void arrowsStepAndTakeFocus()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.other->setFocus();
        w.edit->SetValue(5);
        QTest::mouseClick(w.edit->arrows()->upButton(), Qt::LeftButton);
        QCOMPARE(w.edit->Value(), 6);
        QVERIFY(w.edit->hasFocus());
        QTest::mouseClick(w.edit->arrows()->downButton(), Qt::LeftButton);
        QTest::mouseClick(w.edit->arrows()->downButton(), Qt::LeftButton);
        QCOMPARE(w.edit->Value(), 4);

        // The arrows lie inside the edit, at its right edge.
        const QRect arrows = w.edit->arrows()->geometry();
        QVERIFY(w.edit->rect().contains(arrows));
        QVERIFY(arrows.right() >= w.edit->width() - 3);
    }

    void rangeSetters()
    {
        TIntEdit edit;
        edit.SetValue(250);
        QCOMPARE(edit.text(), QStringLiteral("100"));
        edit.SetValue(-3);
        QCOMPARE(edit.text(), QStringLiteral("0"));

        edit.SetMaxValue(60);
        edit.SetValue(50);
        edit.SetMinValue(80);
        QCOMPARE(edit.MinValue(), 60);
        QCOMPARE(edit.Value(), 60);
        edit.SetMaxValue(10);
        QCOMPARE(edit.MaxValue(), 60);

        edit.SetMinValue(0);
        edit.SetIncrement(0);
        edit.SetIncrement(-4);
        QCOMPARE(edit.Increment(), 1);

        // Reading the value reads the text, not the stored value.
        edit.setText(QStringLiteral("17"));
        QCOMPARE(edit.Value(), 17);
        edit.setText(QStringLiteral("17x"));
        QCOMPARE(edit.Value(), 0);
    }

    void rangeMessageKeepsTheFocus()
    {
        Window w;
        w.edit->SetAutoCorrect(false);
        w.edit->SetFailureBeep(true);
        w.edit->SetMinValue(1);
        w.edit->SetMaxValue(10);
        QVERIFY(w.focusEdit());
        w.enter(QStringLiteral("20"));

        QTest::keyClick(w.edit, Qt::Key_Tab);
        QCOMPARE(m_messages, QStringList{QStringLiteral("Hodnota musí být v rozmezí od 1 do 10!")});
        QCOMPARE(m_beeps, 1);
        QVERIFY(w.edit->hasFocus());
        QCOMPARE(w.edit->selectedText(), QStringLiteral("20"));
        QCOMPARE(w.edit->text(), QStringLiteral("20"));

        // A value in range lets the focus go.
        w.enter(QStringLiteral("7"));
        QTest::keyClick(w.edit, Qt::Key_Tab);
        QVERIFY(w.other->hasFocus());
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_beeps, 1);
    }

    void colouredShowsTheSign_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("positive navy") << int(Qt::Key_Up) << QColor(0, 0, 128);
        QTest::newRow("negative maroon") << int(Qt::Key_Down) << QColor(128, 0, 0);
    }
    void colouredShowsTheSign()
    {
        QFETCH(int, key);
        QFETCH(QColor, colour);
        TIntEdit edit;
        edit.SetMinValue(-10);
        edit.SetColored(true);
        QTest::keyClick(&edit, Qt::Key(key));
        QCOMPARE(edit.palette().color(QPalette::Active, QPalette::Text), colour);
        edit.SetValue(0);
        QCOMPARE(edit.palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
        QTest::keyClick(&edit, Qt::Key(key));
        edit.SetColored(false);
        QCOMPARE(edit.palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    }

    void enterChecksWithoutPressingTheDefaultButton()
    {
        QDialog dialog;
        auto *edit = new TIntEdit(&dialog);
        auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(edit);
        layout->addWidget(ok);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("999"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QStringLiteral("100"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

private:
    QStringList m_messages;
    int m_beeps = 0;
};

QTEST_MAIN(TestIntEdit)
#include "tst_intedit.moc"
