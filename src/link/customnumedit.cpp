#include "customnumedit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>

#include <memory>

TUpDownArrows::TUpDownArrows(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    setCursor(Qt::ArrowCursor);
    const std::pair<QToolButton *, Qt::ArrowType> arrows[] = {{m_up, Qt::UpArrow},
                                                              {m_down, Qt::DownArrow}};
    for (const auto &[button, arrow] : arrows) {
        button->setArrowType(arrow);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setMinimumSize(1, 1);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { emit arrowClicked(0); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit arrowClicked(1); });
}

void TUpDownArrows::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void TUpDownArrows::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int upper = height() / 2;
    m_up->setGeometry(0, 0, width(), upper);
    m_down->setGeometry(0, upper, width(), height() - upper);
}

TMyCustomNumEdit::TMyCustomNumEdit(QWidget *parent)
    : QLineEdit(parent), m_arrows(new TUpDownArrows(this)), m_showName(QStringLiteral("Hodnota"))
{
    // Connected first, so that it runs before anyone else hears of the change.
    connect(this, &QLineEdit::textChanged, this, &TMyCustomNumEdit::ChangeText);
    connect(m_arrows, &TUpDownArrows::arrowClicked, this, &TMyCustomNumEdit::arrowClicked);
    m_arrows->setRange(-32000, 32000);
    // The text ends two pixels left of the arrows.
    setTextMargins(0, 0, TUpDownArrows::ArrowWidth + 2, 0);
    placeArrows();
}

void TMyCustomNumEdit::UpdateText()
{
    setText(QString());
}

bool TMyCustomNumEdit::CheckValue()
{
    return true;
}

void TMyCustomNumEdit::SetUpDownEnable(bool value)
{
    m_upDownEnable = value;
    if (value)
        m_arrows->setRange(-100, 100);
    else
        m_arrows->setRange(0, 0);
}

void TMyCustomNumEdit::SetEditorEnabled(bool value)
{
    m_editorEnabled = value;
}

void TMyCustomNumEdit::SetColored(bool value)
{
    m_colored = value;
    if (!value)
        SetTextColor(Qt::black);
    UpdateText();
}

bool TMyCustomNumEdit::IsCtrlHeld() const
{
    const Qt::KeyboardModifiers modifiers =
        m_inKeyEvent ? m_keyModifiers : QGuiApplication::keyboardModifiers();
    return modifiers.testFlag(Qt::ControlModifier);
}

void TMyCustomNumEdit::SetTextColor(const QColor &color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Active, QPalette::Text, color);
    colours.setColor(QPalette::Inactive, QPalette::Text, color);
    setPalette(colours);
}

void TMyCustomNumEdit::keyPressEvent(QKeyEvent *event)
{
    m_inKeyEvent = true;
    m_keyModifiers = event->modifiers();
    struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_inKeyEvent};

    const int key = event->key();
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        StepValue(key == Qt::Key_Up || key == Qt::Key_PageUp ? 0 : 1,
                  key == Qt::Key_PageUp || key == Qt::Key_PageDown);
        QLineEdit::keyPressEvent(event);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Consumed here, so that the dialog's default button stays unpressed.
        event->accept();
        CheckValue();
        return;
    default:
        break;
    }

    const auto drop = [event] { event->accept(); };
    if ((event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)) &&
        !canCutOrPaste()) {
        drop();
        return;
    }
    // Control characters: only copy and paste pass.
    if (event->modifiers().testFlag(Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
        if (key == Qt::Key_C || key == Qt::Key_V)
            QLineEdit::keyPressEvent(event);
        else
            drop();
        return;
    }
    // Printable characters: digits and the minus sign only.
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.front().isPrint()) {
        const QChar c = typed.front();
        if ((c >= u'0' && c <= u'9') || c == u'-')
            QLineEdit::keyPressEvent(event);
        else
            drop();
        return;
    }
    // Backspace, Delete, cursor keys, Escape and the like.
    QLineEdit::keyPressEvent(event);
}

void TMyCustomNumEdit::focusOutEvent(QFocusEvent *event)
{
    // Only a move of the focus inside the window checks the value, not the
    // window losing activation or a pop-up menu opening.
    switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        // A value that fails takes the focus back; the edit is then focused
        // again and must not be treated as left.
        if (!CheckValue() && hasFocus())
            return;
        break;
    default:
        break;
    }
    QLineEdit::focusOutEvent(event);
}

void TMyCustomNumEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    placeArrows();
}

void TMyCustomNumEdit::contextMenuEvent(QContextMenuEvent *event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (!canCutOrPaste()) {
        for (QAction *action : menu->actions()) {
            const QString name = action->objectName();
            if (name == u"edit-cut" || name == u"edit-paste")
                action->setEnabled(false);
        }
    }
    menu->exec(event->globalPos());
}

void TMyCustomNumEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection on some systems.
    if (event->button() == Qt::MiddleButton && !canCutOrPaste()) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TMyCustomNumEdit::dropEvent(QDropEvent *event)
{
    if (!canCutOrPaste()) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}

void TMyCustomNumEdit::arrowClicked(int direction)
{
    StepValue(direction, false);
    if ((focusPolicy() & Qt::TabFocus) != 0 && isEnabled() && isVisible())
        setFocus(Qt::MouseFocusReason);
}

void TMyCustomNumEdit::placeArrows()
{
    const int arrowWidth = TUpDownArrows::ArrowWidth;
    m_arrows->setGeometry(width() - arrowWidth - 1, 1, arrowWidth, qMax(0, height() - 2));
}
