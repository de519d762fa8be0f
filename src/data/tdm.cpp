#include "tdm.h"

#include "germanorder.h"
#include "tdbini.h"

#include <QSqlError>

Tdm::Tdm(const QString &connectionName) : m_name(connectionName) {}

Tdm::~Tdm()
{
    close();
    QSqlDatabase::removeDatabase(m_name);
}

void Tdm::setConnectionPath(const QString &dictionaryFile)
{
    m_path = dictionaryFile;
}

bool Tdm::connected() const
{
    return !m_lost && database().isOpen();
}

kolv::Engine Tdm::engine() const
{
    return kolv::engineOf(database());
}

void Tdm::close()
{
    m_statements.clear();
    m_transactionDepth = 0;
    m_lost = false;
    if (QSqlDatabase::contains(m_name))
        database().close();
}

void Tdm::open()
{
    if (connected())
        return;
    close();
    kolv::Dictionary dictionary;
    QString error = kolv::readDictionary(m_path, &dictionary);
    if (error.isEmpty())
        error = kolv::openConnection(dictionary, m_name, m_lockTimeoutMs);
    if (!error.isEmpty())
        throw DbError(error);
}

void Tdm::checkConnection()
{
    QSqlDatabase db = database();
    if (!db.isOpen() || kolv::engineOf(db) == kolv::Engine::Sqlite || m_transactionDepth > 0)
        return;
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("select 1")))
        m_lost = true;
}

bool Tdm::prepares(bool withValues) const
{
    // The server cannot prepare statements such as DDL, BEGIN or SET; those
    // without values run as they are.
    return withValues || engine() == kolv::Engine::Sqlite;
}

QString Tdm::statementKey(const QString &sql, bool withValues) const
{
    return prepares(withValues) ? sql : QStringLiteral("unprepared:") + sql;
}

QSqlQuery &Tdm::prepared(const QString &sql, bool withValues)
{
    open();
    if (m_reading)
        throw DbError(QStringLiteral("Interner Fehler: Anweisung während einer laufenden Abfrage: ") + sql);
    const bool prepare = prepares(withValues);
    const QString key = statementKey(sql, withValues);
    auto it = m_statements.find(key);
    if (it == m_statements.end()) {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        if (prepare && !q.prepare(sql)) {
            const QString text = q.lastError().text();
            checkConnection();
            throw DbError(text);
        }
        it = m_statements.insert(key, q);
    }
    it->finish();
    return *it;
}

QSqlQuery &Tdm::run(const QString &sql, const QVariantList &values)
{
    QSqlQuery &q = prepared(sql, !values.isEmpty());
    bool ok;
    if (prepares(!values.isEmpty())) {
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        ok = q.exec();
    } else {
        ok = q.exec(sql);
    }
    if (!ok) {
        const QString text = q.lastError().text();
        // Prepared again next time: the server refuses a statement prepared
        // before a table it reads was changed.
        m_statements.remove(statementKey(sql, !values.isEmpty()));
        checkConnection();
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
    m_reading = true;
    try {
        while (q.next())
            visit(q);
    } catch (...) {
        m_reading = false;
        q.finish();
        throw;
    }
    m_reading = false;
    const QSqlError error = q.lastError();
    q.finish();
    if (error.isValid()) {
        m_statements.remove(statementKey(sql, !values.isEmpty()));
        checkConnection();
        throw DbError(error.text());
    }
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
    const QString error = kolv::beginWrite(db);
    if (!error.isEmpty()) {
        checkConnection();
        throw DbError(error);
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
        m_transactionDepth = 0;
        m_reading = false;
        finishAll();
        database().rollback();
        checkConnection();
        throw;
    }
    m_transactionDepth = 0;
    finishAll();
    QSqlDatabase db = database();
    if (!db.commit()) {
        const QString text = db.lastError().text();
        db.rollback();
        checkConnection();
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
