#pragma once

#include <QWidget>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QUrl;

// Opens a link or a file with the desktop's own handler. Replaceable so that
// tests see what would be opened without starting anything; an empty opener
// restores the desktop's. A failure is not reported to the user.
using UrlOpener = std::function<bool(const QUrl &url)>;
void SetUrlOpener(UrlOpener opener);
bool OpenUrl(const QUrl &url);

// The About window fAbout: the product and its maker, the program's version
// and three links: the maker's e-mail, the maker's web site and the
// program's history, a document beside the program. Pointing at a link
// outlines it; only one link is outlined at a time. Each use opens another
// window, which destroys itself when closed.
class TfAbout : public QWidget
{
    Q_OBJECT

public:
    // The three link panels, in the order of their highlight flags.
    enum Link
    {
        Mail,
        Http,
        History
    };

    explicit TfAbout(QWidget *parent = nullptr);
    ~TfAbout() override;

    // Opens a new window: titled like the main window, shown without
    // blocking, then translated, so a language file's caption wins.
    static TfAbout *Execute(const QString &caption);

    static QString MakerName();
    static QString MakerMail();
    static QString MakerWeb();

    // The program's version, four numbers joined by ".".
    static QString GetFileVersion();
    // The history page, the program file's name with ".prj.xml" in place of
    // its extension, and the history text "history.txt"; both lie in the
    // program's folder.
    static QString HistoryPageFileName();
    static QString HistoryTextFileName();
    // The history file a click opens: the page when it exists, else the
    // text when it exists, else none (empty).
    static QString HistoryFileToOpen();

    [[nodiscard]] QLabel *linkPanel(Link link) const { return m_links[link]; }
    [[nodiscard]] bool isHighlighted(Link link) const { return m_highlighted[link]; }

    // Returns every link panel to its plain look, when one is highlighted.
    void SetAsDefault();

    void pMailClick();
    void pHttpClick();
    void pHistoryClick();
    void pMailMouseMove();
    void pHttpMouseMove();
    void pHistoryMouseMove();
    void pCenterMouseMove();

protected:
    // Mouse movement and clicks over the panels and the background.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void Highlight(Link link);

    QFrame *pCenter = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *pMail = nullptr;
    QLabel *pHttp = nullptr;
    QLabel *pHistory = nullptr;
    QLabel *lVersion = nullptr;
    std::array<QLabel *, 3> m_links{};
    std::array<bool, 3> m_highlighted{};
    bool m_placed = false;
};
