#pragma once

#include "core/apperror.h"

#include <QString>

class QObject;

// Sets a text property of a window, control, menu or action by the name a
// language file uses for it, in any letter case:
// - Caption: a menu's title (also the text of its menu-bar item), an
//   action's text, the tab text of a tab-widget page, the text of a button
//   or label, a group box's title, a window's or dock panel's title;
// - Hint: the tool tip (a menu's item and a page's tab take it too);
// - Text: the text of actions, buttons, labels, line edits, text edits and
//   combo boxes.
// Throws AppError when the name is none of these or the object has no such
// property.
void SetPropertyByName(QObject *object, const QString &name, const QString &value);

// The error for a property the named object does not have.
[[nodiscard]] AppError PropertyNotFoundError(const QString &property, const QString &objectName);
