#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QWidget;
class TfMainTarvelTerm;

// What a capture-file dialog is asked to show.
struct CaptureFileDialogRequest
{
    enum class Kind
    {
        Save,
        Open
    };
    Kind kind = Kind::Open;
    // The name proposed to the user; empty for opening.
    QString fileName;
    QString filter;
};

// Asks the user for a file name; an empty name means the user cancelled.
using CaptureFileDialog =
    std::function<QString(QWidget *parent, const CaptureFileDialogRequest &request)>;
// Replaces the file dialogs of the capture commands (tests answer without a
// window); an empty function restores the dialogs.
void SetCaptureFileDialog(CaptureFileDialog dialog);

// The main window's capture-file commands: saving the splitter's capture as
// an XML data file, and opening one by handing its datagrams back to the
// splitter, which cuts them again and adds their rows to the log.
class TCaptureCommands : public QObject
{
    Q_OBJECT

public:
    // Creates the actions and puts their items into the File menu, between
    // the link commands and the closing item.
    explicit TCaptureCommands(TfMainTarvelTerm &window);

    // Asks for a file name and saves; errors are shown in a message box.
    void aSaveDataExecute();
    // Asks for a file name and opens; errors are shown in a message box.
    void aOpenDataExecute();

    // Writes the capture to the file. Throws AppError when it cannot.
    void SaveData(const QString &fileName);
    // Opens the file under a wait cursor and the progress window: empties
    // the splitter and hands it every datagram of the file without force,
    // with the log's repainting suspended. A file that cannot be read or
    // parsed changes nothing; a data pair that is not hex stops the opening
    // there, and what was handed over before stays. The clean-up (log,
    // progress window, cursor) has run when an error is thrown.
    void OpenData(const QString &fileName);

    QAction *aSaveData = nullptr;
    QAction *aOpenData = nullptr;
    QAction *mimSaveData = nullptr;
    QAction *mimLoadData = nullptr;

private:
    TfMainTarvelTerm &m_window;
};

// Gives the main window its capture-file commands; they live as long as it.
void AttachCaptureCommands(TfMainTarvelTerm &window);
