// A temporary Kolv installation built with kolv-setup's own schema code, and a
// second connection to it for checking what the station wrote.
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

private:
    QTemporaryDir m_tmp;
    QString m_error;
    QString m_otherName;
    std::unique_ptr<Tdm> m_dm;
};
