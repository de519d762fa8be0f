// The finger regions of the hand picture, from the region file finger.bin
// next to the program: ten records of Left, Top, Right, Bottom as signed
// 32-bit little-endian values, record n for finger n.
#pragma once

#include <QString>

class FingerList;

// The paint box every window draws the hand picture into; a region must lie in it.
enum { HandBoxWidth = 249, HandBoxHeight = 225, RegionFileSize = 160 };

// Rebuilds the ten finger records and reads their regions from
// programDir + "finger.bin". The file is checked as a whole: when it is
// missing, shorter than ten records, or holds a region that is empty or
// reaches outside the picture, every region stays empty and the returned
// text names the file and what is wrong with it. An empty text: all ten read.
QString CreateFingers(FingerList &fingers, const QString &programDir);
