#include "changejournal.h"

#include "clock.h"
#include "datetimevalue.h"
#include "tdm.h"

void AppendJournalRow(Tdm &dm, const Clock &clock, int32_t pid, const QString &terminalId, const QString &action)
{
    const QString postet = datetimevalue::formatTimestamp(clock.now(), datetimevalue::timeSeparator());
    dm.execute(QStringLiteral("insert into  fingerstatus (pid,geraet,action,postet) values(?,?,?,?)"),
               {pid, terminalId, action, postet});
}

void DeleteJournalRows(Tdm &dm, int32_t pid)
{
    dm.execute(QStringLiteral("delete from fingerstatus where pid=?"), {pid});
}

void insertAssignment(Tdm &dm, int32_t pid, const QString &terminalId)
{
    dm.execute(QStringLiteral("insert into  fingerid_to_geraet (pid,geraet) values(?,?)"), {pid, terminalId});
}

void deleteAssignment(Tdm &dm, int32_t pid, const QString &terminalId)
{
    dm.execute(QStringLiteral("delete from fingerid_to_geraet where pid=? and geraet=?"), {pid, terminalId});
}
