#pragma once

#include <QStyledItemDelegate>

// Draws the cells of a flat list as the style does, without the focus
// rectangle, and adds the chosen grid lines: a vertical line at the right
// edge of each cell, a horizontal line under each row, or both.
class TGridLineDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    TGridLineDelegate(Qt::Orientations lines, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    Qt::Orientations m_lines;
};
