// Creates a Kolv installation: the data dictionary daten/kolv.add with the
// tables the station and the Kolv service share, and optionally a demo
// terminal tree. Used by the kolv-setup tool and by the test fixtures.
#pragma once

#include "kolvinstallation.h"

#include <QSqlDatabase>
#include <QString>

namespace kolv {

// Creates every table and index in an open, empty database.
// Returns an empty text on success, otherwise the driver's error text.
QString createSchema(QSqlDatabase &db);

// The stand-in service's picture of the terminals, when it is not there yet.
QString createTerminalStore(QSqlDatabase &db);

// Adds the demo terminal tree and the demo settings.
QString addDemoData(QSqlDatabase &db);

// Creates DIR/daten/kolv.add. Refuses (with a message) when it exists already.
QString createInstallation(const QString &dir, bool demo);

// Creates the tables on the database server named by CONNECT (a libpq
// connection string without password) and writes its description as
// DIR/daten/kolv.add. Refuses when the file exists or the server holds Kolv
// tables already.
QString createServerInstallation(const QString &dir, const QString &connect, bool demo);

}  // namespace kolv
