// The exchange between the main window's scanner settings and the settings
// dialog, and their storage in the settings store.
#pragma once

#include <functional>

struct Station;
class TSetupform;

// Sets every control of the dialog from the station's fields. A slider keeps
// its position when the value lies outside its range; a port that is not in
// the list is added to it and chosen, so that OK does not replace it.
void fillSetupForm(const Station &station, TSetupform &form);

// Takes the dialog's values into the station's fields, as on "OK".
void takeSetupForm(Station &station, const TSetupform &form);

// Writes the nine scanner settings to section PELVAR of station.Settings in
// one transaction. Throws DbError; nothing is stored then.
void SaveSettings(Station &station);

// Reads the nine scanner settings from station.Settings into the station's
// fields, with their defaults (the start-up's order). Throws DbError.
void LoadSettings(Station &station);

// The menu item "Einstellungen": fills and shows the dialog modally; on OK
// forces the module's next initialisation and takes the values; in every case
// then runs updateCaption (the port detection with the window title) and
// SaveSettings.
void Einstellungen1Click(Station &station, TSetupform &form, const std::function<void()> &updateCaption);
