#include "personmaintenance.h"

#include "bioobjects.h"
#include "changejournal.h"
#include "personnelnumber.h"
#include "tdm.h"

#include <QSqlQuery>
#include <QVector>
#include <QtEndian>

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
    QString holder;
    bool taken = false;
    dm.forEachRow(QStringLiteral("select name from fingerid where pid=?"), {newPid}, [&](const QSqlQuery &q) {
        taken = true;
        holder = q.value(0).toString();
    });
    if (taken)
        throw InputError(QStringLiteral("Personalid ist schon ") + holder + QStringLiteral(" zugeordnet"));
}

void writeHeaderPid(QByteArray &templ, int32_t pid)
{
    if (templ.size() < 8)
        return;
    qToLittleEndian<qint64>(qint64(pid), templ.data());
}

namespace {

// Rewrites the header number of every template of the person in one table.
void rewriteHeaders(Tdm &dm, const QString &table, const QString &key, int32_t pid)
{
    struct Blob { QVariantList key; QByteArray data; };
    QVector<Blob> blobs;
    dm.forEachRow(QStringLiteral("select %1, fdata from %2 where pid=?").arg(key, table), {pid},
                  [&](const QSqlQuery &q) {
                      QVariantList k;
                      const int keys = key.count(QLatin1Char(',')) + 1;
                      for (int i = 0; i < keys; ++i)
                          k << q.value(i);
                      blobs.push_back({k, q.value(keys).toByteArray()});
                  });
    QString where = QStringLiteral("pid=?");
    for (const QString &column : key.split(QLatin1Char(',')))
        where += QStringLiteral(" and ") + column + QStringLiteral("=?");
    const QString update = QStringLiteral("update %1 set fdata=? where %2").arg(table, where);
    for (Blob &b : blobs) {
        if (b.data.size() < 8)
            continue;
        writeHeaderPid(b.data, pid);
        dm.execute(update, QVariantList{b.data, pid} + b.key);
    }
}

}  // namespace

void storePersonChange(Tdm &dm, int32_t oldPid, int32_t newPid, const QString &name)
{
    dm.transaction([&] {
        checkNumberFree(dm, oldPid, newPid);
        dm.execute(QStringLiteral("update fingerid set pid=?, name=? where pid=?"), {newPid, name, oldPid});
        if (newPid == oldPid)
            return;
        dm.execute(QStringLiteral("update Fingerdata set pid=? where PID=?"), {newPid, oldPid});
        dm.execute(QStringLiteral("update Fingerdata_archiv set pid=? where PID=?"), {newPid, oldPid});
        dm.execute(QStringLiteral("update fingerid_to_geraet set pid=? where pid=?"), {newPid, oldPid});
        // Table and key names are fixed here, never taken from input.
        rewriteHeaders(dm, QStringLiteral("Fingerdata"), QStringLiteral("FID"), newPid);
        rewriteHeaders(dm, QStringLiteral("Fingerdata_archiv"), QStringLiteral("FID,Scannumber"), newPid);
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
        if (data.size() > TEMPLATE_FINGER_BYTE)
            data[TEMPLATE_FINGER_BYTE] = char(uint8_t(newFid));
        dm.execute(QStringLiteral("update fingerdata set fid=?, fdata=? where pid=? and fid=?"),
                   {newFid, data, pid, oldFid});
        moved = true;
    });
    return moved;
}
