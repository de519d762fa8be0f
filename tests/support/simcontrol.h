// The simulator's control functions, resolved from the same library file the
// station loads, so that a test scripts the very module the station talks to.
#pragma once

#include <QDir>
#include <QLibrary>
#include <QtGlobal>
#include <cstdint>

class SimControl
{
public:
    static QString binDir() { return qEnvironmentVariable("STATION_BIN_DIR"); }

    SimControl() : m_library(QDir(binDir()).filePath(QStringLiteral("vexilmod")))
    {
        m_command = reinterpret_cast<Command>(m_library.resolve("VXMSimCommand"));
        m_count = reinterpret_cast<Count>(m_library.resolve("VXMSimCallCount"));
    }

    bool ok() const { return m_command && m_count; }
    QString error() const { return m_library.errorString(); }

    bool command(const char *line) { return m_command && m_command(line) == 1; }
    int calls(const char *function) { return m_count ? m_count(function) : -1; }

    // A freshly loaded module whose fingers arrive at once.
    bool reset() { return command("RESET") && command("DELAY 0"); }

private:
    using Command = int32_t (*)(const char *);
    using Count = int32_t (*)(const char *);
    QLibrary m_library;
    Command m_command = nullptr;
    Count m_count = nullptr;
};
