#pragma once

#include <QPixmap>
#include <QSize>

// The program's small picture, drawn rather than shipped as a file: a frame
// of bytes on a navy tile, as large as asked.
[[nodiscard]] QPixmap ProgramLogo(QSize size);
