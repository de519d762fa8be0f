// The hand picture of the transfer dialog: every repaint draws the picture
// afresh and colours the fingers by their choice, so the colours survive any
// repaint instead of lasting only until the next one.
#pragma once

#include "handpicturebox.h"

#include <functional>

class FingerChoiceBox : public HandPictureBox
{
    Q_OBJECT

public:
    using HandPictureBox::HandPictureBox;

    // Fills the fingers onto image(); set by the dialog.
    std::function<void()> colourFingers;

    // Draws the picture and the colours into image() now, and shows them.
    void recolour();

protected:
    void paintEvent(QPaintEvent *event) override;
};
