#pragma once

#include <QString>

// The folder where the program's data lies (language files, history): the
// installed data folder when the program runs installed, else the folder of
// the executable, as when it runs from the build tree. Ends with "/".
[[nodiscard]] QString ProgramFolder();

// Resolves a stored file name: "\" and "/" both separate folders, and a
// leading separator means the program's folder.
[[nodiscard]] QString ResolveProgramPath(const QString &storedName);
