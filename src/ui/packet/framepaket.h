#pragma once

#include "paketcelldelegate.h"

#include <QByteArray>
#include <QColor>
#include <QFrame>
#include <QList>
#include <QMetaObject>
#include <QString>
#include <QStringView>

class QAction;
class QCheckBox;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTextEdit;

// The packet editor: one format-97 frame composed field by field in a
// key/value grid `vle`, one row per field, each value written in brace
// notation. The rows are the packet; nothing else is kept. A preview
// `mePaket` shows the assembled bytes in hexadecimal with the current row's
// bytes in navy. While `cbLEN` or `cbSUM` is checked the LEN or SUM row is
// computed from the others, written back in brace notation and read-only.
//
// LEN is 16 bits wide and counts the data bytes plus 5, and SUM is taken
// over at most 65535 bytes: beyond that the row turns light red with a hint,
// nothing is written into it, and a send that relies on it is refused with
// a message, so no packet ever leaves with a wrapped LEN or SUM.
class TfrPaket : public QFrame
{
    Q_OBJECT

public:
    enum Row
    {
        RowPRE,
        RowFRM,
        RowLEN,
        RowADR,
        RowSIG,
        RowINST,
        RowSDATA,
        RowSUM,
        RowCR,
        RowCount
    };
    static constexpr int KeyColumn = 0;
    static constexpr int ValueColumn = 1;

    // The most data bytes LEN can count (LEN = data bytes + 5).
    static constexpr qsizetype MaxDataBytes = 65530;
    // The most bytes SUM is computed over (rows PRE to SDATA together).
    static constexpr qsizetype MaxSummedBytes = 65535;

    static const QColor ReadOnlyColour;
    static const QColor InvalidColour;
    static const QColor MatchColour;

    explicit TfrPaket(QWidget *parent = nullptr);

    // Called once after the frame is placed: PRE, FRM and CR become
    // read-only, the preview is filled and the SDATA value cell is current.
    void InitEditor();
    // Makes the SDATA value cell current.
    void SelectDataCell();

    // The bytes of the row with the key (in any letter case); empty for an
    // unknown key.
    [[nodiscard]] QByteArray RowBytes(QStringView key) const;
    // The bytes of all rows in row order: whatever each row yields.
    [[nodiscard]] QByteArray GetPacket() const;
    // True when no row has text that yields no bytes.
    [[nodiscard]] bool RowsValid() const;
    // The computed LEN text ("{00h,08h}"), written into the LEN row while
    // auto LEN is on; empty when the data bytes are more than LEN can count.
    QString UpdateLen();
    // The computed SUM text ("{AAh}", "{ Fh}"), written into the SUM row
    // while auto SUM is on; empty when there are too many bytes before SUM.
    QString UpdateSum();
    // Recomputes LEN and SUM and rewrites the preview; does nothing while a
    // row is invalid.
    void RefreshPreview();
    // Colours the preview: all bold gray, the bytes of the row navy.
    void HighlightRow(int row);
    // Refreshes, then asks for the packet to be sent (sendRequested), unless
    // an automatic LEN or SUM cannot be computed: that is reported instead.
    void bPktSendClick();

    // Row access for copying a stored packet into the editor; the rows are
    // written whether or not they are read-only.
    [[nodiscard]] QString rowKey(int row) const;
    [[nodiscard]] int rowOfKey(QStringView key) const;
    [[nodiscard]] QString rowText(int row) const;
    void setRowText(int row, const QString &text);
    [[nodiscard]] bool isRowReadOnly(int row) const;
    [[nodiscard]] bool isRowValid(int row) const;

    // More data bytes than LEN can count / more bytes than SUM is taken over.
    [[nodiscard]] bool LenOverflow() const;
    [[nodiscard]] bool SumOverflow() const;
    // The hint shown over a row that cannot be computed; empty otherwise.
    [[nodiscard]] QString RowHint(int row) const;
    // Why the packet cannot be sent as it stands (an automatic row that
    // cannot be computed); empty when it can.
    [[nodiscard]] QString PacketFault() const;

    // The colours a grid cell is drawn in. Drawing LEN or SUM recomputes
    // them, which writes the row while its box is checked.
    PaketCellColours vleDrawCell(int row, int column);

    // The save button shows the action's caption, hint and state and
    // triggers it. Null unbinds the button.
    void setSaveAction(QAction *action);
    // The look inside the main window: a white key column, and the in-place
    // editor only while a cell is being edited (the frame's own default
    // keeps it open on the current cell).
    void setMainWindowLook();

    [[nodiscard]] QTableWidget *grid() const { return vle; }
    [[nodiscard]] QTextEdit *preview() const { return mePaket; }
    [[nodiscard]] QCheckBox *autoLenBox() const { return cbLEN; }
    [[nodiscard]] QCheckBox *autoSumBox() const { return cbSUM; }
    [[nodiscard]] QPushButton *saveButton() const { return bPktSave; }
    [[nodiscard]] QPushButton *sendButton() const { return bPktSend; }

signals:
    // The packet to send, with the force flag off.
    void sendRequested(const QByteArray &packet);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void setRowReadOnly(int row, bool readOnly);
    [[nodiscard]] QByteArray rowBytes(int row) const;
    [[nodiscard]] qsizetype bytesBeforeSum() const;
    bool vleSelectCell(int column, int row);
    void vleKeyDown();
    void vleGetEditText();
    void cbLENClick();
    void cbSUMClick();
    void mePaketMouseDown();
    void pMainResize();

    QWidget *pMain = nullptr;
    QTableWidget *vle = nullptr;
    QSplitter *Splitter1 = nullptr;
    QTextEdit *mePaket = nullptr;
    QWidget *pBottom = nullptr;
    QCheckBox *cbLEN = nullptr;
    QCheckBox *cbSUM = nullptr;
    QPushButton *bPktSave = nullptr;
    QPushButton *bPktSend = nullptr;

    bool m_readOnly[RowCount] = {};
    QColor m_keyColour;
    // The last press on the grid hit the current cell: its click edits it.
    bool m_pressedOnCurrent = false;
    QList<QMetaObject::Connection> m_saveConnections;
};
