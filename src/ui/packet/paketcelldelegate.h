#pragma once

#include <QColor>
#include <QStyledItemDelegate>

#include <functional>

// The colours in which one cell of the packet editor's grid is drawn.
struct PaketCellColours
{
    QColor background;
    QColor text;
};

// Draws and edits the cells of the packet editor's grid. Each cell is filled
// with the colours the editor chooses for it and its text is written 2 pixels
// right of and below its top-left corner. The in-place editor writes every
// change straight into the cell, so the rows always hold what the user sees,
// and Enter in it ends the edit and is handed to the editor.
class TPaketCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The colours of the cell at row and column.
    std::function<PaketCellColours(int row, int column)> cellColours;
    // The hint shown over a row; empty for none.
    std::function<QString(int row)> rowHint;
    // Enter was pressed in the in-place editor, after its text was stored.
    std::function<void()> enterPressed;
    // An edit starts: the colours of other rows may follow from this one.
    std::function<void()> editStarting;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;
};
