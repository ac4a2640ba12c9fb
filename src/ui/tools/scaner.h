#pragma once

#include <QWidget>

class QPushButton;
class QTableView;

// The device scanner fScaner: a list VirtualStringTree1 of the devices on
// the link, with address, device type, version and supported formats, and
// the search button Button1. It does not talk to the link yet: a search
// appends a fixed set of placeholder rows. The window is a tool window over
// the main window and is destroyed when closed.
class TfScaner : public QWidget
{
    Q_OBJECT

public:
    // One device in the list; only the address and the text are filled.
    struct Row
    {
        quint8 address = 0;
        QString text;
        QString version;
        QString formats;
    };

    explicit TfScaner(QWidget *parent = nullptr);
    ~TfScaner() override;

    [[nodiscard]] QTableView *list() const { return VirtualStringTree1; }
    [[nodiscard]] QPushButton *searchButton() const { return Button1; }

    // Appends a row for every address 0, 12, ..., 252 with the text "1.1",
    // after the rows already listed.
    void Button1Click();

private:
    void FormCreate();

    QTableView *VirtualStringTree1 = nullptr;
    QPushButton *Button1 = nullptr;
};
