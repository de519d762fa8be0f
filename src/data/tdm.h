// The data module: the connection to the Kolv data dictionary, the statements
// every window shares, the write transactions, and the terminal directory.
//
// Every value reaches SQL as a bound parameter. A select is always read to its
// end and finished at once: an unfinished SQLite statement would hold its read
// snapshot, so that later reads on the connection miss what the Kolv software
// and its service wrote meanwhile, and the server's driver drops the rest of
// a select as soon as the connection runs another statement.
//
// The engine (SQLite file or database server) is what daten/kolv.add names;
// its differences stay in here and in kolvinstallation.
#pragma once

#include "dberror.h"
#include "kolvinstallation.h"
#include "rowreader.h"
#include "terminals.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class Tdbini;

class Tdm
{
public:
    explicit Tdm(const QString &connectionName = QStringLiteral("kolv"));
    ~Tdm();
    Tdm(const Tdm &) = delete;
    Tdm &operator=(const Tdm &) = delete;

    // The path of daten/kolv.add; takes effect at the next connect.
    void setConnectionPath(const QString &dictionaryFile);
    const QString &connectionPath() const { return m_path; }

    // Connects when not connected yet, or again after the connection to the
    // server was lost. Throws DbError.
    void open();
    bool connected() const;
    // The engine of the open connection.
    kolv::Engine engine() const;
    // How long a statement waits for a lock held elsewhere; takes effect at the next connect.
    void setLockTimeout(int ms) { m_lockTimeoutMs = ms; close(); }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

    // A statement, kept for reuse; prepared when it takes values. Throws
    // DbError when it cannot be prepared.
    QSqlQuery &prepared(const QString &sql, bool withValues = true);
    // Binds values in order and executes; throws DbError with the driver's text.
    QSqlQuery &run(const QString &sql, const QVariantList &values = {});
    // Executes a statement without result; returns the number of rows it changed.
    int execute(const QString &sql, const QVariantList &values = {});
    // Runs a select and hands every row to visit, then finishes the statement.
    void forEachRow(const QString &sql, const QVariantList &values, const std::function<void(const QSqlQuery &)> &visit);
    // The same with typed column reads, for selects of many rows.
    void forEachTypedRow(const QString &sql, const QVariantList &values,
                         const std::function<void(const RowReader &)> &visit);
    // True when the select returns at least one row.
    bool exists(const QString &sql, const QVariantList &values = {});

    // Runs work in one write transaction: committed when work returns, rolled
    // back when it throws (the exception goes on). Nested calls join the outer one.
    void transaction(const std::function<void()> &work);

    // The terminal directory: the fingerprint terminals of the tree, read once
    // per run (again while none qualifies).
    void LoadTerminals(Tdbini &settings);
    int TerminalCount() const { return int(Terminals.size()); }
    const tgeraet *GetTerminal(int index) const;

private:
    struct NativeStatements;
    void addMissingIndexes();
    void closeNativeStatements();
    void begin();
    void finishAll();
    // After a failed statement: a server connection that no longer answers is
    // closed, so that the next action connects again.
    void checkConnection();
    bool prepares(bool withValues) const;
    QString statementKey(const QString &sql, bool withValues) const;
    void close();

    QString m_name;
    QString m_path;
    QHash<QString, QSqlQuery> m_statements;
    std::unique_ptr<NativeStatements> m_native;  // SQLite statements of the typed reads
    int m_transactionDepth = 0;
    bool m_lost = false;
    bool m_reading = false;
    int m_lockTimeoutMs = kolv::defaultLockTimeoutMs;
    std::vector<std::unique_ptr<tgeraet>> Terminals;
};
