#include "core/appversion.h"

#include <cstdio>

int main()
{
    std::printf("Tarvel Terminal %s is built; its main window is not part of this build yet.\n",
                GetAppVersion().toUtf8().constData());
    return 0;
}
