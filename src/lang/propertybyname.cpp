#include "propertybyname.h"

#include "core/apperror.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>

namespace {

// Where a page of a tab widget shows: the tab widget and the page's index.
struct TabOfPage
{
    QTabWidget *tabs = nullptr;
    int index = -1;
};

TabOfPage FindTabOfPage(QWidget *widget)
{
    // A tab widget keeps its pages in an internal stacked widget.
    auto *stack = qobject_cast<QStackedWidget *>(widget->parentWidget());
    auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return {};
    const int index = tabs->indexOf(widget);
    return index < 0 ? TabOfPage{} : TabOfPage{tabs, index};
}

bool SetCaption(QObject *object, const QString &value)
{
    // Menus are windows of their own: they must be recognised first.
    if (auto *menu = qobject_cast<QMenu *>(object)) {
        menu->setTitle(value);
        return true;
    }
    if (auto *action = qobject_cast<QAction *>(object)) {
        action->setText(value);
        return true;
    }
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return false;
    if (const TabOfPage page = FindTabOfPage(widget); page.tabs) {
        page.tabs->setTabText(page.index, value);
        return true;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        button->setText(value);
        return true;
    }
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        label->setText(value);
        return true;
    }
    if (auto *groupBox = qobject_cast<QGroupBox *>(widget)) {
        groupBox->setTitle(value);
        return true;
    }
    if (widget->isWindow() || qobject_cast<QDockWidget *>(widget)) {
        widget->setWindowTitle(value);
        return true;
    }
    return false;
}

bool SetHint(QObject *object, const QString &value)
{
    if (auto *action = qobject_cast<QAction *>(object)) {
        action->setToolTip(value);
        return true;
    }
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return false;
    widget->setToolTip(value);
    if (auto *menu = qobject_cast<QMenu *>(widget))
        menu->menuAction()->setToolTip(value);
    else if (const TabOfPage page = FindTabOfPage(widget); page.tabs)
        page.tabs->setTabToolTip(page.index, value);
    return true;
}

bool SetText(QObject *object, const QString &value)
{
    if (auto *action = qobject_cast<QAction *>(object)) {
        action->setText(value);
    } else if (auto *button = qobject_cast<QAbstractButton *>(object)) {
        button->setText(value);
    } else if (auto *label = qobject_cast<QLabel *>(object)) {
        label->setText(value);
    } else if (auto *edit = qobject_cast<QLineEdit *>(object)) {
        edit->setText(value);
    } else if (auto *plainEdit = qobject_cast<QPlainTextEdit *>(object)) {
        plainEdit->setPlainText(value);
    } else if (auto *textEdit = qobject_cast<QTextEdit *>(object)) {
        textEdit->setPlainText(value);
    } else if (auto *combo = qobject_cast<QComboBox *>(object)) {
        // A list-only combo box selects the item with that text, if any.
        if (combo->isEditable())
            combo->setEditText(value);
        else
            combo->setCurrentText(value);
    } else {
        return false;
    }
    return true;
}

QString DescribeObject(const QObject *object)
{
    if (!object->objectName().isEmpty())
        return object->objectName();
    return QString::fromLatin1(object->metaObject()->className());
}

} // namespace

void SetPropertyByName(QObject *object, const QString &name, const QString &value)
{
    bool set = false;
    if (name.compare(u"Caption", Qt::CaseInsensitive) == 0)
        set = SetCaption(object, value);
    else if (name.compare(u"Hint", Qt::CaseInsensitive) == 0)
        set = SetHint(object, value);
    else if (name.compare(u"Text", Qt::CaseInsensitive) == 0)
        set = SetText(object, value);
    if (!set)
        throw PropertyNotFoundError(name, DescribeObject(object));
}

AppError PropertyNotFoundError(const QString &property, const QString &objectName)
{
    return AppError(
        QStringLiteral("Property \"%1\" not found on \"%2\"").arg(property, objectName));
}
