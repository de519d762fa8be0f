#include "personrecords.h"

#include "nameorder.h"
#include "tdm.h"

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

QVector<PersonRow> readPersons(Tdm &dm, const QString &sortField, int expected, NameOrderCache *cache)
{
    const bool byName = sortField.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0;
    QVector<PersonRow> rows;
    rows.reserve(expected + expected / 16);
    dm.forEachTypedRow(QStringLiteral("select pid, name from fingerid order by pid"), {},
                       [&](const RowReader &row) { rows.push_back({int32_t(row.integer(0)), row.text(1)}); });
    // The list is kept while the window lives; no room for growth is held with it.
    rows.squeeze();
    // Names in German order, whatever the database's own collation; equal
    // names keep the order of their numbers.
    if (byName) {
        NameOrderCache once;
        return (cache ? *cache : once).order(rows);
    }
    return rows;
}

QSet<int32_t> readTemplatePids(Tdm &dm, int expected)
{
    QSet<int32_t> pids;
    pids.reserve(expected + expected / 16);
    dm.forEachTypedRow(QStringLiteral("select distinct(pid) from fingerdata"), {},
                       [&](const RowReader &row) { pids.insert(int32_t(row.integer(0))); });
    return pids;
}

QSet<QString> readAssignedTerminals(Tdm &dm, int32_t pid)
{
    QSet<QString> terminals;
    dm.forEachTypedRow(QStringLiteral("select geraet from fingerid_to_geraet where pid=?"), {pid},
                       [&](const RowReader &row) { terminals.insert(row.text(0)); });
    return terminals;
}

QSet<int32_t> readAssignedPids(Tdm &dm, const QString &terminalId)
{
    QSet<int32_t> pids;
    dm.forEachTypedRow(QStringLiteral("select pid from fingerid_to_geraet where geraet=?"), {terminalId},
                       [&](const RowReader &row) { pids.insert(int32_t(row.integer(0))); });
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
