#include "paketselectionmodel.h"

void TPaketSelectionModel::setCurrentIndex(const QModelIndex &index,
                                           QItemSelectionModel::SelectionFlags command)
{
    if (index.isValid() && canSelect && !canSelect(index))
        return;
    QItemSelectionModel::setCurrentIndex(index, command);
}
