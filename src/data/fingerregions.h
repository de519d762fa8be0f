// The finger regions of the hand picture, from the region file finger.bin
// next to the program: ten records of Left, Top, Right, Bottom as signed
// 32-bit little-endian values, record n for finger n.
#pragma once

#include <QString>

class FingerList;

// Rebuilds the ten finger records and reads their regions from
// programDir + "finger.bin". A missing file leaves every region empty; a short
// one leaves the fields beyond its end 0. Neither is reported: an empty region
// simply cannot be hit.
void CreateFingers(FingerList &fingers, const QString &programDir);
