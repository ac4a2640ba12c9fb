#include "formposutils.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

constexpr Qt::WindowStates NotRestored =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

// The frame the window system draws around the window's client area; none
// before the window has been created.
QMargins FrameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

} // namespace

QRect CenterOnMonitor(const QRect &normal, const QRect &monitor)
{
    const int w = qMin(normal.width(), monitor.width());
    const int h = qMin(normal.height(), monitor.height());
    // Integer division rounds toward zero, each half on its own.
    const int left = monitor.left() + monitor.width() / 2 - w / 2;
    const int top = monitor.top() + monitor.height() / 2 - h / 2;
    return QRect(left, top, w, h);
}

bool CenterOnPrimaryMonitor(QWidget *window)
{
    if (!window || !window->isWindow())
        return false;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return false;

    // The restored rectangle with its frame, as the user sees the window
    // when it is neither maximised nor minimised.
    const Qt::WindowStates states = window->windowState();
    const QRect normalClient = (states & (Qt::WindowMaximized | Qt::WindowFullScreen))
                                   ? window->normalGeometry()
                                   : window->geometry();
    const QMargins frame = FrameMargins(window);
    const QRect placed = CenterOnMonitor(normalClient.marginsAdded(frame), primary->geometry());
    QRect client = placed.marginsRemoved(frame);
    client.setSize(client.size().expandedTo(QSize(0, 0)));

    if (!(states & NotRestored)) {
        window->setGeometry(client);
        return true;
    }
    // Qt has no call that sets only the restored rectangle of a maximised or
    // minimised window: the window is placed in its restored state and then
    // given its state back, which keeps the new rectangle as the restored one.
    window->setWindowState(states & ~NotRestored);
    window->setGeometry(client);
    window->setWindowState(states);
    return true;
}

bool IsCenteredForm(const QWidget *widget)
{
    if (!widget || !widget->isWindow())
        return false;
    switch (widget->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Tool:
        return true;
    default:
        return false;
    }
}

void CenterAllForms()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (IsCenteredForm(*it))
            CenterOnPrimaryMonitor(*it);
    }
}

TCorrectionMenuItem::TCorrectionMenuItem(QMenu *menu, const char *itemName, QObject *parent)
    : QObject(parent)
{
    menu->addSeparator();
    m_item = menu->addAction(QStringLiteral("Centrovat formuláře na hlavní monitor"));
    m_item->setObjectName(QString::fromLatin1(itemName));
    m_item->setShortcut(QKeySequence(ShortcutKey));
    m_item->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_item, &QAction::triggered, this, [] { CenterAllForms(); });
    qApp->installEventFilter(this);
}

TCorrectionMenuItem::~TCorrectionMenuItem()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool TCorrectionMenuItem::eventFilter(QObject *watched, QEvent *event)
{
    // The menu item's shortcut takes the key before any window sees it; the
    // key arrives here only when a modal dialog keeps the shortcut from the
    // menu, or when a widget claimed the key for itself.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == ShortcutKey.key() && modifiers == ShortcutKey.keyboardModifiers()) {
            CenterAllForms();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CentreOnScreen(QWidget *window)
{
    const QRect area = window->screen()->geometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}
