#pragma once

#include "capture/tarvelparser.h"
#include "core/configfile.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QSplitter;
class QTabWidget;
class TInjectionServer;
class TfrPaket;
class TLinkControl;
class TPresetBar;
class TRxBufferBox;
class TStatusBar;
class TTerminalLogView;

// The main window: preset bar, packet editor panel, the log with the receive
// buffer and the send line, and the status bar. It owns the one datagram
// splitter and the configuration document.
class TfMainTarvelTerm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfMainTarvelTerm(QWidget *parent = nullptr);
    ~TfMainTarvelTerm() override;

    [[nodiscard]] TTarvelParser &parser() { return *m_parser; }
    [[nodiscard]] ConfigFile &config() { return m_config; }
    [[nodiscard]] TTerminalLogView *logView() const { return vstTerminal; }
    [[nodiscard]] TStatusBar *statusPanels() const { return StatusBar; }
    [[nodiscard]] TLinkControl &link() const { return *m_link; }
    [[nodiscard]] TRxBufferBox *rxBufferBox() const { return eRxBuffer; }
    [[nodiscard]] TPresetBar &presets() const { return *m_presets; }

    // Writes bytes to the open link, if any, and logs them as sent.
    void SendData(QByteArrayView data, bool force);
    // Sends the send line: pending received bytes are flushed first, then
    // the line (with CR when ticked) in brace notation as one datagram.
    void bSendClick();
    // Forces the pending received bytes out as one datagram.
    void pmiMoveUpClick();
    // An injected message: selector byte (1 received, else sent), then bytes.
    void WMCopyData(QByteArrayView message);
    // Listens for injected messages; false when another instance has the socket.
    bool StartInjectionServer(const QString &path);

    // A menu item bound to an action: it shows the action's caption, hint
    // and shortcut and triggers it, while both keep their own names.
    QAction *addActionItem(QMenu *menu, const char *itemName, QAction *action);

    // Panel 0 shows the version; a non-empty message replaces panel 1.
    void SetStatusText(const QString &message);

    // Shows or hides the middle area, growing or shrinking the window by its
    // height so that the other areas keep their sizes.
    void SetMiddlePanelVisible(bool value);
    void CheckMiddlePanelVisibility();

    // Keeps the language and About menus at the right end of the menu bar.
    void RightJustifyMenuItems();

    // Empties the log, the receive-buffer box and the splitter.
    void bClearClick();

    // Restores the configuration and the view; runs when the window is
    // first shown.
    void FormShow();
    // Writes the language, placement and view keys and saves the configuration.
    void FormClose();

signals:
    // A status message was shown in the status bar.
    void statusMessage(const QString &message);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void connectTranslator();
    void loadRememberedLanguage();
    void buildLayout();
    QWidget *buildPresetBar();
    QWidget *buildBottomArea();
    void buildMenus();
    QAction *addMenuItem(QMenu *menu, const char *name, const QString &caption);

    void mimViewClick();
    void ParserBufferChange(QByteArrayView buffer, Direction direction);
    void StatusBarDblClick(int panel);
    void reopenLastConnection();
    void restoreView(const pugi::xml_node &root);
    void saveView(pugi::xml_node root);
    void centreOnScreen();
    [[nodiscard]] QSize frameExtra() const;

    ConfigFile m_config;
    std::unique_ptr<TTarvelParser> m_parser;
    TLinkControl *m_link = nullptr;
    TInjectionServer *m_injectionServer = nullptr;
    TPresetBar *m_presets = nullptr;
    bool m_shown = false;

    QWidget *pTop = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QLabel *Image1 = nullptr;
    QWidget *pMiddle = nullptr;
    QSplitter *Splitter1 = nullptr;
    QWidget *pLeft = nullptr;
    TfrPaket *frPaket1 = nullptr;
    QWidget *pCenter = nullptr;
    QSplitter *Splitter2 = nullptr;
    TTerminalLogView *vstTerminal = nullptr;
    QWidget *pBottom = nullptr;
    TRxBufferBox *eRxBuffer = nullptr;
    QWidget *frame1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QCheckBox *cbCR = nullptr;
    QPushButton *bSend = nullptr;
    QPushButton *bClear = nullptr;
    QPushButton *bMoveUp = nullptr;
    TStatusBar *StatusBar = nullptr;

    QMenuBar *m_rightMenuBar = nullptr;
    QMenu *mimFile = nullptr;
    QMenu *mimView = nullptr;
    QMenu *mimLng = nullptr;
    QMenu *pmBuffer = nullptr;
    QAction *aClose = nullptr;
    QAction *mimViewPresets = nullptr;
    QAction *mimViewPaketT97 = nullptr;
    QAction *mimViewCommunicationLog = nullptr;
    QAction *mimViewStatusBar = nullptr;
};
