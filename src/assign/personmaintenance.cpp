#include "personmaintenance.h"

#include "changejournal.h"
#include "enrolmentstore.h"
#include "personname.h"
#include "personnelnumber.h"
#include "tdm.h"
#include "templateheader.h"

#include <QSqlQuery>
#include <QVector>
#include <QPair>

void setAssignment(Tdm &dm, const Clock &clock, int32_t pid, const QString &terminalId, bool assigned)
{
    dm.transaction([&] {
        if (assigned)
            insertAssignment(dm, pid, terminalId);
        else
            deleteAssignment(dm, pid, terminalId);
        AppendJournalRow(dm, clock, pid, terminalId, assigned ? journal::put : journal::remove);
    });
}

void appendJournalRows(Tdm &dm, const Clock &clock, int32_t pid, const QStringList &terminalIds,
                       const QString &action)
{
    dm.transaction([&] {
        for (const QString &id : terminalIds)
            AppendJournalRow(dm, clock, pid, id, action);
    });
}

void deletePerson(Tdm &dm, const Clock &clock, int32_t pid, const QStringList &allTerminalIds)
{
    dm.transaction([&] {
        DeleteJournalRows(dm, pid);
        for (const QString &id : allTerminalIds)
            AppendJournalRow(dm, clock, pid, id, journal::remove);
        dm.execute(QStringLiteral("delete from fingerid_to_geraet where pid=?"), {pid});
        dm.execute(QStringLiteral("delete from fingerdata where pid=?"), {pid});
        dm.execute(QStringLiteral("delete from fingerdata_archiv where pid=?"), {pid});
        dm.execute(QStringLiteral("delete from fingerid where pid=?"), {pid});
    });
}

void checkNumberFree(Tdm &dm, int32_t oldPid, int32_t newPid)
{
    if (newPid == oldPid)
        return;
    if (const std::optional<QString> holder = personHolding(dm, newPid))
        throw InputError(pidTakenMessage(*holder));
}

namespace {

// Rewrites the header number of every template of the person in one table,
// each row found again by the table's key columns after the person's number.
// Table and key names are fixed by the caller, never taken from input.
void rewriteHeaders(Tdm &dm, const QString &table, const QStringList &keyColumns, int32_t pid)
{
    struct Row { QVariantList key; QByteArray data; };
    QVector<Row> templates;
    dm.forEachRow(QStringLiteral("select fdata, %1 from %2 where pid=?").arg(keyColumns.join(QLatin1Char(',')), table),
                  {pid}, [&](const QSqlQuery &q) {
                      Row row{{}, q.value(0).toByteArray()};
                      for (int i = 0; i < keyColumns.size(); ++i)
                          row.key << q.value(i + 1);
                      templates.push_back(row);
                  });
    QString update = QStringLiteral("update %1 set fdata=? where pid=?").arg(table);
    for (const QString &column : keyColumns)
        update += QStringLiteral(" and %1=?").arg(column);
    for (Row &row : templates) {
        // A block too short for the header cannot carry the new number; the
        // terminals would receive it under the old one. The caller's
        // transaction rolls the renumbering back.
        if (row.data.size() <= TEMPLATE_FINGER_BYTE)
            throw InputError(QStringLiteral("Die Personalnummer kann nicht geändert werden: die gespeicherte Vorlage "
                                            "von Finger %1 in %2 ist mit %3 Bytes keine Vorlage.")
                                 .arg(row.key[0].toInt())
                                 .arg(table)
                                 .arg(row.data.size()));
        writeHeaderPid(row.data, pid);
        dm.execute(update, QVariantList{row.data, pid} + row.key);
    }
}

// The archive rows of two fingers of the person change finger numbers, their
// header byte 8 following. No finger is ever numbered 0, so the rows of b
// wait there while those of a take their place (the archive's key is
// person, finger and scan number).
void swapArchiveFingers(Tdm &dm, int32_t pid, int32_t a, int32_t b)
{
    const QString renumber = QStringLiteral("update Fingerdata_archiv set FID=? where PID=? and FID=?");
    const int32_t parked = 0;
    dm.execute(renumber, {parked, pid, b});
    dm.execute(renumber, {b, pid, a});
    dm.execute(renumber, {a, pid, parked});
    struct Row { int32_t fid; int32_t scan; QByteArray data; };
    QVector<Row> rows;
    dm.forEachRow(QStringLiteral("select FID, Scannumber, fdata from Fingerdata_archiv "
                                 "where PID=? and (FID=? or FID=?)"),
                  {pid, a, b}, [&](const QSqlQuery &q) {
                      rows.push_back({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toByteArray()});
                  });
    const QString update =
        QStringLiteral("update Fingerdata_archiv set fdata=? where PID=? and FID=? and Scannumber=?");
    for (Row &row : rows) {
        if (row.data.size() <= TEMPLATE_FINGER_BYTE)
            continue;
        writeHeaderFinger(row.data, row.fid);
        dm.execute(update, {row.data, pid, row.fid, row.scan});
    }
}

}  // namespace

