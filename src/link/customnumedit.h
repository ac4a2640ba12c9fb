#pragma once

#include <QLineEdit>
#include <QWidget>

class QToolButton;

// The pair of arrow buttons at the right edge of a numeric edit. It keeps a
// range like a spin control, but only reports clicks: the edit does the
// stepping. Held down, an arrow repeats.
class TUpDownArrows : public QWidget
{
    Q_OBJECT

public:
    explicit TUpDownArrows(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    [[nodiscard]] int minimum() const { return m_minimum; }
    [[nodiscard]] int maximum() const { return m_maximum; }

    [[nodiscard]] QToolButton *upButton() const { return m_up; }
    [[nodiscard]] QToolButton *downButton() const { return m_down; }

    // The width the edit reserves for the arrows.
    static constexpr int ArrowWidth = 15;

signals:
    // 0 for the upper arrow, 1 for the lower one.
    void arrowClicked(int direction);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
    int m_minimum = -32000;
    int m_maximum = 32000;
};

// A one-line edit for whole numbers with arrow buttons. Up, Down, Page Up and
// Page Down step the value (Ctrl steps ten times as far); only digits and the
// minus sign can be typed; Enter and leaving the edit check the typed text,
// which is corrected or reported. Derived classes say what a value is.
class TMyCustomNumEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(bool UpDownEnable READ UpDownEnable WRITE SetUpDownEnable)
    Q_PROPERTY(QString ShowName READ ShowName WRITE SetShowName)
    Q_PROPERTY(bool AutoCorrect READ AutoCorrect WRITE SetAutoCorrect)
    Q_PROPERTY(bool FailureBeep READ FailureBeep WRITE SetFailureBeep)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE SetEditorEnabled)
    Q_PROPERTY(bool Colored READ Colored WRITE SetColored)

public:
    explicit TMyCustomNumEdit(QWidget *parent = nullptr);

    // Steps the value: direction 0 up (greater), 1 down; page for a page step.
    virtual void StepValue(int direction, bool page) = 0;
    // Shows the stored value as text; this base shows nothing.
    virtual void UpdateText();
    // Checks the typed text, correcting it or complaining; true when the edit
    // may be left. This base accepts anything.
    virtual bool CheckValue();

    [[nodiscard]] bool UpDownEnable() const { return m_upDownEnable; }
    // The arrows' range: -100 to 100 when enabled, 0 to 0 when not.
    void SetUpDownEnable(bool value);

    // Names the value in the range message.
    [[nodiscard]] QString ShowName() const { return m_showName; }
    void SetShowName(const QString &value) { m_showName = value; }

    // Correct a failing value instead of complaining.
    [[nodiscard]] bool AutoCorrect() const { return m_autoCorrect; }
    void SetAutoCorrect(bool value) { m_autoCorrect = value; }

    // Beep when a typed value fails the check.
    [[nodiscard]] bool FailureBeep() const { return m_failureBeep; }
    void SetFailureBeep(bool value) { m_failureBeep = value; }

    // When false, cutting and pasting into the edit are refused.
    [[nodiscard]] bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool value);

    // When true the text colour shows the sign of the value.
    [[nodiscard]] bool Colored() const { return m_colored; }
    void SetColored(bool value);

    [[nodiscard]] TUpDownArrows *arrows() const { return m_arrows; }

signals:
    // Every change of the text, before textChanged reaches anyone else.
    void ChangeText();

protected:
    // Ctrl held while stepping: from the key event being handled, else the
    // keyboard state.
    [[nodiscard]] bool IsCtrlHeld() const;
    // Sets the colour of the text (not of disabled text).
    void SetTextColor(const QColor &color);

    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    [[nodiscard]] bool canCutOrPaste() const { return m_editorEnabled && !isReadOnly(); }
    void arrowClicked(int direction);
    void placeArrows();

    TUpDownArrows *m_arrows;
    bool m_upDownEnable = true;
    bool m_editorEnabled = true;
    bool m_colored = false;
    QString m_showName;
    bool m_failureBeep = false;
    bool m_autoCorrect = true;
    // The modifiers of the key event being handled, if any.
    Qt::KeyboardModifiers m_keyModifiers;
    bool m_inKeyEvent = false;
};
