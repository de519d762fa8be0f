// The journal of per-terminal actions that the Kolv synchronisation service
// applies: "+" puts a person's templates on a terminal, "-" takes them off.
// The station only appends rows and, when a person is deleted, removes all of
// the person's rows; it never reads them.
#pragma once

#include <QString>
#include <cstdint>

class Tdm;
class Clock;

namespace journal {
inline const QString put = QStringLiteral("+");
inline const QString remove = QStringLiteral("-");
}  // namespace journal

// One row; postet is the local time read now, "yyyy-mm-dd hh:nn:ss" with the
// regional time separator. Throws DbError.
void AppendJournalRow(Tdm &dm, const Clock &clock, int32_t pid, const QString &terminalId, const QString &action);
// Every row of the person. Throws DbError.
void DeleteJournalRows(Tdm &dm, int32_t pid);

// The assignment of a person to a terminal, as fingerid_to_geraet holds it.
void insertAssignment(Tdm &dm, int32_t pid, const QString &terminalId);
void deleteAssignment(Tdm &dm, int32_t pid, const QString &terminalId);
