#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

// Surface fill: every pixel 4-connected to start that has exactly the colour
// of start is painted in colour. A start outside the image changes nothing.
// Returns the number of pixels painted.
int floodFill(QImage &image, QPoint start, QColor colour);
