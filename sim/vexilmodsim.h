// The simulator's own exports beside the module library contract, for tests
// and for driving a demonstration (see README.md).
#pragma once

#ifndef VXM_DECLARE_EXPORTS
#define VXM_DECLARE_EXPORTS
#endif
#include "vexilmod.h"

#ifdef __cplusplus
extern "C" {
#endif

// One command of the control language, e.g. "FINGER anna-3"; 1 when understood.
VXM_EXPORT int32_t VXM_CALL VXMSimCommand(const char *line);

// How often a contract function (e.g. "VXMComClose") was entered since the
// library was loaded or reset; "placements" counts finger placements,
// retakes included. -1 for a name it does not count.
VXM_EXPORT int32_t VXM_CALL VXMSimCallCount(const char *functionName);

#ifdef __cplusplus
}
#endif
