#include "statusbar.h"

#include "core/byteformat.h"
#include "core/codepage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace {
const QColor LineOff(255, 187, 187);
const QColor LineOn(187, 255, 187);

// A darker edge for a modem panel: its colour minus $202020.
QColor frameOf(const QColor &colour)
{
    return QColor(colour.red() - 0x20, colour.green() - 0x20, colour.blue() - 0x20);
}
} // namespace

TStatusBar::TStatusBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setFixedHeight(19);
    setFont(QFont(QStringLiteral("Arial"), 8));
}

void TStatusBar::setPanelText(int panel, const QString &text)
{
    if (panel == VersionPanel || panel == MessagePanel) {
        m_texts[std::size_t(panel)] = text;
        update();
    }
}

QString TStatusBar::panelText(int panel) const
{
    return panel == VersionPanel || panel == MessagePanel ? m_texts[std::size_t(panel)] : QString();
}

void TStatusBar::setModemLinesSource(std::function<ModemLines()> source)
{
    m_modemLines = std::move(source);
    update();
}

void TStatusBar::setByteSource(std::function<std::optional<quint8>()> source)
{
    m_byte = std::move(source);
    update();
}

int TStatusBar::StatusPanelAt(int screenX) const
{
    const int x = mapFromGlobal(QPoint(screenX, 0)).x();
    int left = 0;
    for (int i = 0; i < int(PanelWidths.size()) && left < width(); ++i) {
        const int w = PanelWidths[std::size_t(i)];
        if (left < x && x < left + w)
            return i;
        left += w;
    }
    return -1;
}

TStatusBar::PanelLook TStatusBar::modemLook(const QString &name, bool on, bool open) const
{
    if (!open)
        return {};
    const QColor background = on ? LineOn : LineOff;
    return {name, background, palette().color(QPalette::WindowText), frameOf(background)};
}

TStatusBar::PanelLook TStatusBar::panelLook(int panel) const
{
    const ModemLines lines = m_modemLines ? m_modemLines() : ModemLines{};
    switch (panel) {
    case RtsPanel:
        return modemLook(QStringLiteral("RTS"), lines.rts, lines.open);
    case CtsPanel:
        return modemLook(QStringLiteral("CTS"), lines.cts, lines.open);
    case DtrPanel:
        return modemLook(QStringLiteral("DTR"), lines.dtr, lines.open);
    case DsrPanel:
        return modemLook(QStringLiteral("DSR"), lines.dsr, lines.open);
    default:
        break;
    }
    const std::optional<quint8> byte = m_byte ? m_byte() : std::nullopt;
    if (!byte)
        return {};
    const quint8 v = *byte;
    switch (panel) {
    case CharPanel:
        // The byte's own character, also for control bytes.
        return {
            QStringLiteral("CHAR: ") + CodePage::toChar(v), QColor(255, 255, 176), Qt::black, {}};
    case DecPanel:
        return {QStringLiteral("DEC: %1").arg(v), QColor(224, 255, 255), QColor(0, 0, 128), {}};
    case HexPanel:
        return {QStringLiteral("HEX: $") + BytesToHex(QByteArray(1, char(v))),
                QColor(255, 255, 240),
                QColor(0, 0, 255),
                {}};
    case BinPanel:
        return {
            QStringLiteral("BIN: ") + ByteToBin(v), QColor(240, 255, 240), QColor(0, 128, 0), {}};
    default:
        return {};
    }
}

void TStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor buttonFace = palette().color(QPalette::Button);
    painter.fillRect(rect(), buttonFace);
    int left = 0;
    for (int i = 0; i < int(PanelWidths.size()) && left < width(); ++i) {
        const QRect panel(left, 0, PanelWidths[std::size_t(i)], height());
        left += panel.width();
        // Panels 0, 1, 6 and 11 are plain: a sunken edge and centred text.
        if (i == VersionPanel || i == MessagePanel || i == 6 || i == 11) {
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawRect(panel.adjusted(0, 0, -2, -1));
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(panel, Qt::AlignCenter, panelText(i));
            continue;
        }
        const PanelLook look = panelLook(i);
        painter.fillRect(panel, look.background.isValid() ? look.background : buttonFace);
        if (look.text.isEmpty())
            continue;
        painter.setPen(look.textColour);
        painter.drawText(panel, Qt::AlignCenter, look.text);
        if (look.frame.isValid()) {
            painter.setPen(look.frame);
            painter.drawRect(panel.adjusted(0, 0, -1, -1));
        }
    }
}

void TStatusBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit panelDoubleClicked(StatusPanelAt(int(event->globalPosition().x())));
}

void TStatusBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton)
        return;
    const QPoint globalPos = event->globalPosition().toPoint();
    if (StatusPanelAt(globalPos.x()) == MessagePanel)
        emit panelRightClicked(MessagePanel, globalPos);
}
