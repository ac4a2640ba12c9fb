#include "presetwindow.h"

#include "presets/savepacket.h"
#include "ui/main/linkcontrol.h"
#include "ui/main/messagebox.h"
#include "ui/main/terminallogview.h"
#include "ui/packet/framepaket.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QByteArray DefaultPacketHex = "2A610008010223148107AA0D";

// Groups sharing a caption, an empty group, elements of other names at
// both levels, names in other letter cases and a group without a caption.
const QByteArray MixedPresets = R"(<presets>
  <note caption="A"/>
  <GROUP caption="A"><Preset caption="one" data="01"/><comment/></GROUP>
  <group caption="Empty"/>
  <group caption="B"><preset caption="two" data="02"/></group>
  <group caption="A"><preset caption="three" data="03"/></group>
  <group><preset data="04"/></group>
</presets>)";

// Runs `act` on the save dialog as soon as it is open and modal.
void onSaveDialog(const std::function<void(TfSavePacket &)> &act)
{
    QTimer::singleShot(0, qApp, [act] {
        if (auto *dialog = qobject_cast<TfSavePacket *>(QApplication::activeModalWidget()))
            act(*dialog);
    });
}

void pressOn(QWidget *control, Qt::MouseButton button = Qt::RightButton, QPoint at = {})
{
    QTest::mousePress(control, button, {}, at.isNull() ? control->rect().center() : at);
    QTest::mouseRelease(control, button, {}, at.isNull() ? control->rect().center() : at);
}

// A TCP peer on 127.0.0.1 that the window is connected to.
struct LinkedPeer
{
    QTcpServer server;
    QTcpSocket *socket = nullptr;

    bool connect(TfMainTarvelTerm &window)
    {
        if (!server.listen(QHostAddress::LocalHost))
            return false;
        pugi::xml_node node = window.config().root().append_child("connection");
        node.append_attribute("type") = "TCP";
        node.append_attribute("ip") = "127.0.0.1";
        node.append_attribute("port") = server.serverPort();
        window.link().OpenConnection(node);
        if (!QTest::qWaitFor([this] { return server.hasPendingConnections(); }))
            return false;
        socket = server.nextPendingConnection();
        return QTest::qWaitFor([&window] { return window.link().isLinkOpen(); });
    }
};

} // namespace

// The preset bar of the real main window, built from config.xml in an
// empty working folder, and saving presets from the packet editor.
class TestPresetBar : public QObject
{
    Q_OBJECT

    PresetTestFolder m_folder;
    QStringList &m_messages = m_folder.messages;

private slots:
    void initTestCase() { m_folder.captureMessages(); }
    void init() { m_folder.reset(); }

    void loadingBuildsOneTabPerCaption()
    {
        QVERIFY(WriteConfigWithPresets(MixedPresets));
        PresetWindow w;
        QVERIFY(w.show());
        QCOMPARE(w.listing(), u"A[one,three] B[two] []"_s);

        // Buttons 25 pixels high in one row, each as wide as its caption
        // plus 10 and 5 pixels after the one before.
        const QFontMetrics metrics = w.window.fontMetrics();
        const QPushButton *one = w.button(0, 0);
        const QPushButton *three = w.button(0, 1);
        QCOMPARE(one->geometry(), QRect(0, 0, metrics.horizontalAdvance(u"one"_s) + 10, 25));
        QCOMPARE(three->geometry(), QRect(one->geometry().right() + 6, 0,
                                          metrics.horizontalAdvance(u"three"_s) + 10, 25));
        QCOMPARE(w.button(2, 0)->width(), 10);
        QVERIFY(m_messages.isEmpty());
    }

