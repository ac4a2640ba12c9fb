#include "mainwindow.h"
#include "tarvelapplication.h"

#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char *argv[])
{
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
    window.show();
    if (options.isSet(screenshot)) {
        QTimer::singleShot(1000, &window, [&] {
            window.grab().save(options.value(screenshot));
            window.close();
        });
    }
    return app.exec();
}
