// Virtual fingers: the same identifier always gives the same minutiae.
#pragma once

#include "minutia.h"

#include <string>

namespace vxsim {

// 30 to 50 minutiae spread over the sensor area, their directions following a
// smooth ridge flow around a core, as on a real finger (which keeps impostor
// comparisons from being trivially easy: all fingers share the flow pattern).
Minutiae virtualFinger(const std::string &identifier);

} // namespace vxsim
