// The station's installation data: the hand picture hands_small_256.bmp and
// the region file finger.bin that belongs to it.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>

// The picture of both hands, 249 x 225, 8-bit indexed. Every finger is a
// plain area of one exact colour inside its own closed outline, so that a
// surface fill from inside it colours exactly that finger. The labels need a
// QGuiApplication for their font. Null if the drawing does not fit a
// 256-colour table.
QImage drawHands();

// The ten hit regions, index n - 1 for finger n, numbered as the terminals
// count: 1 to 5 right thumb to little finger, 6 to 10 left thumb to little
// finger. Each encloses the visible finger with its outline. Right and bottom
// edges belong outside, as in the region file.
QVector<QRect> fingerRegions();

// The 160 bytes of finger.bin: Left, Top, Right, Bottom of each region as
// signed 32-bit little-endian values, Right and Bottom excluded.
QByteArray regionFileBytes(const QVector<QRect> &regions);

// Writes both files into dir, each first to a temporary file and then renamed,
// so a failed run never leaves half a file. Returns an error text, empty on
// success.
QString writeInstallationData(const QString &dir);
