#include "languagemenu.h"

#include "core/programfolder.h"
#include "flags.h"
#include "language.h"
#include "ui/main/messagebox.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace {

// Lets a menu bar item show its picture and its text side by side (menu
// bars otherwise show the picture alone), and lets menus show flags at their
// full size.
class FlagMenuStyle : public QProxyStyle
{
public:
    explicit FlagMenuStyle(QWidget *widget)
        : QProxyStyle(QStyleFactory::create(widget->style()->name()))
    {
        setParent(widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        if (metric == PM_SmallIconSize && qobject_cast<const QMenu *>(widget))
            return qMax(value, FlagWidth);
        return value;
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (type != CT_MenuBarItem || !hasFlagAndText(item))
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        const QSize text = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
        const QSize contents(FlagWidth + Spacing + text.width(), qMax(FlagHeight, text.height()));
        return QProxyStyle::sizeFromContents(type, option, contents, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element != CE_MenuBarItem || !hasFlagAndText(item)) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        // The background (highlighted while the menu is open) as for an
        // empty item, then the flag and the text on it.
        QStyleOptionMenuItem background = *item;
        background.icon = QIcon();
        background.text.clear();
        QProxyStyle::drawControl(element, &background, painter, widget);

        const bool enabled = item->state.testFlag(State_Enabled);
        const int width =
            FlagWidth + Spacing + item->fontMetrics.size(Qt::TextShowMnemonic, item->text).width();
        const QPoint flagAt(item->rect.left() + (item->rect.width() - width) / 2,
                            item->rect.top() + (item->rect.height() - FlagHeight) / 2);
        const QPixmap flag =
            item->icon.pixmap(QSize(FlagWidth, FlagHeight), painter->device()->devicePixelRatio(),
                              enabled ? QIcon::Normal : QIcon::Disabled);
        painter->drawPixmap(flagAt, flag);

        QRect textRect = item->rect;
        textRect.setLeft(flagAt.x() + FlagWidth + Spacing);
        int alignment = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextDontClip |
                        Qt::TextSingleLine;
        if (!proxy()->styleHint(SH_UnderlineShortcut, item, widget))
            alignment |= Qt::TextHideMnemonic;
        const bool open =
            item->state.testFlag(State_Selected) && item->state.testFlag(State_Sunken);
        proxy()->drawItemText(painter, textRect, alignment, item->palette, enabled, item->text,
                              open ? QPalette::HighlightedText : QPalette::ButtonText);
    }

private:
    static constexpr int Spacing = 4;

    static bool hasFlagAndText(const QStyleOptionMenuItem *item)
    {
        return item && !item->icon.isNull() && !item->text.isEmpty();
    }
};

void ShowFlagsIn(QWidget *widget)
{
    if (widget && !dynamic_cast<FlagMenuStyle *>(widget->style()))
        widget->setStyle(new FlagMenuStyle(widget));
}

// The menu and the menu bars that show it as one of their items.
void ShowFlagsInMenu(QMenu *menu)
{
    ShowFlagsIn(menu);
    for (QObject *shownIn : menu->menuAction()->associatedObjects())
        ShowFlagsIn(qobject_cast<QMenuBar *>(shownIn));
}

QIcon FlagIcon(const QString &flagName)
{
    const QPixmap flag = FlagPicture(flagName);
    return flag.isNull() ? QIcon() : QIcon(flag);
}

} // namespace

QString LanguageFilePattern()
{
    return ProgramFolder() + QStringLiteral("tt.files/tt.lng.*.xml");
}

void BuildLanguageMenu(QMenu *mimLng, const QString &pattern)
{
    if (!mimLng)
        return;
    mimLng->clear();
    ShowFlagsInMenu(mimLng);
    TLanguage &language = Language();
    language.FindLanguages(pattern);
    for (qsizetype i = 0; i < language.languageCount(); ++i) {
        const TLanguageItem *item = language.languageAt(i);
        QAction *entry = mimLng->addAction(item->displayName());
        entry->setData(i);
        LoadLngBitmatp(item->flag(), entry);
        QObject::connect(entry, &QAction::triggered, entry, [entry] { mimLngClick(entry); });
    }
    mimLng->setTitle(mimLng->actions().isEmpty() ? QString() : QStringLiteral("language"));
}

void mimLngClick(const QAction *entry)
{
    if (!entry)
        return;
    bool isIndex = false;
    const qsizetype index = entry->data().toLongLong(&isIndex);
    const TLanguageItem *item = isIndex ? Language().languageAt(index) : nullptr;
    if (!item)
        return;
    const QString fileName = item->fileName();
    // Errors are shown over the window whose menu bar holds the menu.
    const auto *menu = qobject_cast<const QMenu *>(entry->parent());
    QWidget *parent = menu && menu->parentWidget() ? menu->parentWidget()->window() : nullptr;
    RunReportingErrors(parent, [&fileName] { Language().LoadLanguageFile(fileName); });
}

void LoadLngBitmatp(const QString &flagName, QAction *item)
{
    if (item)
        item->setIcon(FlagIcon(flagName));
}

void LoadLngBitmatp(const QString &flagName, QMenu *item)
{
    if (!item)
        return;
    ShowFlagsInMenu(item);
    item->setIcon(FlagIcon(flagName));
}
