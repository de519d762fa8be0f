// Creates a Kolv installation: the data dictionary daten/kolv.add with the
// tables the station and the Kolv service share, and optionally a demo
// terminal tree. Used by the kolv-setup tool and by the test fixtures.
#pragma once

#include <QSqlDatabase>
#include <QString>

namespace kolv {

// Relative path of the data dictionary below an installation directory.
inline const char *dictionaryPath() { return "daten/kolv.add"; }

// Creates every table and index in an open, empty database.
// Returns an empty text on success, otherwise the driver's error text.
QString createSchema(QSqlDatabase &db);

// Adds the demo terminal tree and the demo settings.
QString addDemoData(QSqlDatabase &db);

// Creates DIR/daten/kolv.add. Refuses (with a message) when it exists already.
QString createInstallation(const QString &dir, bool demo);

}  // namespace kolv
