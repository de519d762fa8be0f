// A list view for lists of many thousands of rows. A change announced over a
// wide range of rows (all ticks at once, say) would make the plain view
// measure every row of the range to find what to repaint; this one repaints
// the rows in view, which are all that can show the change.
#pragma once

#include <QListView>

class LongListView : public QListView
{
    Q_OBJECT

public:
    using QListView::QListView;

protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
};
