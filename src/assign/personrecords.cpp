#include "personrecords.h"

#include "germanorder.h"
#include "tdm.h"

#include <QSqlQuery>
#include <algorithm>

QString sortFieldOf(PersonColumn column)
{
    switch (column) {
    case PersonColumn::Pid:
        return QStringLiteral("pid");
    case PersonColumn::Name:
        return QStringLiteral("name");
    case PersonColumn::Ok:
        break;
    }
    return {};
}

QVector<PersonRow> readPersons(Tdm &dm, const QString &sortField)
{
    const bool byName = sortField.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0;
    QVector<PersonRow> rows;
    dm.forEachRow(QStringLiteral("select pid, name from fingerid order by pid"), {}, [&](const QSqlQuery &q) {
        rows.push_back({int32_t(q.value(0).toLongLong()), q.value(1).toString()});
    });
    // Names in German order, whatever the database's own collation; equal
    // names keep the order of their numbers.
    if (byName) {
        const GermanNameOrder order;
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const PersonRow &a, const PersonRow &b) { return order(a.name, b.name); });
    }
    return rows;
}

QSet<int32_t> readTemplatePids(Tdm &dm)
{
    QSet<int32_t> pids;
    dm.forEachRow(QStringLiteral("select distinct(pid) from fingerdata"), {},
                  [&](const QSqlQuery &q) { pids.insert(int32_t(q.value(0).toLongLong())); });
    return pids;
}

QSet<QString> readAssignedTerminals(Tdm &dm, int32_t pid)
{
    QSet<QString> terminals;
    dm.forEachRow(QStringLiteral("select geraet from fingerid_to_geraet where pid=?"), {pid},
                  [&](const QSqlQuery &q) { terminals.insert(q.value(0).toString()); });
    return terminals;
}

QSet<int32_t> readAssignedPids(Tdm &dm, const QString &terminalId)
{
    QSet<int32_t> pids;
    dm.forEachRow(QStringLiteral("select pid from fingerid_to_geraet where geraet=?"), {terminalId},
                  [&](const QSqlQuery &q) { pids.insert(int32_t(q.value(0).toLongLong())); });
    return pids;
}

int findByPrefix(const QVector<PersonRow> &rows, const QString &sortField, const QString &text)
{
    if (text.isEmpty())
        return -1;
    if (sortField.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0) {
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].name.startsWith(text, Qt::CaseInsensitive))
                return i;
        return -1;
    }
    for (int i = 0; i < rows.size(); ++i)
        if (QString::number(rows[i].pid).startsWith(text))
            return i;
    return -1;
}
