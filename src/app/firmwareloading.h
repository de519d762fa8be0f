// The menu item "Firmware laden": hands a file chosen by the operator, unread,
// to the module library.
#pragma once

struct Station;

// Blocks the user interface while the module loads the file, as the library
// call does.
void Firmwareladen1Click(Station &station);
