// Opening, initialising, closing and clearing the module, for every window
// that uses it. The enrolment dialog exposes OpenModule and ModuleInitialised
// as its own; the main window exposes CloseModule and ClearModule.
#pragma once

#include <cstdint>
#include <functional>

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

    // The verification test keeps the module in use behind a dialog that is
    // not modal, so another window could reach for the module meanwhile. The
    // test registers how it is ended; every other use of the module (opening,
    // clearing, closing, and a caller about to hold the library) ends it first,
    // so no capture waits for a finger meant for another window and the
    // library is never wanted by two threads at once. The callback is cleared
    // before it runs, so it may itself close the module.
    void setBackgroundUse(std::function<void()> end) { m_backgroundEnd = std::move(end); }
    void clearBackgroundUse() { m_backgroundEnd = nullptr; }
    bool hasBackgroundUse() const { return bool(m_backgroundEnd); }
    void endBackgroundUse();

    ModuleLibrary &library() { return m_library; }
    Station &station() { return m_station; }

private:
    Station &m_station;
    ModuleLibrary &m_library;
    bool m_loadErrorShown = false;
    std::function<void()> m_backgroundEnd;
};
