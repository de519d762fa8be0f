#include "tdm.h"

#include "germanorder.h"
#include "tdbini.h"

#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>

struct Tdm::NativeStatements
{
    sqlite3 *db = nullptr;
    QHash<QString, sqlite3_stmt *> statements;

    ~NativeStatements()
    {
        for (sqlite3_stmt *s : statements)
            sqlite3_finalize(s);
    }
};

namespace {

class SqliteRow : public RowReader
{
public:
    explicit SqliteRow(sqlite3_stmt *stmt) : m_stmt(stmt) {}
    int64_t integer(int column) const override { return sqlite3_column_int64(m_stmt, column); }
    QString text(int column) const override
    {
        // The engine's own UTF-8: asking it for UTF-16 would convert through a
        // buffer of its own first.
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
    }

private:
    sqlite3_stmt *m_stmt;
};

class QueryRow : public RowReader
{
public:
    explicit QueryRow(const QSqlQuery &q) : m_q(q) {}
    int64_t integer(int column) const override { return m_q.value(column).toLongLong(); }
    QString text(int column) const override { return m_q.value(column).toString(); }

private:
    const QSqlQuery &m_q;
};

void bindNative(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        sqlite3_bind_text16(stmt, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        sqlite3_bind_null(stmt, index);
        break;
    default:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
    }
}

}  // namespace

Tdm::Tdm(const QString &connectionName) : m_name(connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // The Kolv software and its service write at the same time; wait for their locks.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=8000"));
}

Tdm::~Tdm()
{
    m_statements.clear();
    closeNativeStatements();
    {
        QSqlDatabase db = database();
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void Tdm::setConnectionPath(const QString &dictionaryFile)
{
    m_path = dictionaryFile;
}

bool Tdm::connected() const
{
    return database().isOpen();
}

void Tdm::open()
{
    QSqlDatabase db = database();
    if (db.isOpen())
        return;
    m_statements.clear();
    closeNativeStatements();
    db.setDatabaseName(m_path);
    if (!db.open())
        throw DbError(db.lastError().text());
    addMissingIndexes();
}

void Tdm::addMissingIndexes()
{
    // Choosing a terminal reads its assignments by terminal; installations
    // made before this index existed would scan the whole table every time.
    // An index changes nothing the Kolv software reads or writes. Where it
    // cannot be added (a read-only or busy dictionary) the station works on
    // without it, only slower.
    static const QString name = QStringLiteral("fingerid_to_geraet_geraet");
    QSqlDatabase db = database();
    const bool sqlite = db.driverName() == QLatin1String("QSQLITE");
    QSqlQuery q(db);
    q.prepare(sqlite ? QStringLiteral("select 1 from sqlite_master where type='index' and name=?")
                     : QStringLiteral("select 1 from pg_indexes where indexname=?"));
    q.addBindValue(name);
    if (!q.exec() || q.next())
        return;
    q.finish();
    // With the number in the index, a terminal's persons are read from the
    // index alone.
    q.exec(QStringLiteral("create index ") + name + QStringLiteral(" on fingerid_to_geraet (geraet, pid)"));
}

QSqlQuery &Tdm::prepared(const QString &sql)
{
    open();
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            throw DbError(q.lastError().text());
        it = m_statements.insert(sql, q);
    }
    it->finish();
    return *it;
}

QSqlQuery &Tdm::run(const QString &sql, const QVariantList &values)
{
    QSqlQuery &q = prepared(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) {
        const QString text = q.lastError().text();
        q.finish();
        throw DbError(text);
    }
    return q;
}

int Tdm::execute(const QString &sql, const QVariantList &values)
{
    QSqlQuery &q = run(sql, values);
    const int rows = q.numRowsAffected();
    q.finish();
    return rows;
}

void Tdm::forEachRow(const QString &sql, const QVariantList &values,
                     const std::function<void(const QSqlQuery &)> &visit)
{
    QSqlQuery &q = run(sql, values);
    try {
        while (q.next())
            visit(q);
    } catch (...) {
        q.finish();
        throw;
    }
    const QSqlError error = q.lastError();
    q.finish();
    if (error.isValid())
        throw DbError(error.text());
}

void Tdm::closeNativeStatements()
{
    m_native.reset();
}

void Tdm::forEachTypedRow(const QString &sql, const QVariantList &values,
                          const std::function<void(const RowReader &)> &visit)
{
    open();
    QSqlDatabase db = database();
    const QVariant handle = db.driver()->handle();
    if (db.driverName() != QLatin1String("QSQLITE") || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        forEachRow(sql, values, [&](const QSqlQuery &q) { visit(QueryRow(q)); });
        return;
    }
    sqlite3 *native = *static_cast<sqlite3 *const *>(handle.data());
    if (!m_native || m_native->db != native) {
        m_native = std::make_unique<NativeStatements>();
        m_native->db = native;
    }
    sqlite3_stmt *&stmt = m_native->statements[sql];
    if (!stmt) {
        const QString text = sql;
        if (sqlite3_prepare16_v2(native, text.utf16(), int(text.size() * 2), &stmt, nullptr) != SQLITE_OK) {
            const QString error = QString::fromUtf8(sqlite3_errmsg(native));
            m_native->statements.remove(sql);
            throw DbError(error);
        }
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    for (int i = 0; i < values.size(); ++i)
        bindNative(stmt, i + 1, values[i]);
    const SqliteRow row(stmt);
    int rc;
    try {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            visit(row);
    } catch (...) {
        sqlite3_reset(stmt);
        throw;
    }
    const QString error = rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(native));
    // Reset at once: a statement left stepping would hold its read snapshot.
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE)
        throw DbError(error);
}

