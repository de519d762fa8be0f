#include "modulesession.h"

#include "modulelibrary.h"
#include "operatorui.h"
#include "station.h"

ModuleSession::ModuleSession(Station &station, ModuleLibrary &library) : m_station(station), m_library(library) {}

void ModuleSession::endBackgroundUse()
{
    if (!m_backgroundEnd)
        return;
    const std::function<void()> end = std::move(m_backgroundEnd);
    m_backgroundEnd = nullptr;
    end();
}

bool ModuleSession::OpenModule()
{
    endBackgroundUse();
    // A missing library is told once per run; after that it fails like a port
    // that cannot be opened, so every caller keeps its one failure path.
    if (!m_library.loaded() && !m_loadErrorShown) {
        m_loadErrorShown = true;
        if (m_station.ui)
            m_station.ui->message(m_library.loadError());
    }

    const QByteArray port = m_station.ComPort.toLocal8Bit();
    if (!m_station.ModuleOpen)
        m_station.ModuleOpen = m_library.ComOpen(port);
    if (!m_station.ModuleOpen) {
        if (m_station.ui)
            m_station.ui->message(QStringLiteral("Kann Comport nicht öffnen"));
        return false;
    }
    if (ModuleInitialised)
        return true;
    if (m_library.Init(m_station.DataFormat, m_station.Security, m_station.Quality, m_station.MinMinutiae)) {
        ModuleInitialised = true;
        return true;
    }
    return false;
}

void ModuleSession::CloseModule()
{
    endBackgroundUse();
    m_library.ComClose();
    m_station.ModuleOpen = false;
}

bool ModuleSession::ClearModule()
{
    endBackgroundUse();
    return m_library.DeleteTemplate(0, 0, 0);
}
