// The boundary of an operator action: an exception thrown by the action (a
// database error, for instance) ends the action and shows its text; none
// crosses the Qt event loop.
#pragma once

#include <functional>

class OperatorUi;

// Runs action; returns false when it ended with an exception, whose text was shown.
bool guarded(OperatorUi &ui, const std::function<void()> &action);
