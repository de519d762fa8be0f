// A grid column that takes the width the other columns leave free, yet stays
// resizable by the operator like every other column (a stretched header
// section cannot be dragged). It is fitted again whenever the grid's visible
// width changes (the window resized, the vertical scroll bar shown or hidden),
// and left alone when only the operator dragged a column.
#pragma once

class QTableView;

// The view owns what keeps the column fitted.
void letColumnFill(QTableView *view, int column, int minimumWidth);
