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

// The outline of one finger in picture coordinates, fingerOfHand 0 to 4 for
// thumb, index, middle, ring, little; rightHand mirrors it.
QPainterPath fingerPath(int fingerOfHand, bool rightHand);

// The back of the hand with the wrist; it covers the finger bases, so its
// outline closes every finger off against the palm.
QPainterPath palmPath(bool rightHand);

// Knuckle marks drawn on the palm, well inside its outline.
QPainterPath knucklePath(bool rightHand);

// The sleeve cuff at the wrist.
QPainterPath cuffPath(bool rightHand);
