// A temporary Kolv installation built with kolv-setup's own schema code, and a
// second connection to it for checking what the station wrote.
//
// When KOLV_TEST_SERVER holds a libpq connection string, the installation's
// tables live on that server instead, in a schema of the fixture's own that
// is dropped afterwards; daten/kolv.add then describes the server.
#pragma once

#include "tdm.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <memory>

class KolvFixture
{
public:
    explicit KolvFixture(bool demo = true);
    ~KolvFixture();

    bool ok() const { return m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    // The server's connection string from KOLV_TEST_SERVER, or a null text.
    static QString testServer();
    bool onServer() const { return !m_schema.isEmpty(); }
    // The connection string of the installation's server (with its schema).
    const QString &serverConnect() const { return m_connect; }

    QString dir() const;             // the installation directory, with a trailing '/'
    QString dictionaryFile() const;  // .../daten/kolv.add

    // The station's data module, connected to the installation.
    Tdm &dm() { return *m_dm; }

    // A connection of its own, as another process would have.
    QSqlDatabase other();
    // Runs a statement on the other connection; fails the test on error.
    void sql(const QString &statement, const QVariantList &values = {});
    // The rows of a select on the other connection, each row's columns joined with '|'.
    QStringList rows(const QString &select, const QVariantList &values = {});
    // The first column of the first row, or an invalid value.
    QVariant value(const QString &select, const QVariantList &values = {});

    // The expression giving a binary column as upper-case hex digits.
    QString hex(const QString &column) const;
    // Makes every EVENT ("insert", "update") on TABLE whose row meets
    // CONDITION (on new.column; empty: every row) fail with the text MESSAGE,
    // as a broken disk or a constraint of the Kolv software would.
    void refuse(const QString &event, const QString &table, const QString &condition, const QString &message);
    // An expression of type text that fails when a row evaluates it, where
    // the driver reads the rows rather than when the statement is prepared.
    QString failingText(const QString &column) const;
    // The other connection takes the installation's writer lock and keeps it
    // until releaseWriteLock, as a station writing at length.
    void holdWriteLock();
    void releaseWriteLock();

private:
    void createOnServer(const QString &server, bool demo);

    QTemporaryDir m_tmp;
    QString m_error;
    QString m_otherName;
    QString m_schema;
    QString m_connect;
    std::unique_ptr<Tdm> m_dm;
};
