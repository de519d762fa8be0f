#include "longlistview.h"

void LongListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    const QModelIndex first = indexAt(QPoint(0, 0));
    if (!topLeft.isValid() || !bottomRight.isValid() || topLeft == bottomRight || !first.isValid()) {
        QListView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    QModelIndex last = indexAt(QPoint(0, viewport()->height() - 1));
    if (!last.isValid())
        last = model()->index(model()->rowCount(rootIndex()) - 1, modelColumn(), rootIndex());
    const int top = qMax(topLeft.row(), first.row());
    const int bottom = qMin(bottomRight.row(), last.row());
    if (top > bottom)
        return;  // nothing of the range is in view
    QListView::dataChanged(model()->index(top, topLeft.column(), topLeft.parent()),
                           model()->index(bottom, bottomRight.column(), bottomRight.parent()), roles);
}
