#include "link/injectioncommand.h"
#include "link/injectionserver.h"
#include "mainwindow.h"
#include "tarvelapplication.h"

#include <QCommandLineParser>
#include <QTimer>

#include <cstring>

int main(int argc, char *argv[])
{
    // `--inject rx|tx HEX` hands bytes to the running program and exits.
    if (argc > 1 && std::strcmp(argv[1], "--inject") == 0) {
        QCoreApplication app(argc, argv);
        return RunInjectCommand(app.arguments().mid(2));
    }

    TarvelApplication app(argc, argv);

    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the main window to <file> "
                       "once it is shown, then quit."),
        QStringLiteral("file"));
    options.addOption(screenshot);
    options.process(app);

    TfMainTarvelTerm window;
    window.StartInjectionServer(TInjectionServer::defaultPath());
    window.show();
    if (options.isSet(screenshot)) {
        QTimer::singleShot(1000, &window, [&] {
            window.grab().save(options.value(screenshot));
            window.close();
        });
    }
    return app.exec();
}