    void removingAButtonClosesTheGap()
    {
        QVERIFY(WriteConfigWithPresets(R"(<presets><group caption="A">
            <preset caption="first" data="01"/><preset caption="second" data="02"/>
            <preset caption="third" data="03"/></group></presets>)"));
        PresetWindow w;
        QVERIFY(w.show());
        QPushButton *first = w.button(0, 0);
        pressOn(w.button(0, 1));
        w.bar.miRemoveClick();

        QCOMPARE(w.listing(), u"A[first,third]"_s);
        QCOMPARE(w.button(0, 1)->x(), first->x() + first->width() + 5);
        QCOMPARE(PresetsOnDisk(), u"A[first,third]"_s);
        QVERIFY(!w.bar.clickedControl());

        // The remaining buttons still send their own presets.
        pressOn(w.button(0, 0));
        w.bar.miRemoveClick();
        pressOn(w.button(0, 0));
        w.bar.miRemoveClick();
        QCOMPARE(w.listing(), u"A[]"_s);
        QCOMPARE(PresetsOnDisk(), u"A[]"_s);
    }

    // Only the first group of the caption leaves the file; the others come
    // back at the next rebuild.
    void removingATabRemovesItsFirstGroup()
    {
        QVERIFY(WriteConfigWithPresets(MixedPresets));
        PresetWindow w;
        QVERIFY(w.show());
        QWidget *sheetA = w.bar.sheet(0);
        pressOn(sheetA, Qt::RightButton, QPoint(sheetA->width() - 2, 2));
        QCOMPARE(w.bar.clickedControl(), sheetA);
        w.bar.miRemoveClick();

        QCOMPARE(w.listing(), u"B[two] []"_s);
        QCOMPARE(PresetsOnDisk(), u"<note> Empty[] B[two] A[three] []"_s);
        w.bar.LoadPresets();
        QCOMPARE(w.listing(), u"B[two] A[three] []"_s);
    }

    void popupOffersSendingOnlyOnAButton()
    {
        QVERIFY(WriteConfigWithPresets(MixedPresets));
        PresetWindow w;
        QVERIFY(w.show());
        QMenu *menu = w.bar.popupMenu();
        const auto visibleItems = [menu] {
            QStringList names;
            for (const QAction *item : menu->actions()) {
                if (item->isVisible() && !item->isSeparator())
                    names << item->objectName();
            }
            return names.join(u',');
        };
        QWidget *sheet = w.bar.sheet(0);
        pressOn(sheet, Qt::RightButton, QPoint(sheet->width() - 2, 2));
        menu->popup(QPoint());
        QCOMPARE(visibleItems(), u"miRemove,miConfigSheets"_s);
        menu->hide();

        pressOn(w.button(0, 1));
        QCOMPARE(w.bar.clickedControl(), w.button(0, 1));
        menu->popup(QPoint());
        QCOMPARE(visibleItems(), u"miSend,miFrameCopy,miRemove,miConfigSheets"_s);
        QCOMPARE(menu->defaultAction()->objectName(), u"miSend"_s);
        menu->hide();
    }

    // A click sends the preset's bytes through the link; data that is no
    // hex text is reported and nothing at all goes out.
    void buttonsSendThroughTheLink()
    {
        QVERIFY(WriteConfigWithPresets("<presets><group caption=\"A\">"
                                       "<preset caption=\"frame\" data=\"" +
                                       DefaultPacketHex +
                                       "\"/><preset caption=\"bad\" data=\"0102ZZ03\"/>"
                                       "<preset caption=\"odd\" data=\"0D0\"/></group></presets>"));
        PresetWindow w;
        QVERIFY(w.show());
        LinkedPeer peer;
        QVERIFY(peer.connect(w.window));

        w.button(0, 1)->click();
        QCOMPARE(m_messages, QStringList{u"'$ZZ' is not a valid integer value"_s});
        w.button(0, 0)->click();
        QTRY_COMPARE(peer.socket->bytesAvailable(), qint64(12));
        QCOMPARE(peer.socket->readAll().toHex().toUpper(), DefaultPacketHex);
        QCOMPARE(w.window.logView()->rowCount(), 1u);

        // The pop-up's send acts on the button pressed last.
        pressOn(w.button(0, 2));
        w.bar.miSendClick();
        QTRY_VERIFY(peer.socket->bytesAvailable() > 0);
        QCOMPARE(peer.socket->readAll(), QByteArray("\r"));
    }

    void copyingIntoTheEditor()
    {
        QVERIFY(WriteConfigWithPresets("<presets><group caption=\"A\"><preset caption=\"p\" "
                                       "data=\"" +
                                       DefaultPacketHex + "\"/></group></presets>"));
        PresetWindow w;
        QVERIFY(w.show());
        auto *editor = w.window.findChild<TfrPaket *>(u"frPaket1"_s);
        editor->setRowText(TfrPaket::RowSDATA, u"{$55}"_s);

        // Pressed on the tab's empty area: nothing is copied.
        QWidget *sheet = w.bar.sheet(0);
        pressOn(sheet, Qt::RightButton, QPoint(sheet->width() - 2, 2));
        w.bar.miFrameCopyClick();
        QCOMPARE(editor->rowText(TfrPaket::RowSDATA), u"{$55}"_s);

        pressOn(w.button(0, 0));
        w.bar.miFrameCopyClick();
        QCOMPARE(editor->rowText(TfrPaket::RowPRE), u"*"_s);
        QCOMPARE(editor->rowText(TfrPaket::RowSDATA), u"{$14,$81,$07}"_s);
        QCOMPARE(editor->GetPacket().toHex().toUpper(), DefaultPacketHex);
    }

    // Without a config.xml at start, the first save creates the subtree,
    // the group and its tab; a second save of the same name adds a second
    // button.
    void savingTheEditorsPacket()
    {
        PresetWindow w;
        QVERIFY(w.show());
        QString initialName;
        QStringList offered{u"not filled"_s};
        onSaveDialog([&](TfSavePacket &dialog) {
            initialName = dialog.name();
            offered.clear();
            for (int i = 0; i < dialog.groupBox()->count(); ++i)
                offered << dialog.groupBox()->itemText(i);
            dialog.groupBox()->setEditText(u"A"_s);
            dialog.okButton()->click();
        });
        w.bar.aSetPresetExecute();
        QCOMPARE(initialName, u"předvolba"_s);
        QCOMPARE(offered, QStringList());
        QCOMPARE(w.listing(), u"A[předvolba]"_s);

        onSaveDialog([](TfSavePacket &dialog) {
            dialog.groupBox()->setEditText(u"A"_s);
            dialog.okButton()->click();
        });
        w.bar.aSetPresetExecute();
        QCOMPARE(w.listing(), u"A[předvolba,předvolba]"_s);
        QCOMPARE(PresetsOnDisk(), u"A[předvolba,předvolba]"_s);

        pugi::xml_document document;
        QVERIFY(document.load_file("config.xml"));
        const pugi::xml_node preset =
            document.document_element().child("presets").child("group").child("preset");
        QCOMPARE(QByteArray(preset.attribute("data").value()), DefaultPacketHex);
        QVERIFY(m_messages.isEmpty());
    }

    // OK is refused while a field is empty, with the field's message; Cancel
    // stores nothing but config.xml is written all the same.
    void saveDialogChecksAndCancel()
    {
        QVERIFY(WriteConfigWithPresets(
            R"(<presets><group caption="B"><preset caption="b" data="01"/></group>)"
            R"(<group caption="A"><preset caption="a" data="02"/></group></presets>)"));
        PresetWindow w;
        QVERIFY(w.show());
        QFile::remove(u"config.xml"_s);
        QStringList offered;
        QList<bool> stayedOpen;
        onSaveDialog([&](TfSavePacket &dialog) {
            for (int i = 0; i < dialog.groupBox()->count(); ++i)
                offered << dialog.groupBox()->itemText(i);
            dialog.nameEdit()->clear();
            dialog.groupBox()->setEditText(u"A"_s);
            dialog.okButton()->click();
            stayedOpen << dialog.isVisible();
            dialog.nameEdit()->setText(u"x"_s);
            dialog.groupBox()->setEditText(QString());
            dialog.okButton()->click();
            stayedOpen << dialog.isVisible();
            dialog.cancelButton()->click();
        });
        w.bar.aSetPresetExecute();
        QCOMPARE(offered, (QStringList{u"B"_s, u"A"_s}));
        QCOMPARE(stayedOpen, (QList<bool>{true, true}));
        QCOMPARE(m_messages, (QStringList{u"Nebyl zadán popisek předvolby!"_s,
                                          u"Nebyl zadán název skupiny!"_s}));
        QCOMPARE(w.listing(), u"B[b] A[a]"_s);
        QCOMPARE(PresetsOnDisk(), u"B[b] A[a]"_s);
    }

    // A packet whose automatic LEN cannot count its data is not stored
    // with a stale LEN.
    void packetTooLongIsNotSaved()
    {
        PresetWindow w;
        QVERIFY(w.show());
        auto *editor = w.window.findChild<TfrPaket *>(u"frPaket1"_s);
        editor->setRowText(TfrPaket::RowSDATA, QString(TfrPaket::MaxDataBytes + 1, u'A'));
        bool dialogShown = false;
        onSaveDialog([&dialogShown](TfSavePacket &dialog) {
            dialogShown = true;
            dialog.cancelButton()->click();
        });
        w.bar.aSetPresetExecute();
        QCoreApplication::processEvents();
        QVERIFY(!dialogShown);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith(u"Předvolba nebyla uložena:\n"_s));
        QCOMPARE(w.listing(), QString());
    }

    void presetPageIsRestored()
    {
        QVERIFY(WriteConfigWithPresets(MixedPresets));
        {
            PresetWindow w;
            QVERIFY(w.show());
            w.tabs->setCurrentIndex(1);
            w.window.close();
        }
        PresetWindow w;
        QVERIFY(w.show());
        QCOMPARE(w.tabs->currentIndex(), 1);
    }
};

QTEST_MAIN(TestPresetBar)
#include "tst_presetbar.moc"
