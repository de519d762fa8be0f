// Opening, initialising, closing and clearing the module, for every window
// that uses it. The enrolment dialog exposes OpenModule and ModuleInitialised
// as its own; the main window exposes CloseModule and ClearModule.
#pragma once

#include <cstdint>

struct Station;
class ModuleLibrary;

class ModuleSession
{
public:
    ModuleSession(Station &station, ModuleLibrary &library);

    // Opens the port when it is closed (message "Kann Comport nicht öffnen" on
    // failure) and initialises the module once with the scanner settings.
    bool OpenModule();
    // VXMComClose, then ModuleOpen false; ModuleInitialised stays.
    void CloseModule();
    // Empties the module's template store.
    bool ClearModule();

    // True once VXMInit succeeded with the current scanner settings; the
    // settings dialog clears it when new settings are accepted.
    bool ModuleInitialised = false;

    ModuleLibrary &library() { return m_library; }
    Station &station() { return m_station; }

private:
    Station &m_station;
    ModuleLibrary &m_library;
    bool m_loadErrorShown = false;
};
