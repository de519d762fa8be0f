// The control language that drives the simulated module (see README.md).
#pragma once

#include <string>

namespace vxsim {

struct SimState;

// Applies one command line; false when it is not understood (it then changes
// nothing). Blank lines and lines starting with '#' are understood as nothing.
bool applyCommand(SimState &s, const std::string &line);

// Applies the lines appended to the script file since the last read.
void applyScriptFile(SimState &s);

} // namespace vxsim
