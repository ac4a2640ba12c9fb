#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

// The states of the serial port's modem lines, for the status bar.
struct ModemLines
{
    bool open = false;
    bool rts = false;
    bool cts = false;
    bool dtr = false;
    bool dsr = false;
};

// The status bar: version, last status message, the four modem lines of an
// open serial port and the byte under the mouse in the log, in twelve panels.
// Everything it draws is read at the moment of drawing from its sources.
class TStatusBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr std::array<int, 12> PanelWidths = {183, 250, 37, 37, 37, 37,
                                                        50,  60,  60, 60, 90, 50};
    enum Panel
    {
        VersionPanel = 0,
        MessagePanel = 1,
        RtsPanel = 2,
        CtsPanel = 3,
        DtrPanel = 4,
        DsrPanel = 5,
        CharPanel = 7,
        DecPanel = 8,
        HexPanel = 9,
        BinPanel = 10
    };

    explicit TStatusBar(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text);
    [[nodiscard]] QString panelText(int panel) const;

    void setModemLinesSource(std::function<ModemLines()> source);
    // The byte under the mouse, or nothing.
    void setByteSource(std::function<std::optional<quint8>()> source);

    // The panel at a horizontal screen position, or -1; a position on the
    // border between two panels hits neither.
    [[nodiscard]] int StatusPanelAt(int screenX) const;

    // What a drawn panel shows now: its text, background and text colour.
    struct PanelLook
    {
        QString text;
        QColor background;
        QColor textColour;
        QColor frame; // invalid: no frame
    };
    [[nodiscard]] PanelLook panelLook(int panel) const;

signals:
    void panelDoubleClicked(int panel);
    void panelRightClicked(int panel, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    [[nodiscard]] PanelLook modemLook(const QString &name, bool on, bool open) const;

    std::array<QString, 2> m_texts;
    std::function<ModemLines()> m_modemLines;
    std::function<std::optional<quint8>()> m_byte;
};
