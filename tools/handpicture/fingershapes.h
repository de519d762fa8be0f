// The geometry of the hand picture: one table from which both the drawing and
// the finger regions are made, so that they cannot drift apart.
#pragma once

#include <QPainterPath>
#include <QSize>

// Size of the paint box the station draws the picture into; the picture is
// drawn at exactly this size so that its pixels are the regions' pixels.
constexpr QSize HandPictureSize(249, 225);

// One finger of the LEFT hand, seen from the back (thumb on its right side).
// The right hand is the mirror image. The finger is a tapered capsule from a
// base point hidden under the palm to a rounded tip.
struct FingerShape {
    double baseX, baseY; // centre of the base, under the palm
    double angle;        // degrees from vertical, positive leaning right
    double length;       // base to the outermost point of the tip
    double baseWidth, tipWidth;
};

// The five fingers of one hand: thumb, index, middle, ring, little.
const FingerShape &fingerShape(int fingerOfHand);

// The outline of one finger in picture coordinates; rightHand mirrors it.
QPainterPath fingerPath(int fingerOfHand, bool rightHand);

// The back of the hand with the wrist; it covers the finger bases, so its
// outline closes every finger off against the palm.
QPainterPath palmPath(bool rightHand);

// Knuckle marks drawn on the palm, well inside its outline.
QPainterPath knucklePath(bool rightHand);

// The sleeve cuff at the wrist.
QPainterPath cuffPath(bool rightHand);

// Finger number 1..10 as the terminals count them: 1-5 right thumb to little,
// 6-10 left thumb to little.
inline bool isRightHand(int fingerNo) { return fingerNo <= 5; }
inline int fingerOfHand(int fingerNo) { return (fingerNo - 1) % 5; }
