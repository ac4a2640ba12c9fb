#pragma once

#include <QKeySequence>
#include <QObject>
#include <QRect>

class QAction;
class QMenu;
class QWidget;

// The restored rectangle of a window of the given size, centred on a
// monitor: the size is kept but shrunk to the monitor, and each half is
// rounded toward zero on its own (301 pixels on 1024 start at 512 - 150).
// Only the size of `normal` is used.
[[nodiscard]] QRect CenterOnMonitor(const QRect &normal, const QRect &monitor);

// Moves a top-level window to the centre of the primary screen's full
// bounds. The restored rectangle (the window frame included) is what moves;
// a maximised, minimised or full-screen window keeps its state and shows
// centred once restored. False when the widget is not a window or there is
// no screen.
bool CenterOnPrimaryMonitor(QWidget *window);

// The windows the centring command moves: every top-level window of the
// program, shown or hidden, but no menus, tool tips or other pop-ups.
[[nodiscard]] bool IsCenteredForm(const QWidget *widget);

// Centres every window of the program on the primary screen. Each window is
// placed on its own; one that cannot be placed is skipped.
void CenterAllForms();

// Puts a window in the middle of the screen it is on.
void CentreOnScreen(QWidget *window);

// The command "Centrovat formuláře na hlavní monitor". Its menu item carries
// the shortcut for any window of the program; while a modal dialog blocks the
// menu's window, the same key is caught from the application's event stream,
// so the command is still at hand when the main window lies off every
// screen. One instance exists while the main window does.
class TCorrectionMenuItem : public QObject
{
    Q_OBJECT

public:
    static constexpr QKeyCombination ShortcutKey{Qt::CTRL | Qt::SHIFT, Qt::Key_Home};

    // Appends a separator and the item `itemName` to the menu.
    TCorrectionMenuItem(QMenu *menu, const char *itemName, QObject *parent);
    ~TCorrectionMenuItem() override;

    [[nodiscard]] QAction *menuItem() const { return m_item; }

protected:
    // Lets every event through except the command's key, which runs the command.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *m_item = nullptr;
};
