// The data module: the connection to the Kolv data dictionary, the statements
// every window shares, the write transactions, and the terminal directory.
//
// Every value reaches SQL as a bound parameter. A select is always read to its
// end and finished at once: an unfinished SQLite statement would hold its read
// snapshot, so that later reads on the connection miss what the Kolv software
// and its service wrote meanwhile.
#pragma once

#include "dberror.h"
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

    // Connects when not connected yet. Throws DbError.
    void open();
    bool connected() const;
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

    // A prepared statement, kept for reuse. Throws DbError when it cannot be prepared.
    QSqlQuery &prepared(const QString &sql);
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

    QString m_name;
    QString m_path;
    QHash<QString, QSqlQuery> m_statements;
    std::unique_ptr<NativeStatements> m_native;  // SQLite statements of the typed reads
    int m_transactionDepth = 0;
    std::vector<std::unique_ptr<tgeraet>> Terminals;
};
