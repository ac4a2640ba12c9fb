#include "capturecommands.h"

#include "capture/capturefilereader.h"
#include "mainwindow.h"
#include "messagebox.h"
#include "progresssimple.h"
#include "terminallogview.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <climits>

namespace {

// While a file is opened the progress window is repainted, and timers run,
// but neither the user's input nor the link's data is taken in: bytes that
// arrive meanwhile wait for the opening to end instead of mixing with the
// file's datagrams.
constexpr QEventLoop::ProcessEventsFlags KeepPainting =
    QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers;

QString defaultDialog(QWidget *parent, const CaptureFileDialogRequest &request)
{
    if (request.kind == CaptureFileDialogRequest::Kind::Save)
        return QFileDialog::getSaveFileName(parent, QString(), request.fileName, request.filter);
    return QFileDialog::getOpenFileName(parent, QString(), request.fileName, request.filter);
}

CaptureFileDialog &fileDialog()
{
    static CaptureFileDialog instance;
    return instance;
}

QString askFileName(QWidget *parent, const CaptureFileDialogRequest &request)
{
    return fileDialog() ? fileDialog()(parent, request) : defaultDialog(parent, request);
}

QString dataFilter()
{
    return QStringLiteral("XML data (*.xml)");
}

int gaugeValue(qsizetype value)
{
    return int(std::min<qsizetype>(value, INT_MAX));
}

// The hourglass for as long as the scope lasts.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

constexpr qint64 ExposeWaitMs = 200;

bool isExposed(const QWidget *window)
{
    return window->windowHandle() && window->windowHandle()->isExposed();
}

// The progress window, shown and painted at once, closed (and so deleted)
// when the scope ends.
class ShownProgress
{
public:
    explicit ShownProgress(QWidget *parent) : m_window(new TfProgressSimple(parent))
    {
        m_window->show();
        // The window system shows the window a moment after show(); give it
        // that moment so that the window is painted before a long parse.
        QElapsedTimer waited;
        waited.start();
        QCoreApplication::processEvents(KeepPainting);
        while (m_window && !isExposed(m_window) && waited.elapsed() < ExposeWaitMs) {
            QThread::msleep(2);
            QCoreApplication::processEvents(KeepPainting);
        }
    }
    ~ShownProgress()
    {
        if (m_window)
            m_window->close();
    }
    ShownProgress(const ShownProgress &) = delete;
    ShownProgress &operator=(const ShownProgress &) = delete;

    [[nodiscard]] TfProgressSimple *window() const { return m_window; }

private:
    QPointer<TfProgressSimple> m_window;
};

// The log's repainting suspended for as long as the scope lasts.
class BatchUpdate
{
public:
    explicit BatchUpdate(TTerminalLogView *view) : m_view(view) { m_view->beginUpdate(); }
    ~BatchUpdate() { m_view->endUpdate(); }
    BatchUpdate(const BatchUpdate &) = delete;
    BatchUpdate &operator=(const BatchUpdate &) = delete;

private:
    TTerminalLogView *m_view;
};

QAction *namedAction(QObject *parent, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction *menuItem(const QMenu *menu, QLatin1StringView name)
{
    const QList<QAction *> items = menu->actions();
    const auto found = std::find_if(items.begin(), items.end(), [name](const QAction *item) {
        return item->objectName() == name;
    });
    return found == items.end() ? nullptr : *found;
}

} // namespace

void SetCaptureFileDialog(CaptureFileDialog dialog)
{
    fileDialog() = std::move(dialog);
}

TCaptureCommands::TCaptureCommands(TfMainTarvelTerm &window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("captureCommands"));
    aSaveData = namedAction(&window, "aSaveData", QStringLiteral("Uložit data"));
    aSaveData->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    aOpenData = namedAction(&window, "aOpenData", QStringLiteral("Načíst data"));
    connect(aSaveData, &QAction::triggered, this, &TCaptureCommands::aSaveDataExecute);
    connect(aOpenData, &QAction::triggered, this, &TCaptureCommands::aOpenDataExecute);

    auto *mimFile = window.findChild<QMenu *>(QStringLiteral("mimFile"));
    if (!mimFile)
        return;
    mimSaveData = window.addActionItem(mimFile, "mimSaveData", aSaveData);
    mimLoadData = window.addActionItem(mimFile, "mimLoadData", aOpenData);
    mimLoadData->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    // The items were appended; they belong before the closing item, in a
    // group of their own.
    if (QAction *mimClose = menuItem(mimFile, QLatin1StringView("mimClose"))) {
        for (QAction *item : {mimSaveData, mimLoadData}) {
            mimFile->removeAction(item);
            mimFile->insertAction(mimClose, item);
        }
        mimFile->insertSeparator(mimClose);
    }
}

void TCaptureCommands::aSaveDataExecute()
{
    const QString fileName = askFileName(&m_window, {CaptureFileDialogRequest::Kind::Save,
                                                     QStringLiteral("data.xml"), dataFilter()});
    if (fileName.isEmpty())
        return;
    RunReportingErrors(&m_window, [this, &fileName] { SaveData(fileName); });
}

void TCaptureCommands::aOpenDataExecute()
{
    const QString fileName =
        askFileName(&m_window, {CaptureFileDialogRequest::Kind::Open, QString(), dataFilter()});
    if (fileName.isEmpty())
        return;
    RunReportingErrors(&m_window, [this, &fileName] { OpenData(fileName); });
}

void TCaptureCommands::SaveData(const QString &fileName)
{
    m_window.parser().SaveToFile(fileName);
}

void TCaptureCommands::OpenData(const QString &fileName)
{
    // Destroyed in reverse order, also when an error leaves: the log's
    // repainting resumes, the progress window closes, the cursor returns.
    const WaitCursor cursor;
    const ShownProgress progress(&m_window);
    const TCaptureFileReader reader(fileName);

    TTarvelParser &parser = m_window.parser();
    parser.Clear();
    if (TfProgressSimple *gauge = progress.window()) {
        gauge->setMaximum(gaugeValue(reader.nodeCount()));
        gauge->reset();
    }
    const BatchUpdate batch(m_window.logView());
    reader.HandOver(parser, [&progress](qsizetype steps) {
        if (TfProgressSimple *gauge = progress.window())
            gauge->setProgress(gaugeValue(steps));
        QCoreApplication::processEvents(KeepPainting);
    });
}

void AttachCaptureCommands(TfMainTarvelTerm &window)
{
    new TCaptureCommands(window);
}
