#include "core/apperror.h"
#include "core/frame97.h"
#include "ui/main/linkcontrol.h"
#include "ui/main/mainwindow.h"
#include "ui/main/messagebox.h"
#include "ui/main/terminallogview.h"
#include "ui/packet/framepaket.h"
#include "ui/packet/packeteditorattach.h"
#include "ui/packet/presetcopy.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

const QByteArray DefaultPacket = QByteArray::fromHex("2A610008010223148107AA0D");
const QString DefaultPreview = QStringLiteral("2A 61 00 08 01 02 23 14 81 07 AA 0D ");

// The real main window with the packet editor put in it.
struct EditorWindow
{
    TfMainTarvelTerm window;
    TfrPaket *editor = window.findChild<TfrPaket *>("frPaket1");
    QTableWidget *vle = editor->grid();
    QSignalSpy sent{editor, &TfrPaket::sendRequested};

    // Shown and active, so that it paints and takes keys and shortcuts.
    bool showActive()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }

    QModelIndex cell(int row, int column = TfrPaket::ValueColumn) const
    {
        return vle->model()->index(row, column);
    }
    QPoint cellCentre(int row, int column = TfrPaket::ValueColumn) const
    {
        return vle->visualRect(cell(row, column)).center();
    }
    void click(int row, int column = TfrPaket::ValueColumn)
    {
        QTest::mouseClick(vle->viewport(), Qt::LeftButton, {}, cellCentre(row, column));
    }
    // The background the grid painted, away from the cell's text.
    QColor paintedBackground(int row, int column) const
    {
        const QRect rect = vle->visualRect(cell(row, column));
        return vle->viewport()->grab().toImage().pixelColor(rect.right() - 2, rect.center().y());
    }
    bool editorOpen() const
    {
        const QList<QLineEdit *> editors = vle->findChildren<QLineEdit *>();
        return std::any_of(editors.begin(), editors.end(),
                           [](const QLineEdit *e) { return e->isVisible(); });
    }
    QByteArray lastSent() const { return sent.last().first().toByteArray(); }
    // Moving to another cell is what refreshes the preview.
    void moveTo(int row) { vle->setCurrentCell(row, TfrPaket::ValueColumn); }
};

// The preview's colours character by character: n navy, g gray, ? other;
// upper case where the character is bold.
QString previewColours(QTextEdit *preview)
{
    QString colours;
    const QString text = preview->toPlainText();
    QTextCursor cursor(preview->document());
    for (qsizetype i = 0; i < text.size(); ++i) {
        cursor.setPosition(int(i + 1));
        const QTextCharFormat format = cursor.charFormat();
        const QColor colour = format.foreground().color();
        QChar c = colour == QColor(0, 0, 128)       ? u'n'
                  : colour == QColor(128, 128, 128) ? u'g'
                                                    : u'?';
        colours += format.fontWeight() == QFont::Bold ? c.toUpper() : c;
    }
    return colours;
}

QStringList rowTexts(const TfrPaket &editor)
{
    QStringList texts;
    for (int row = 0; row < TfrPaket::RowCount; ++row)
        texts << editor.rowText(row);
    return texts;
}

} // namespace

