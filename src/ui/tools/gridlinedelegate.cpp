#include "gridlinedelegate.h"

#include <QPainter>

TGridLineDelegate::TGridLineDelegate(Qt::Orientations lines, QObject *parent)
    : QStyledItemDelegate(parent), m_lines(lines)
{}

void TGridLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    QStyleOptionViewItem cell(option);
    cell.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, cell, index);

    painter->save();
    painter->setPen(option.palette.color(QPalette::Mid));
    const QRect r = option.rect;
    if (m_lines & Qt::Vertical)
        painter->drawLine(r.topRight(), r.bottomRight());
    if (m_lines & Qt::Horizontal)
        painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
}
