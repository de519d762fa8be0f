// Minutiae matcher.
//
// Alignment: pairs of neighbouring minutiae are described by what does not
// change when the finger turns or moves (their distance and the directions of
// both minutiae relative to the line joining them). A pair of one template
// that resembles a pair of the other proposes a rotation and translation; the
// proposals are voted on, and the best-supported ones are tried. Each trial
// pairs the aligned minutiae greedily, closest first, within distance and
// direction tolerances; the best trial is refined once by a least-squares fit
// of its pairs. The score is 255 times the fraction of minutiae paired,
// 2 p / (n1 + n2).
#pragma once

#include "minutia.h"

#include <vector>

namespace vxsim {

// A template ready for matching: decoded once when it reaches the module.
struct PreparedTemplate
{
    struct Pair
    {
        float distance; // pixels
        float angleA;   // direction of the first minutia relative to the joining line
        float angleB;   // direction of the second minutia relative to the joining line
        float line;     // direction of the joining line
        float midX, midY;
    };

    Minutiae minutiae;
    std::vector<Pair> pairs; // ascending by distance
};

PreparedTemplate prepareTemplate(Minutiae minutiae);

// 0 .. 255; symmetric up to the greedy pairing.
int matchScore(const PreparedTemplate &a, const PreparedTemplate &b);

// The score a comparison must reach at a security level: 20 + security,
// at most 255 (security 60 of the station's default: 80).
int matchThreshold(int security);

} // namespace vxsim
