// One placement of a finger on the sensor: what the module extracts from it.
#pragma once

#include "minutia.h"

namespace vxsim {

class Random;

// Forces the outcome of a placement (for tests of the retake rule); a
// negative field leaves that part to chance.
struct PlacementRequest
{
    int quality = -1;
    int minutiae = -1;
};

struct Placement
{
    int quality = 0; // 0 .. 100
    Minutiae minutiae;
};

// The finger lands slightly rotated, shifted and pressed; positions and
// directions jitter, some minutiae are lost (more at lower quality, and those
// pushed off the sensor) and a few spurious ones appear.
Placement placeFinger(const Minutiae &finger, Random &rng, const PlacementRequest &request = {});

} // namespace vxsim
