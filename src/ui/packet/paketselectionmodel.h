#pragma once

#include <QItemSelectionModel>

#include <functional>

// The selection model of the packet editor's grid. The grid asks it before
// the current cell moves: a cell the editor refuses never becomes current,
// whether the move comes from the mouse, the keyboard or the program.
class TPaketSelectionModel : public QItemSelectionModel
{
    Q_OBJECT

public:
    using QItemSelectionModel::QItemSelectionModel;

    // Asked with the cell about to become current; false keeps the current
    // cell where it is. Unset, every cell may become current.
    std::function<bool(const QModelIndex &index)> canSelect;

    void setCurrentIndex(const QModelIndex &index,
                         QItemSelectionModel::SelectionFlags command) override;
};