bool Tdm::exists(const QString &sql, const QVariantList &values)
{
    QSqlQuery &q = run(sql, values);
    const bool found = q.next();
    q.finish();
    return found;
}

void Tdm::begin()
{
    open();
    QSqlDatabase db = database();
    if (db.driverName() == QLatin1String("QSQLITE")) {
        // A deferred transaction that reads first would fail once another
        // process wrote meanwhile; take the write lock at the start.
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
            throw DbError(q.lastError().text());
    } else if (!db.transaction()) {
        throw DbError(db.lastError().text());
    }
}

void Tdm::finishAll()
{
    for (QSqlQuery &q : m_statements)
        q.finish();
}

void Tdm::transaction(const std::function<void()> &work)
{
    if (m_transactionDepth > 0) {
        work();
        return;
    }
    begin();
    ++m_transactionDepth;
    try {
        work();
    } catch (...) {
        --m_transactionDepth;
        finishAll();
        database().rollback();
        throw;
    }
    --m_transactionDepth;
    finishAll();
    QSqlDatabase db = database();
    if (!db.commit()) {
        const QString text = db.lastError().text();
        db.rollback();
        throw DbError(text);
    }
}

void Tdm::LoadTerminals(Tdbini &settings)
{
    if (!Terminals.empty())
        return;
    struct Row { QString typ, typid, parentref, bezeichnung; int level; };
    std::vector<Row> rows;
    forEachRow(QStringLiteral("select typ, typid, parentref, bezeichnung, level from geraetetree"), {},
               [&](const QSqlQuery &q) {
                   rows.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                   q.value(3).toString(), q.value(4).toInt()});
               });
    sortByLevelAndName(rows, [](const Row &r) { return r.level; }, [](const Row &r) { return r.bezeichnung; });
    // Built aside and kept only when every setting could be read: a
    // directory cut short by an error would otherwise stand for the run.
    std::vector<std::unique_ptr<tgeraet>> found;
    for (const Row &row : rows) {
        if (row.typ != QLatin1String("G"))
            continue;
        if (settings.ReadInteger(QStringLiteral("DOCKPORT") + row.typid, QStringLiteral("FINGERTYPE"), 0) > 0)
            found.push_back(std::make_unique<tgeraet>(tgeraet{row.typid, row.parentref, row.bezeichnung}));
    }
    Terminals = std::move(found);
}

const tgeraet *Tdm::GetTerminal(int index) const
{
    if (index < 0 || index >= TerminalCount())
        return nullptr;
    return Terminals[size_t(index)].get();
}
