#include "toolwindows.h"

#include "about.h"
#include "asciitable.h"
#include "formposutils.h"
#include "lang/language.h"
#include "programlogo.h"
#include "scaner.h"
#include "ui/main/mainwindow.h"
#include "ui/main/terminallogview.h"

#include "ui/main/namedobject.h"
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;

namespace {

// The main window's handlers for the auxiliary windows, and the owner of
// the windows that have no parent: the ASCII table, created once, and the
// About windows, which close themselves but go with the main window at the
// latest.
class ToolWindows : public QObject
{
public:
    explicit ToolWindows(TfMainTarvelTerm &window) : QObject(&window), m_window(window)
    {
        buildUtilityMenu();
        buildAbout();
        new TCorrectionMenuItem(m_window.findChild<QMenu *>(u"mimView"_s), "mimViewCenterForms",
                                this);
        m_window.RightJustifyMenuItems();
    }

    ~ToolWindows() override
    {
        delete m_asciiTable;
        for (const QPointer<TfAbout> &about : std::as_const(m_aboutWindows))
            delete about;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_image && event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_aAbout->trigger();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void buildUtilityMenu()
    {
        QMenuBar *bar = m_window.menuBar();
        auto *mimUtility = named(new QMenu(u"Nástroje"_s, bar), "mimUtility");
        const QMenu *mimView = m_window.findChild<QMenu *>(u"mimView"_s);
        bar->insertMenu(mimView ? mimView->menuAction() : nullptr, mimUtility);

        auto *aAsciiTable = named(new QAction(u"ASCII tabulka"_s, &m_window), "aAsciiTable");
        aAsciiTable->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
        connect(aAsciiTable, &QAction::triggered, this, &ToolWindows::aAsciiTableExecute);
        m_window.addActionItem(mimUtility, "mimUtilityAsciiTable", aAsciiTable);

        // The scanner does not search yet, so its item stays hidden.
        auto *scaner = named(mimUtility->addAction(u"Tarvel scaner"_s), "mimUtilityTarvelScaner");
        scaner->setVisible(false);
        connect(scaner, &QAction::triggered, this, &ToolWindows::mimUtilityTarvelScanerClick);
    }

    void buildAbout()
    {
        m_aAbout = named(new QAction(u"O Aplikaci"_s, &m_window), "aAbout");
        connect(m_aAbout, &QAction::triggered, this, &ToolWindows::aAboutExecute);

        // The item stands before the language menu at the right end of the
        // menu bar, and hides with it while a language file is applied.
        auto *bar = m_window.findChild<QMenuBar *>(u"mbRight"_s);
        const QMenu *mimLng = m_window.findChild<QMenu *>(u"mimLng"_s);
        auto *mimAbout = named(new QAction(m_aAbout->text(), bar), "mimAbout");
        bar->insertAction(mimLng ? mimLng->menuAction() : nullptr, mimAbout);
        const auto follow = [mimAbout, action = m_aAbout] {
            mimAbout->setText(action->text());
            mimAbout->setToolTip(action->toolTip());
            mimAbout->setEnabled(action->isEnabled());
        };
        follow();
        connect(m_aAbout, &QAction::changed, mimAbout, follow);
        connect(mimAbout, &QAction::triggered, m_aAbout, &QAction::trigger);

        TLanguage &language = Language();
        connect(&language, &TLanguage::translationStarting, mimAbout,
                [mimAbout] { mimAbout->setVisible(false); });
        connect(&language, &TLanguage::translationFinished, mimAbout, [this, mimAbout] {
            mimAbout->setVisible(true);
            m_window.RightJustifyMenuItems();
        });

        m_image = m_window.findChild<QLabel *>(u"Image1"_s);
        if (m_image) {
            m_image->setPixmap(ProgramLogo(m_image->size()));
            m_image->setCursor(Qt::PointingHandCursor);
            m_image->installEventFilter(this);
        }
    }

    void aAsciiTableExecute()
    {
        if (!m_asciiTable) {
            m_asciiTable = new TfAsciiTable();
            connect(m_window.logView(), &TTerminalLogView::byteSelected, m_asciiTable,
                    &TfAsciiTable::SelectByte);
        }
        if (m_asciiTable->isVisible()) {
            m_asciiTable->setWindowState(m_asciiTable->windowState() & ~Qt::WindowMinimized);
            m_asciiTable->raise();
            m_asciiTable->activateWindow();
        } else {
            m_asciiTable->show();
        }
    }

    void mimUtilityTarvelScanerClick()
    {
        auto *scaner = new TfScaner(&m_window);
        scaner->show();
    }

    void aAboutExecute()
    {
        m_aboutWindows.removeAll(nullptr);
        m_aboutWindows.append(TfAbout::Execute(m_window.windowTitle()));
    }

    TfMainTarvelTerm &m_window;
    QAction *m_aAbout = nullptr;
    QLabel *m_image = nullptr;
    QPointer<TfAsciiTable> m_asciiTable;
    QList<QPointer<TfAbout>> m_aboutWindows;
};

} // namespace

void AttachToolWindows(TfMainTarvelTerm &window)
{
    new ToolWindows(window);
}
