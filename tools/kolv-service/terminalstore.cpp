#include "terminalstore.h"

#include "kolvschema.h"
#include "tdm.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <vector>

namespace kolvservice {

namespace {

struct JournalRow
{
    qint64 id;
    qint64 pid;
    QString geraet;
    QString action;
};

// SQLite's limit on bound values is 999 in older builds; stay well below it.
constexpr int deleteChunk = 500;

void deleteRows(Tdm &db, const std::vector<qint64> &ids)
{
    for (size_t start = 0; start < ids.size(); start += deleteChunk) {
        const size_t end = std::min(ids.size(), start + deleteChunk);
        QStringList marks;
        QVariantList bound;
        for (size_t i = start; i < end; ++i) {
            marks << QStringLiteral("?");
            bound << ids[i];
        }
        db.execute(QStringLiteral("delete from fingerstatus where id in (%1)").arg(marks.join(',')), bound);
    }
}

}  // namespace

void ensureTerminalStore(Tdm &db)
{
    db.open();
    QSqlDatabase connection = db.database();
    const QString error = kolv::createTerminalStore(connection);
    if (!error.isEmpty())
        throw DbError(error);
}

ApplyResult applyJournal(Tdm &db)
{
    // The id names exactly the rows read here, so rows the station appends
    // later stay for the next request; it also keeps their order of writing.
    std::vector<JournalRow> rows;
    db.forEachRow(QStringLiteral("select id, pid, geraet, action from fingerstatus order by postet, id"), {},
                  [&](const QSqlQuery &q) {
                      rows.push_back({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString(),
                                      q.value(3).toString()});
                  });

    ApplyResult result;
    std::vector<qint64> appliedRows;
    QSet<QString> terminals;
    // The templates do not change inside the transaction, so only the last
    // action on each person and terminal decides what the terminal holds.
    QHash<QPair<QString, qint64>, bool> finalState;
    for (const JournalRow &row : rows) {
        const bool add = row.action == QLatin1String("+");
        if (!add && row.action != QLatin1String("-")) {
            ++result.unknown;
            continue;
        }
        ++result.applied;
        ++(add ? result.added : result.removed);
        terminals.insert(row.geraet);
        appliedRows.push_back(row.id);
        finalState.insert(qMakePair(row.geraet, row.pid), add);
    }
    result.terminals = int(terminals.size());

    for (auto it = finalState.cbegin(); it != finalState.cend(); ++it) {
        const QVariantList key{it.key().first, it.key().second};
        db.execute(QStringLiteral("delete from service_terminal_store where geraet=? and pid=?"), key);
        if (it.value())
            db.execute(QStringLiteral("insert into service_terminal_store (geraet,pid,fid,datatype,fdata)"
                                      " select ?, PID, FID, Datatype, fdata from Fingerdata where PID=?"),
                       key);
    }
    deleteRows(db, appliedRows);
    return result;
}

}  // namespace kolvservice
