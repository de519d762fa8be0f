// The two 16 x 16 marks of the persons grid, drawn in code so that no image
// file has to be installed: a green tick for a person with stored templates,
// a red stop sign for one without.
#pragma once

#include <QPixmap>

QPixmap tickIcon();
QPixmap stopIcon();
