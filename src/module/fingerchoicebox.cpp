#include "fingerchoicebox.h"

#include <QPainter>

void FingerChoiceBox::recolour()
{
    drawPicture();
    if (colourFingers && hasPicture())
        colourFingers();
    update();
}

void FingerChoiceBox::paintEvent(QPaintEvent *)
{
    drawPicture();
    if (colourFingers && hasPicture())
        colourFingers();
    QPainter painter(this);
    painter.drawImage(rect(), image());
}
