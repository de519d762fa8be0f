// Finding the Kolv installation and connecting to it when the main window is
// first shown.
#pragma once

#include <QString>
#include <memory>

struct Station;
class Tdbini;

namespace startup {
inline const QString chooserTitle = QStringLiteral("Quorvel-Kolv Installation suchen");
// The data dictionary below the installation directory.
inline const QString dictionary = QStringLiteral("daten/kolv.add");
}  // namespace startup

// ProgramDir, LastTerminalGroup and DataPath from data.ini; asks for the
// folder when the dictionary is not found. False when it is still not found
// ("Nicht gefunden" was shown; nothing was written).
bool findInstallation(Station &station, const QString &programDir);

// Points the connection at the dictionary, writes DATAPATH to data.ini,
// creates the settings store (kept in settings) and loads the scanner
// settings. Throws DbError; DATAPATH has been written by then.
void connectInstallation(Station &station, std::unique_ptr<Tdbini> &settings);

// A path with a trailing delimiter; a lone delimiter for an empty one.
QString withTrailingDelimiter(const QString &path);
