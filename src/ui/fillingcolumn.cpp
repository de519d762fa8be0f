#include "fillingcolumn.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

namespace {

class ColumnFitter : public QObject
{
public:
    ColumnFitter(QTableView *view, int column, int minimumWidth)
        : QObject(view), m_view(view), m_column(column), m_minimum(minimumWidth)
    {
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        view->horizontalHeader()->setStretchLastSection(false);
        view->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Not only on resize events: the margins of the row header change the
        // viewport's width while it is hidden, without a resize event at the showing.
        // The viewport still sends events while the grid around it is being
        // destroyed; by then the grid is no longer a table view to ask.
        if (!qobject_cast<QTableView *>(parent()))
            return false;
        if (watched == m_view->viewport() && event->type() != QEvent::Destroy) {
            const int width = m_view->viewport()->width();
            // A horizontal scroll bar appearing changes only the height: the
            // operator's own column widths stay.
            if (width != m_width) {
                m_width = width;
                fit();
            }
        }
        return false;
    }

private:
    void fit()
    {
        QHeaderView *header = m_view->horizontalHeader();
        int others = 0;
        for (int i = 0; i < header->count(); ++i)
            if (i != m_column && !header->isSectionHidden(i))
                others += header->sectionSize(i);
        header->resizeSection(m_column, qMax(m_minimum, m_width - others));
    }

    QTableView *m_view;
    int m_column;
    int m_minimum;
    int m_width = -1;
};

}  // namespace

void letColumnFill(QTableView *view, int column, int minimumWidth)
{
    new ColumnFitter(view, column, minimumWidth);
}
