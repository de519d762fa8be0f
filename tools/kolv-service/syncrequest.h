// The synchronisation request the station leaves in table ini, and when it is due.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

class Tdm;

namespace kolvservice {

struct SyncRequest
{
    bool pending = false;         // PELVAR_DOUPDATE is exactly "1"
    bool timed = false;           // PELVAR_SYNCMODE reads as the integer 1
    std::optional<double> dueAt;  // PELVAR_DOUPDATETIME, when it holds a date-time value
};

// Reads the three settings in one select. Throws DbError.
SyncRequest readSyncRequest(Tdm &db);

// A date-time value as text, with a decimal point or a decimal comma: the
// station writes it with the operator's separator, which need not be ours.
// None for text that is no number or lies outside the date-time range.
std::optional<double> parseDateTimeText(const QString &text);

// A timed request whose time cannot be read is handled at once: waiting for a
// time that never comes would leave the request pending for good.
bool requestDue(const SyncRequest &request, const QDateTime &now);

}  // namespace kolvservice
