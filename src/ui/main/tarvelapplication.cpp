#include "tarvelapplication.h"

#include "core/apperror.h"
#include "core/beep.h"
#include "messagebox.h"

TarvelApplication::TarvelApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // The name, not a display name: window captions stay exactly as set.
    setApplicationName(QStringLiteral("Tarvel Terminál"));
    SetBeepHandler(&QApplication::beep);
}

bool TarvelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const AppError &error) {
        ShowError(activeWindow(), error.message());
    } catch (const std::exception &error) {
        ShowError(activeWindow(), QString::fromLocal8Bit(error.what()));
    }
    return false;
}