class TestPacketEditor : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages;

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
        SetMessagePresenter([this](QWidget *, const QString &text) { m_messages << text; });
    }
    void init() { m_messages.clear(); }

    void defaultPacketAndPreview()
    {
        EditorWindow w;
        QCOMPARE(w.editor->objectName(), QString("frPaket1"));
        QCOMPARE(w.window.findChildren<QFrame *>("frPaket1").size(), 1);
        QCOMPARE(w.editor->GetPacket(), DefaultPacket);
        QCOMPARE(w.editor->rowText(TfrPaket::RowLEN), QString("{00h,08h}"));
        QCOMPARE(w.editor->rowText(TfrPaket::RowSUM), QString("{AAh}"));
        QCOMPARE(w.vle->currentIndex(), w.cell(TfrPaket::RowSDATA));
        QCOMPARE(w.editor->preview()->toPlainText(), DefaultPreview);
        // The SDATA bytes with their blanks are navy, the rest gray; all bold.
        QCOMPARE(previewColours(w.editor->preview()),
                 QString(21, u'G') + QString(9, u'N') + QString(6, u'G'));

        w.moveTo(TfrPaket::RowADR);
        QCOMPARE(previewColours(w.editor->preview()),
                 QString(12, u'G') + QString(3, u'N') + QString(21, u'G'));
    }

    void lenAndSumFollowTheRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("len");
        QTest::addColumn<QString>("sum");
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<bool>("valid");

        const auto hex = [](const char *digits) { return QByteArray::fromHex(digits); };
        QTest::newRow("empty data")
            << int(TfrPaket::RowSDATA) << ""
            << "{00h,05h}"
            << "{49h}" << hex("2A610005010223490D") << "2A 61 00 05 01 02 23 49 0D " << true;
        QTest::newRow("checksum 15 is blank-padded")
            << int(TfrPaket::RowSDATA) << "{39h}"
            << "{00h,06h}"
            << "{ Fh}" << hex("2A610006010223390F0D") << "2A 61 00 06 01 02 23 39 0F 0D " << true;
        QTest::newRow("checksum 0")
            << int(TfrPaket::RowSDATA) << "{$48}"
            << "{00h,06h}"
            << "{ 0h}" << hex("2A61000601022348000D") << "2A 61 00 06 01 02 23 48 00 0D " << true;
        QTest::newRow("300 data bytes")
            << int(TfrPaket::RowSDATA) << QString(300, u'x') << "{01h,31h}"
            << "{7Ch}" << hex("2A610131010223") + QByteArray(300, 'x') + hex("7C0D") << QString()
            << true;
        // LEN counts SDATA and five bytes, whatever ADR holds; SUM takes all.
        QTest::newRow("two-byte ADR") << int(TfrPaket::RowADR) << "{1,2}"
                                      << "{00h,08h}"
                                      << "{A8h}" << hex("2A61000801020223148107A80D")
                                      << "2A 61 00 08 01 02 02 23 14 81 07 A8 0D " << true;
        // Text that yields no bytes: nothing is recomputed, the preview
        // stays, and the packet simply lacks those bytes.
        QTest::newRow("invalid data")
            << int(TfrPaket::RowSDATA) << "{}"
            << "{00h,08h}"
            << "{AAh}" << hex("2A610008010223AA0D") << DefaultPreview << false;
        QTest::newRow("invalid ADR")
            << int(TfrPaket::RowADR) << "{}"
            << "{00h,08h}"
            << "{AAh}" << hex("2A6100080223148107AA0D") << DefaultPreview << false;
    }
    void lenAndSumFollowTheRows()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, len);
        QFETCH(QString, sum);
        QFETCH(QByteArray, packet);
        QFETCH(QString, preview);
        QFETCH(bool, valid);
        // Not shown: nothing paints, so only the refresh recomputes.
        EditorWindow w;
        w.editor->setRowText(row, text);
        w.moveTo(row == TfrPaket::RowADR ? TfrPaket::RowSDATA : TfrPaket::RowADR);
        QCOMPARE(w.editor->rowText(TfrPaket::RowLEN), len);
        QCOMPARE(w.editor->rowText(TfrPaket::RowSUM), sum);
        QCOMPARE(w.editor->GetPacket(), packet);
        if (!preview.isEmpty())
            QCOMPARE(w.editor->preview()->toPlainText(), preview);
        QCOMPARE(w.editor->RowsValid(), valid);
        // Whatever the rows yield is sent, also while a row is invalid.
        w.editor->sendButton()->click();
        QCOMPARE(w.sent.size(), 1);
        QCOMPARE(w.lastSent(), packet);
    }

    void rowColours_data()
    {
        QTest::addColumn<int>("editRow");
        QTest::addColumn<QString>("editText");
        QTest::addColumn<int>("row");
        QTest::addColumn<QColor>("key");
        QTest::addColumn<QColor>("value");

        const QColor blue = TfrPaket::ReadOnlyColour;
        const QColor red = TfrPaket::InvalidColour;
        const QColor green = TfrPaket::MatchColour;
        const QColor white(Qt::white);
        // An invalid colour stands for the grid's own colour of a value cell.
        const QColor grid;
        const int none = -1;
        QTest::newRow("PRE") << none << "" << int(TfrPaket::RowPRE) << blue << blue;
        QTest::newRow("FRM") << none << "" << int(TfrPaket::RowFRM) << blue << blue;
        QTest::newRow("CR") << none << "" << int(TfrPaket::RowCR) << blue << blue;
        QTest::newRow("LEN automatic") << none << "" << int(TfrPaket::RowLEN) << green << green;
        QTest::newRow("SUM automatic") << none << "" << int(TfrPaket::RowSUM) << green << green;
        QTest::newRow("ADR") << none << "" << int(TfrPaket::RowADR) << white << grid;
        QTest::newRow("empty ADR is valid")
            << int(TfrPaket::RowADR) << "" << int(TfrPaket::RowADR) << white << grid;
        QTest::newRow("invalid SIG")
            << int(TfrPaket::RowSIG) << "{}" << int(TfrPaket::RowSIG) << red << red;
        QTest::newRow("invalid SDATA, the current row")
            << int(TfrPaket::RowSDATA) << "{}" << int(TfrPaket::RowSDATA) << red << red;
        QTest::newRow("two-byte ADR keeps SUM right")
            << int(TfrPaket::RowADR) << "{1,2}" << int(TfrPaket::RowSUM) << green << green;
        // With the box unchecked the typed value is compared byte by byte.
        QTest::newRow("typed LEN differs")
            << int(TfrPaket::RowLEN) << "{0,9}" << int(TfrPaket::RowLEN) << red << red;
        QTest::newRow("typed LEN matches")
            << int(TfrPaket::RowLEN) << "{0,8}" << int(TfrPaket::RowLEN) << green << green;
        QTest::newRow("typed LEN matches in other notation")
            << int(TfrPaket::RowLEN) << "{$00,$08}" << int(TfrPaket::RowLEN) << green << green;
        QTest::newRow("typed SUM differs")
            << int(TfrPaket::RowSUM) << "{AAh,0}" << int(TfrPaket::RowSUM) << red << red;
        QTest::newRow("typed SUM matches")
            << int(TfrPaket::RowSUM) << "{170}" << int(TfrPaket::RowSUM) << green << green;
    }
    void rowColours()
    {
        QFETCH(int, editRow);
        QFETCH(QString, editText);
        QFETCH(int, row);
        QFETCH(QColor, key);
        QFETCH(QColor, value);
        EditorWindow w;
        QVERIFY(w.showActive());
        if (editRow == TfrPaket::RowLEN)
            w.editor->autoLenBox()->setChecked(false);
        if (editRow == TfrPaket::RowSUM)
            w.editor->autoSumBox()->setChecked(false);
        if (editRow >= 0)
            w.editor->setRowText(editRow, editText);
        if (!value.isValid())
            value = w.vle->palette().color(QPalette::Base);

        QCOMPARE(w.editor->vleDrawCell(row, TfrPaket::KeyColumn).background, key);
        QCOMPARE(w.editor->vleDrawCell(row, TfrPaket::ValueColumn).background, value);
        QCOMPARE(w.editor->vleDrawCell(row, TfrPaket::ValueColumn).text, QColor(Qt::black));
        QCOMPARE(w.paintedBackground(row, TfrPaket::KeyColumn), key);
        QCOMPARE(w.paintedBackground(row, TfrPaket::ValueColumn), value);
    }

    void currentCellIsDrawnSelected()
    {
        EditorWindow w;
        QVERIFY(w.showActive());
        const PaketCellColours current = w.editor->vleDrawCell(TfrPaket::RowSDATA, 1);
        QCOMPARE(current.text, QColor(Qt::white));
        QCOMPARE(current.background, w.vle->palette().color(QPalette::Highlight));
        QCOMPARE(w.paintedBackground(TfrPaket::RowSDATA, 1), current.background);
        QCOMPARE(w.editor->vleDrawCell(TfrPaket::RowSDATA, 0).text, QColor(Qt::black));
        QCOMPARE(w.paintedBackground(TfrPaket::RowSDATA, 0), QColor(Qt::white));
    }

    // Painting keeps automatic rows current even before any refresh.
    void paintingRecomputesAutomaticRows()
    {
        EditorWindow w;
        QVERIFY(w.showActive());
        w.editor->setRowText(TfrPaket::RowSDATA, QString());
        QTRY_COMPARE(w.editor->rowText(TfrPaket::RowLEN), QString("{00h,05h}"));
        QTRY_COMPARE(w.editor->rowText(TfrPaket::RowSUM), QString("{49h}"));
        QCOMPARE(w.editor->preview()->toPlainText(), DefaultPreview);
    }

    void readOnlyRowsNeverBecomeCurrent()
    {
        EditorWindow w;
        QVERIFY(w.showActive());
        const QModelIndex data = w.cell(TfrPaket::RowSDATA);
        for (int row : {TfrPaket::RowPRE, TfrPaket::RowFRM, TfrPaket::RowLEN, TfrPaket::RowSUM,
                        TfrPaket::RowCR}) {
            w.click(row);
            QCOMPARE(w.vle->currentIndex(), data);
            QTest::mouseDClick(w.vle->viewport(), Qt::LeftButton, {}, w.cellCentre(row));
            QCOMPARE(w.vle->currentIndex(), data);
            QVERIFY(!w.editorOpen());
        }
        w.click(TfrPaket::RowADR, TfrPaket::KeyColumn);
        QCOMPARE(w.vle->currentIndex(), data);
        // The keyboard cannot step onto them either.
        QTest::keyClick(w.vle, Qt::Key_Down);
        QCOMPARE(w.vle->currentIndex(), data);
        w.click(TfrPaket::RowADR);
        QCOMPARE(w.vle->currentIndex(), w.cell(TfrPaket::RowADR));
        QTest::keyClick(w.vle, Qt::Key_Up);
        QCOMPARE(w.vle->currentIndex(), w.cell(TfrPaket::RowADR));
        // A click on the cell that is already current edits it.
        QVERIFY(!w.editorOpen());
        w.click(TfrPaket::RowADR);
        QVERIFY(w.editorOpen());
    }

    void checkingAutoLeavesTheRow_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("movesTo");
        QTest::newRow("LEN") << "cbLEN" << int(TfrPaket::RowLEN) << int(TfrPaket::RowADR);
        QTest::newRow("SUM") << "cbSUM" << int(TfrPaket::RowSUM) << int(TfrPaket::RowSDATA);
    }
    void checkingAutoLeavesTheRow()
    {
        QFETCH(QString, box);
        QFETCH(int, row);
        QFETCH(int, movesTo);
        EditorWindow w;
        QVERIFY(w.showActive());
        auto *check = w.editor->findChild<QCheckBox *>(box);
        check->click();
        QVERIFY(!w.editor->isRowReadOnly(row));
        w.click(row);
        QCOMPARE(w.vle->currentIndex(), w.cell(row));
        w.editor->setRowText(row, "{7}");
        check->click();
        QCOMPARE(w.vle->currentIndex(), w.cell(movesTo));
        QVERIFY(w.editor->isRowReadOnly(row));
        QCOMPARE(w.editor->GetPacket(), DefaultPacket);
    }

    void enterInTheGridSendsOnce_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("editing");
        QTest::newRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << false;
        QTest::newRow("keypad Enter")
            << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << false;
        QTest::newRow("Shift+Return")
            << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
        // Ctrl+Return is also the menu's shortcut: still one send.
        QTest::newRow("Ctrl+Return")
            << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
        QTest::newRow("Return while editing")
            << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
        QTest::newRow("Ctrl+Return while editing")
            << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    }
    void enterInTheGridSendsOnce()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, editing);
        EditorWindow w;
        QVERIFY(w.showActive());
        w.vle->setFocus();
        QTRY_VERIFY(w.vle->hasFocus());
        QByteArray expected = DefaultPacket;
        QWidget *target = w.vle;
        if (editing) {
            // Typing replaces the cell's text; the rows take each key at once.
            QTest::keyClick(w.vle, Qt::Key_F2);
            target = QApplication::focusWidget();
            QVERIFY(qobject_cast<QLineEdit *>(target));
            qobject_cast<QLineEdit *>(target)->selectAll();
            QTest::keyClicks(target, "{1}");
            QCOMPARE(w.editor->rowText(TfrPaket::RowSDATA), QString("{1}"));
            expected = QByteArray::fromHex("2A61000601022301470D");
        }
        QTest::keyClick(target, Qt::Key(key), modifiers);
        QCOMPARE(w.sent.size(), 1);
        QCOMPARE(w.lastSent(), expected);
        QCOMPARE(w.editor->preview()->toPlainText().remove(u' '),
                 QString::fromLatin1(expected.toHex().toUpper()));
        QApplication::processEvents();
        QCOMPARE(w.window.logView()->rowCount(), quint64(1));
        QCOMPARE(w.window.logView()->row(0).data, QByteArrayView(expected));
        QVERIFY(w.window.logView()->row(0).valid);
        // Enter itself ends the edit; the shortcut leaves the editor open.
        QCOMPARE(w.editorOpen(), editing && modifiers.testFlag(Qt::ControlModifier));
    }

    void packetMenuAndShortcuts()
    {
        EditorWindow w;
        QVERIFY(w.showActive());
        QStringList menus;
        for (QAction *item : w.window.menuBar()->actions()) {
            if (item->menu())
                menus << item->menu()->objectName();
        }
        QVERIFY(menus.indexOf("mimPacket") == menus.indexOf("mimFile") + 1);
        QVERIFY(menus.indexOf("mimPacket") < menus.indexOf("mimView"));
        auto *mimPacket = w.window.findChild<QMenu *>("mimPacket");
        QCOMPARE(mimPacket->title(), QString("Paket"));
        QStringList items;
        for (QAction *item : mimPacket->actions())
            items << item->objectName() + u' ' + item->text() + u' ' +
                         item->shortcut().toString(QKeySequence::PortableText);
        QCOMPARE(items, QStringList({"mimSave Uložit Ctrl+U", "mimSend Poslat Ctrl+Return"}));

        // The save button shows the preset action, and Ctrl+U reaches it.
        auto *aSetPreset = w.window.findChild<QAction *>("aSetPreset");
        QVERIFY(aSetPreset);
        QCOMPARE(w.editor->saveButton()->text(), QString("Do předvolby"));
        QSignalSpy saved(aSetPreset, &QAction::triggered);
        w.vle->setFocus();
        QTRY_VERIFY(w.vle->hasFocus());
        // The save dialog opens; cancelled, it stores nothing.
        QString dialogShown;
        QTimer::singleShot(0, &w.window, [&dialogShown] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                dialogShown = dialog->objectName();
                dialog->close();
            }
        });
        QTest::keyClick(w.vle, Qt::Key_U, Qt::ControlModifier);
        QCOMPARE(saved.size(), 1);
        QCOMPARE(dialogShown, QString("fSavePacket"));
        QVERIFY(w.showActive());
        QCOMPARE(w.sent.size(), 0);
        QVERIFY(!w.editorOpen());

        auto *sendLine = w.window.findChild<QLineEdit *>("Edit1");
        sendLine->setFocus();
        QTRY_VERIFY(sendLine->hasFocus());

        // Ctrl+Enter sends the editor's packet from the send line too, and
        // sends nothing of the line.
        sendLine->setText("AT");
        QTest::keyClick(sendLine, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(sendLine, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(w.sent.size(), 2);
        QCOMPARE(w.lastSent(), DefaultPacket);
        QCOMPARE(w.window.logView()->rowCount(), quint64(2));
        QCOMPARE(saved.size(), 1);
    }

    // Beyond what LEN and SUM hold the row turns red with a hint, nothing
    // wrapped is written, and a send that relies on it is refused.
    void lenAndSumOverflow_data()
    {
        QTest::addColumn<int>("dataBytes");
        QTest::addColumn<bool>("autoSum");
        QTest::addColumn<QString>("len");
        QTest::addColumn<bool>("lenFault");
        QTest::addColumn<bool>("sumFault");
        QTest::addColumn<bool>("sends");
        // 7 bytes precede SDATA, so 65528 data bytes are the most SUM takes.
        QTest::newRow("largest packet") << 65528 << true << "{FFh,FDh}" << false << false << true;
        QTest::newRow("one byte too many for SUM")
            << 65529 << true << "{FFh,FEh}" << false << true << false;
        QTest::newRow("largest LEN, SUM too long")
            << 65530 << true << "{FFh,FFh}" << false << true << false;
        QTest::newRow("LEN would wrap to 0")
            << 65531 << true << "{00h,08h}" << true << true << false;
        // SUM typed by the user: the packet goes as the rows say.
        QTest::newRow("typed SUM") << 65529 << false << "{FFh,FEh}" << false << true << true;
    }
    void lenAndSumOverflow()
    {
        QFETCH(int, dataBytes);
        QFETCH(bool, autoSum);
        QFETCH(QString, len);
        QFETCH(bool, lenFault);
        QFETCH(bool, sumFault);
        QFETCH(bool, sends);
        EditorWindow w;
        QVERIFY(w.showActive());
        w.editor->autoSumBox()->setChecked(autoSum);
        const QString sumBefore = w.editor->rowText(TfrPaket::RowSUM);
        w.editor->setRowText(TfrPaket::RowSDATA, QString(dataBytes, u'x'));
        w.moveTo(TfrPaket::RowADR);
        QApplication::processEvents();

        QCOMPARE(w.editor->rowText(TfrPaket::RowLEN), len);
        if (sumFault)
            QCOMPARE(w.editor->rowText(TfrPaket::RowSUM), sumBefore);
        const auto check = [&](int row, bool fault) {
            const QColor background = w.editor->vleDrawCell(row, 1).background;
            QCOMPARE(background == TfrPaket::InvalidColour, fault);
            QCOMPARE(w.editor->RowHint(row).isEmpty(), !fault);
        };
        check(TfrPaket::RowLEN, lenFault);
        check(TfrPaket::RowSUM, sumFault);

        w.editor->sendButton()->click();
        QCOMPARE(w.sent.size(), sends ? 1 : 0);
        QCOMPARE(m_messages.size(), sends ? 0 : 1);
        if (!sends) {
            QVERIFY(m_messages.first().contains(w.editor->RowHint(TfrPaket::RowSUM)));
            QCOMPARE(m_messages.first().contains(u"LEN"), lenFault);
        } else if (autoSum) {
            QCOMPARE(w.lastSent().size(), dataBytes + 9);
            QCOMPARE(ValidateFrame97(w.lastSent()), quint8(Frame97Ok));
        }
    }

    void rightClickOnThePreviewCopiesIt()
    {
        EditorWindow w;
        QVERIFY(w.showActive());
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText("before");
        QWidget *preview = w.editor->preview()->viewport();
        QTest::mouseClick(preview, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clipboard->text(), QString("before"));
        QTest::mouseClick(preview, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(clipboard->text(), DefaultPreview);
    }

    void copyingAPresetFillsTheRows_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("default packet")
            << "2A610008010223148107AA0D"
            << QStringList{"*",     "{$61}",         "{$00,$08}", "{$01}", "{$02}",
                           "{$23}", "{$14,$81,$07}", "{$AA}",     "{$0D}"};
        QTest::newRow("no INST: checksum in INST, CR in SUM")
            << "2A61000401026C0D"
            << QStringList{"*", "{$61}", "{$00,$04}", "{$01}", "{$02}", "{$6C}", "", "{$0D}", ""};
        QTest::newRow("seven bytes")
            << "2A610008010223"
            << QStringList{"*", "{$61}", "{$00,$08}", "{$01}", "{$02}", "{$23}", "", "", ""};
        QTest::newRow("nine bytes, no data")
            << "2A610005010223490D" << QStringList{"*",     "{$61}", "{$00,$05}", "{$01}", "{$02}",
                                                   "{$23}", "",      "{$49}",     "{$0D}"};
        QTest::newRow("plain text")
            << "48454C4C4F0D"
            << QStringList{"H", "{$45}", "{$4C,$4C}", "{$4F}", "{$0D}", "", "", "", ""};
        QTest::newRow("one character") << "2" << QStringList(9, QString());
        QTest::newRow("lower-case digits, prefix from the code page")
            << "8a61" << QStringList{"Š", "{$61}", "", "", "", "", "", "", ""};
    }
    void copyingAPresetFillsTheRows()
    {
        QFETCH(QString, data);
        QFETCH(QStringList, rows);
        EditorWindow w;
        // Every row is written, read-only or not.
        w.editor->autoLenBox()->setChecked(false);
        w.editor->autoSumBox()->setChecked(false);
        LoadPresetIntoEditor(*w.editor, data);
        QCOMPARE(rowTexts(*w.editor), rows);
        if (data.size() >= 2)
            QCOMPARE(w.editor->GetPacket().left(1), QByteArray::fromHex(data.left(2).toLatin1()));
    }

    void copiedPresetMeetsAutomaticRows()
    {
        EditorWindow w;
        // A stale LEN and SUM in the preset give way to the computed ones.
        LoadPresetIntoEditor(*w.editor, u"2A6100FF010223148107000D");
        QCOMPARE(w.editor->rowText(TfrPaket::RowLEN), QString("{$00,$FF}"));
        w.moveTo(TfrPaket::RowADR);
        QCOMPARE(w.editor->rowText(TfrPaket::RowLEN), QString("{00h,08h}"));
        QCOMPARE(w.editor->rowText(TfrPaket::RowSUM), QString("{AAh}"));
        QCOMPARE(w.editor->GetPacket(), DefaultPacket);
    }

    void presetThatIsNotHexEmptiesTheRows()
    {
        EditorWindow w;
        QVERIFY_THROWS_EXCEPTION(ConversionError, LoadPresetIntoEditor(*w.editor, u"G1610008"));
        QCOMPARE(rowTexts(*w.editor), QStringList(9, QString()));
    }

    // The editor's packet reaches a real TCP peer, from the button and from
    // the menu, with the force flag off.
    void sendsThroughTheLink()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        EditorWindow w;
        pugi::xml_node node = w.window.config().root().append_child("connection");
        node.append_attribute("type") = "TCP";
        node.append_attribute("ip") = "127.0.0.1";
        node.append_attribute("port") = server.serverPort();
        w.window.link().OpenConnection(node);
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *peer = server.nextPendingConnection();
        QTRY_VERIFY(w.window.link().isLinkOpen());

        w.editor->sendButton()->click();
        QTRY_COMPARE(peer->bytesAvailable(), DefaultPacket.size());
        QCOMPARE(peer->readAll(), DefaultPacket);

        // An incomplete frame stays pending in the log: no forced datagram.
        w.editor->setRowText(TfrPaket::RowCR, QString());
        w.editor->setRowText(TfrPaket::RowADR, "{5}");
        w.window.findChild<QAction *>("mimSend")->trigger();
        const QByteArray second = QByteArray::fromHex("2A610008050223148107A6");
        QTRY_COMPARE(peer->bytesAvailable(), second.size());
        QCOMPARE(peer->readAll(), second);
        QCOMPARE(w.window.logView()->rowCount(), quint64(1));
    }
};

QTEST_MAIN(TestPacketEditor)
#include "tst_packeteditor.moc"
