#include "about.h"

#include "core/appversion.h"
#include "core/programfolder.h"
#include "formposutils.h"
#include "lang/language.h"
#include "ui/main/messagebox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

UrlOpener &urlOpener()
{
    static UrlOpener instance;
    return instance;
}

constexpr QRgb Orange = qRgb(255, 102, 0);
constexpr QRgb Green = qRgb(0, 128, 0);
constexpr QRgb Navy = qRgb(0, 0, 128);

QFont PixelFont(int pixels, bool bold = false)
{
    QFont font(u"Arial"_s);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel *FixedLabel(QWidget *parent, const char *name, const QString &text, QRect place,
                   const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(font);
    return label;
}

void SetTextColour(QWidget *widget, QRgb colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace

void SetUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}

bool OpenUrl(const QUrl &url)
{
    if (urlOpener())
        return urlOpener()(url);
    return QDesktopServices::openUrl(url);
}

TfAbout::TfAbout(QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    FormCreate();
}

TfAbout::~TfAbout() = default;

TfAbout *TfAbout::Execute(const QString &caption)
{
    auto *about = new TfAbout();
    about->setWindowTitle(caption);
    about->show();
    RunReportingErrors(about, [about] { Language().TranslateForm(about); });
    return about;
}

QString TfAbout::MakerName()
{
    return u"Tarvel"_s;
}

QString TfAbout::MakerMail()
{
    return u"info@tarvel.example.com"_s;
}

QString TfAbout::MakerWeb()
{
    return u"https://www.tarvel.example.com/"_s;
}

QString TfAbout::GetFileVersion()
{
    return GetAppVersion();
}

QString TfAbout::HistoryPageFileName()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    return ProgramFolder() + program.completeBaseName() + u".prj.xml"_s;
}

QString TfAbout::HistoryTextFileName()
{
    return ProgramFolder() + u"history.txt"_s;
}

QString TfAbout::HistoryFileToOpen()
{
    for (const QString &name : {HistoryPageFileName(), HistoryTextFileName()}) {
        if (QFileInfo::exists(name))
            return name;
    }
    return {};
}

void TfAbout::FormCreate()
{
    setObjectName(u"fAbout"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(QFont(u"MS Sans Serif"_s, 8));
    setMouseTracking(true);

    pCenter = new QFrame(this);
    pCenter->setObjectName(u"pCenter"_s);
    pCenter->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pCenter->setFixedSize(301, 157);
    pCenter->setMouseTracking(true);

    Label1 = FixedLabel(pCenter, "Label1", u"Tarvel Terminal"_s, QRect(8, 9, 281, 39),
                        PixelFont(32, true));
    SetTextColour(Label1, Orange);
    Label7 =
        FixedLabel(pCenter, "Label7", MakerName(), QRect(10, 47, 279, 28), PixelFont(24, true));
    SetTextColour(Label7, Green);
    pMail = FixedLabel(pCenter, "pMail", MakerMail(), QRect(65, 79, 171, 22), PixelFont(13));
    pHttp = FixedLabel(pCenter, "pHttp", QUrl(MakerWeb()).host(), QRect(65, 104, 171, 22),
                       PixelFont(11));
    pHistory =
        FixedLabel(pCenter, "pHistory", u"historie"_s, QRect(65, 127, 171, 22), PixelFont(11));
    lVersion = FixedLabel(pCenter, "lVersion", QString(), QRect(8, 160, 281, 13), font());
    lVersion->hide();
    // The labels are drawn on the background: moving over them is moving
    // over the background, which clears the highlight.
    for (QLabel *label : {Label1, Label7, lVersion})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_links = {pMail, pHttp, pHistory};
    for (QLabel *link : m_links) {
        link->setCursor(Qt::PointingHandCursor);
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }
    pCenter->installEventFilter(this);
    installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(pCenter);

    pHistory->setText(u"Verze: "_s + GetFileVersion());
}

void TfAbout::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    CentreOnScreen(this);
}

bool TfAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == pMail)
            pMailMouseMove();
        else if (watched == pHttp)
            pHttpMouseMove();
        else if (watched == pHistory)
            pHistoryMouseMove();
        else if (watched == pCenter || watched == this)
            pCenterMouseMove();
        // The links handle their own movement; it must not reach the
        // background under them, which would clear the highlight again.
        return watched == pMail || watched == pHttp || watched == pHistory;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const auto *panel = qobject_cast<QWidget *>(watched);
        const bool clicked = mouse->button() == Qt::LeftButton && panel &&
                             panel->rect().contains(mouse->position().toPoint());
        if (clicked && watched == pMail)
            pMailClick();
        else if (clicked && watched == pHttp)
            pHttpClick();
        else if (clicked && watched == pHistory)
            pHistoryClick();
    }
    return QWidget::eventFilter(watched, event);
}

void TfAbout::SetAsDefault()
{
    if (std::find(m_highlighted.begin(), m_highlighted.end(), true) == m_highlighted.end())
        return;
    for (QLabel *link : m_links) {
        link->setFrameStyle(QFrame::NoFrame);
        // An empty palette takes the window's colours again.
        link->setPalette(QPalette());
    }
    m_highlighted.fill(false);
}

void TfAbout::Highlight(Link link)
{
    if (m_highlighted[link])
        return;
    SetAsDefault();
    // A raised inner and a sunken outer edge: an etched outline.
    m_links[link]->setFrameStyle(QFrame::Box | QFrame::Sunken);
    SetTextColour(m_links[link], Navy);
    m_highlighted[link] = true;
}

void TfAbout::pMailMouseMove()
{
    Highlight(Mail);
}

void TfAbout::pHttpMouseMove()
{
    Highlight(Http);
}

void TfAbout::pHistoryMouseMove()
{
    // The history is a link only while one of its files is there.
    if (HistoryFileToOpen().isEmpty()) {
        pHistory->setCursor(Qt::ArrowCursor);
        return;
    }
    pHistory->setCursor(Qt::PointingHandCursor);
    Highlight(History);
}

void TfAbout::pCenterMouseMove()
{
    SetAsDefault();
}

void TfAbout::pMailClick()
{
    OpenUrl(QUrl(u"mailto:"_s + MakerMail()));
}

void TfAbout::pHttpClick()
{
    OpenUrl(QUrl(MakerWeb()));
}

void TfAbout::pHistoryClick()
{
    const QString fileName = HistoryFileToOpen();
    if (!fileName.isEmpty())
        OpenUrl(QUrl::fromLocalFile(fileName));
}
