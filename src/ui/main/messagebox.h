#pragma once

#include <QString>

#include <functional>

class QWidget;

// The plain message boxes through which the program tells the user about
// failures. Tests replace the presenter so that nothing blocks.
void ShowMessage(QWidget *parent, const QString &text);

// The box of the top-level error handler: errors that end an operation.
void ShowError(QWidget *parent, const QString &text);

using MessagePresenter = std::function<void(QWidget *parent, const QString &text)>;
// Replaces how messages are shown; an empty presenter restores the boxes.
void SetMessagePresenter(MessagePresenter presenter);

// Runs an operation and shows any error it raises: the clean-up of the
// operation has run by then, and the program goes on.
void RunReportingErrors(QWidget *parent, const std::function<void()> &operation);
