#include "paketcelldelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolTip>

void TPaketCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    const PaketCellColours colours = cellColours
                                         ? cellColours(index.row(), index.column())
                                         : PaketCellColours{option.palette.color(QPalette::Base),
                                                            option.palette.color(QPalette::Text)};
    painter->save();
    painter->fillRect(option.rect, colours.background);
    painter->setPen(colours.text);
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(2, 2, 0, 0),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QWidget *TPaketCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    Q_UNUSED(option);
    Q_UNUSED(index);
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    auto *self = const_cast<TPaketCellDelegate *>(this);
    connect(editor, &QLineEdit::textEdited, self,
            [self, editor] { emit self->commitData(editor); });
    if (editStarting)
        editStarting();
    return editor;
}

void TPaketCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The cell is written back on every key, and the view then hands its
    // text to the editor again: leave the editor (and its cursor) alone when
    // nothing differs.
    auto *line = qobject_cast<QLineEdit *>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (line && line->text() != text)
        line->setText(text);
}

bool TPaketCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                   const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event && event->type() == QEvent::ToolTip && index.isValid() && rowHint) {
        const QString hint = rowHint(index.row());
        if (!hint.isEmpty()) {
            QToolTip::showText(event->globalPos(), hint, view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

bool TPaketCellDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *editor = qobject_cast<QWidget *>(object);
        if (editor && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            if (enterPressed)
                enterPressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