void storePersonChange(Tdm &dm, int32_t oldPid, int32_t newPid, const QString &name)
{
    checkedPersonName(name);
    dm.transaction([&] {
        checkNumberFree(dm, oldPid, newPid);
        dm.execute(QStringLiteral("update fingerid set pid=?, name=? where pid=?"), {newPid, name, oldPid});
        if (newPid == oldPid)
            return;
        dm.execute(QStringLiteral("update Fingerdata set pid=? where PID=?"), {newPid, oldPid});
        dm.execute(QStringLiteral("update Fingerdata_archiv set pid=? where PID=?"), {newPid, oldPid});
        dm.execute(QStringLiteral("update fingerid_to_geraet set pid=? where pid=?"), {newPid, oldPid});
        rewriteHeaders(dm, QStringLiteral("Fingerdata"), {QStringLiteral("FID")}, newPid);
        rewriteHeaders(dm, QStringLiteral("Fingerdata_archiv"), {QStringLiteral("FID"), QStringLiteral("Scannumber")},
                       newPid);
    });
}

void changePerson(Tdm &dm, const Clock &clock, int32_t oldPid, int32_t newPid, const QString &name,
                  const QStringList &tickedTerminals, bool fingerChanged, const std::function<void()> &pause)
{
    dm.transaction([&] {
        storePersonChange(dm, oldPid, newPid, name);
        if (newPid != oldPid) {
            appendJournalRows(dm, clock, oldPid, tickedTerminals, journal::remove);
            if (pause)
                pause();
        } else if (!fingerChanged) {
            return;
        }
        appendJournalRows(dm, clock, newPid, tickedTerminals, journal::put);
    });
}

bool moveStoredTemplate(Tdm &dm, int32_t pid, int32_t oldFid, int32_t newFid)
{
    bool moved = false;
    dm.transaction([&] {
        bool found = false;
        QByteArray data;
        dm.forEachRow(QStringLiteral("select fdata from fingerdata where pid=? and fid=?"), {pid, oldFid},
                      [&](const QSqlQuery &q) {
                          found = true;
                          data = q.value(0).toByteArray();
                      });
        if (!found)
            return;
        if (newFid != oldFid &&
            dm.exists(QStringLiteral("select 1 from fingerdata where pid=? and fid=?"), {pid, newFid}))
            throw InputError(QStringLiteral("Finger ") + QString::number(newFid) +
                             QStringLiteral(" hat bereits eine gespeicherte Vorlage"));
        writeHeaderFinger(data, newFid);
        dm.execute(QStringLiteral("update fingerdata set fid=?, fdata=? where pid=? and fid=?"),
                   {newFid, data, pid, oldFid});
        if (newFid != oldFid)
            swapArchiveFingers(dm, pid, oldFid, newFid);
        moved = true;
    });
    return moved;
}
