// What daten/kolv.add names: the embedded SQLite database itself, or, for an
// installation with several stations, a short INI text naming a database
// server. Every program of the installation reads it through this rule, and
// the connection to either engine is made here only.
//
//   [SERVER]
//   DRIVER=QPSQL
//   CONNECT=host=kolvdb;port=5432;dbname=kolv;user=kolv
//
// CONNECT is a libpq connection string (pairs separated by ';' or blanks). It
// never holds a password: libpq's password or service file supplies that.
#pragma once

#include <QSqlDatabase>
#include <QString>

namespace kolv {

// Relative path of the data dictionary below an installation directory.
inline const char *dictionaryPath() { return "daten/kolv.add"; }

enum class Engine { Sqlite, Server };

struct Dictionary
{
    Engine engine = Engine::Sqlite;
    QString file;     // daten/kolv.add itself
    QString connect;  // the server's connection string (Engine::Server only)
};

// Reads which engine the dictionary file names. A missing or empty file, or
// one that starts with the SQLite header, is the SQLite database; otherwise
// the file must describe a server. Returns an empty text on success, else a
// message naming the file.
QString readDictionary(const QString &file, Dictionary *dictionary);

// The text of a server description for CONNECT.
QByteArray serverDescription(const QString &connect);

// True when the connection string names a password keyword.
bool connectHoldsPassword(const QString &connect);

// How long a statement waits for a lock another process holds.
constexpr int defaultLockTimeoutMs = 8000;

// Adds connection NAME for the dictionary (replacing one of that name) and
// opens it. Returns an empty text on success, else the driver's text; the
// connection stays registered either way, so the caller removes it.
QString openConnection(const Dictionary &dictionary, const QString &name, int lockTimeoutMs = defaultLockTimeoutMs);

// The engine of an open connection.
Engine engineOf(const QSqlDatabase &db);

// Starts a write transaction that holds the installation's one writer lock
// until it ends, on either engine. Returns an empty text or the driver's text
// (the transaction is rolled back then).
QString beginWrite(QSqlDatabase &db);

// The column type for binary data.
QString blobType(const QSqlDatabase &db);

}  // namespace kolv
