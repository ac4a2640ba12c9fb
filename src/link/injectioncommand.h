#pragma once

#include <QStringList>

// The command line `tarvel-terminal --inject rx|tx [HEX]`: hands the bytes of
// the hex text to the running program's log as received (rx) or sent (tx)
// and exits. The arguments are the words after "--inject". Returns 0 when
// the program answered; otherwise writes the reason to stderr and returns
// InjectUsageError or InjectNotAnswered. Needs a QCoreApplication.
int RunInjectCommand(const QStringList &arguments);

constexpr int InjectUsageError = 2;
constexpr int InjectNotAnswered = 1;
