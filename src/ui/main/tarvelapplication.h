#pragma once

#include <QApplication>

// The application object: it shows every error that a handler lets escape
// in a message box, and the program goes on.
class TarvelApplication : public QApplication
{
    Q_OBJECT

public:
    TarvelApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
