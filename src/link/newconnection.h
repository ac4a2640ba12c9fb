#pragma once

#include "connectionnode.h"

#include <QDialog>
#include <QPoint>
#include <QStyledItemDelegate>

#include <pugixml.hpp>

#include <vector>

class QComboBox;
class QFileSystemWatcher;
class QFontMetrics;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class TIntEdit;

// Where the pieces of a history line go: the kind's prefix ("serial - " or
// "TCP - ") and the display text, both top-left points. The display texts of
// both kinds start in the same column: "TCP - " ends where "serial - " ends.
struct HistoryLineLayout
{
    QString prefix;
    QPoint prefixAt;
    QPoint textAt;
};
[[nodiscard]] HistoryLineLayout LayOutHistoryLine(const QFontMetrics &metrics, const QRect &line,
                                                  Connection::Kind kind);

// Draws the lines of the connection history: the kind, then the entry's text.
class THistoryLineDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The kind of a line is kept under this role, as an int.
    static constexpr int KindRole = Qt::UserRole + 1;
    static constexpr int LineHeight = 16;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const override;
};

// The dialog in which the user chooses a link: a serial port with its line
// settings or a TCP host and port, beside the history of earlier connections.
// While the user edits, the dialog keeps SelectedNode on the first history
// node equal to the settings and highlights its line. OK updates the history
// and leaves the chosen node in SelectedNode.
//
// Use: create, SetHistoryNode(root of the configuration), LoadConnection(the
// current connection or none), exec(), on Accepted read SelectedNode().
class TfNewConnection : public QDialog
{
    Q_OBJECT

public:
    explicit TfNewConnection(QWidget *parent = nullptr);
    ~TfNewConnection() override;

    // Fills the history from the connection children of the element, newest
    // first, and loads the newest one. Throws ConversionError when that entry
    // is a TCP connection without a numeric port.
    void SetHistoryNode(pugi::xml_node element);
    // Shows a connection node in the controls and makes it the selected one
    // (marked `active`); none deselects the history. Throws ConversionError
    // for a TCP node without a numeric port or a serial node whose port is
    // not a number.
    void LoadConnection(pugi::xml_node node);
    // The first history node equal to the current settings, or none.
    [[nodiscard]] pugi::xml_node FindConnection() const;
    // Rebuilds the serial-port list when a device has come or gone since the
    // last build and the dialog is showing; the chosen port stays chosen.
    void RefreshPortList();

    // The node the dialog shows; after OK the chosen one (none for a TCP
    // choice without a host).
    [[nodiscard]] pugi::xml_node SelectedNode() const { return m_selectedNode; }
    [[nodiscard]] pugi::xml_node HistoryNode() const { return m_historyNode; }

    // The current settings in the terms of the connection history.
    [[nodiscard]] Connection::Choice CurrentChoice() const;
    // The port number of the chosen line of the port list; 0 when none is.
    [[nodiscard]] int ChosenPortNumber() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void buildSettingsPanel();
    void buildHistoryPanel();
    void buildButtonPanel();
    void fillPortList();
    // Updates the lines' texts in place; false when the numbers differ.
    bool updatePortList();
    void watchDevices();

    void CheckEnDis();
    void ChangeConfiguration();
    void bOkClick();
    void cbHistoryClick();
    void DeviceChange();

    void selectHistoryLine(int row);
    void selectPort(int number);
    // Runs a handler of a control's signal, showing what it raises.
    void runHandler(void (TfNewConnection::*handler)());

    pugi::xml_node m_selectedNode;
    pugi::xml_node m_historyNode;
    bool PortListStale = false;
    // The history entries, one per line of lbHistory, in line order.
    std::vector<Connection::TNodeHistoryObject> m_history;
    // Loading a node sets several controls; their change handlers wait until
    // all are set.
    int m_loading = 0;
    // Lines selected by the dialog itself are not clicks.
    bool m_selectingLine = false;

    QFileSystemWatcher *m_deviceWatcher = nullptr;
    QTimer *m_deviceChangeTimer = nullptr;

    QWidget *Panel1 = nullptr;
    QRadioButton *rbSerialPort = nullptr;
    QGroupBox *gbSerialPort = nullptr;
    QLabel *lCOM = nullptr;
    QComboBox *cbCOM = nullptr;
    QLabel *lBaudRate = nullptr;
    QComboBox *cbBaudRate = nullptr;
    QLabel *lDataBits = nullptr;
    QComboBox *cbDataBits = nullptr;
    QLabel *lParity = nullptr;
    QComboBox *cbParity = nullptr;
    QLabel *lStopBits = nullptr;
    QComboBox *cbStopBits = nullptr;
    QLabel *lFlowControl = nullptr;
    QComboBox *cbFlowControl = nullptr;
    QRadioButton *rbTcpIp = nullptr;
    QGroupBox *gbTcpIp = nullptr;
    QLabel *lHost = nullptr;
    QLineEdit *eHost = nullptr;
    QLabel *lPort = nullptr;
    TIntEdit *iePort = nullptr;
    QWidget *pTop = nullptr;
    QLabel *lHistory = nullptr;
    QListWidget *lbHistory = nullptr;
    QWidget *pBottom = nullptr;
    QPushButton *bOk = nullptr;
    QPushButton *bCancel = nullptr;
};
