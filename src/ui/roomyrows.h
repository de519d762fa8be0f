// List rows with room between them. The style makes a row only as high as the
// font, so the dots of a capital umlaut touch the descenders of the row above.
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

class RoomyRowsDelegate : public QStyledItemDelegate
{
public:
    // Pixels above and below the text of each row.
    static constexpr int Padding = 2;

    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

// Gives the view's rows that room; the delegate belongs to the view.
void giveRowsRoom(QAbstractItemView *view);
