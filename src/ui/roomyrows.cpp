#include "roomyrows.h"

#include <QAbstractItemView>
#include <QtGlobal>

QSize RoomyRowsDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // The item's own font (a bold heading) decides, not the view's.
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    size.setHeight(qMax(size.height(), item.fontMetrics.height() + 2 * Padding));
    return size;
}

void giveRowsRoom(QAbstractItemView *view)
{
    view->setItemDelegate(new RoomyRowsDelegate(view));
}
