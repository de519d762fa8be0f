// What the stand-in synchronisation service does on each tick, with the clock
// passed in so that tests choose the time of day.
#pragma once

#include "syncrequest.h"
#include "terminalstore.h"

#include <QDateTime>
#include <QString>
#include <optional>

class Tdm;

namespace kolvservice {

// SERVICE_ISALIVE: "1" while the service runs, "0" once it ended. Throws DbError.
void setAlive(Tdm &db, bool alive);

// The text of PELVAR_DIDUPDATE: local time as "dd.mm.yyyy hh:nn:ss".
QString didUpdateText(const QDateTime &now);

// Handles the pending request when it is due at now: applies the journal,
// writes DIDUPDATE and resets DOUPDATE to "0", all in one transaction. None
// when nothing was due. Throws DbError; then nothing was changed and the
// request stays pending for the next tick.
std::optional<ApplyResult> handlePendingRequest(Tdm &db, const QDateTime &now);

// The log line of one handled request.
QString requestLogLine(const QDateTime &now, const ApplyResult &result);

}  // namespace kolvservice
