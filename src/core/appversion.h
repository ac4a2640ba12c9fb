#pragma once

#include <QString>

// The program's version as four numbers joined by ".", such as 1.0.0.0.
[[nodiscard]] QString GetAppVersion();
