#include "kolvservice.h"

#include "inirows.h"
#include "tdm.h"

namespace kolvservice {

void setAlive(Tdm &db, bool alive)
{
    db.transaction([&] { writeIni(db, QStringLiteral("SERVICE_ISALIVE"), alive ? QStringLiteral("1") : QStringLiteral("0")); });
}

QString didUpdateText(const QDateTime &now)
{
    return now.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

std::optional<ApplyResult> handlePendingRequest(Tdm &db, const QDateTime &now)
{
    // The check runs every second and needs no write lock; only a due request
    // takes one, and then looks again in case the request changed meanwhile.
    if (!requestDue(readSyncRequest(db), now))
        return std::nullopt;
    std::optional<ApplyResult> result;
    db.transaction([&] {
        if (!requestDue(readSyncRequest(db), now))
            return;
        ensureTerminalStore(db);
        result = applyJournal(db);
        writeIni(db, QStringLiteral("PELVAR_DIDUPDATE"), didUpdateText(now));
        writeIni(db, QStringLiteral("PELVAR_DOUPDATE"), QStringLiteral("0"));
    });
    return result;
}

QString requestLogLine(const QDateTime &now, const ApplyResult &result)
{
    QString line = didUpdateText(now) + QStringLiteral(" Abgleich: %1 %2 angewandt (%3 +, %4 -), %5 %6")
                                            .arg(result.applied)
                                            .arg(result.applied == 1 ? QStringLiteral("Eintrag")
                                                                     : QStringLiteral("Einträge"))
                                            .arg(result.added)
                                            .arg(result.removed)
                                            .arg(result.terminals)
                                            .arg(result.terminals == 1 ? QStringLiteral("Terminal")
                                                                       : QStringLiteral("Terminals"));
    if (result.unknown > 0)
        line += QStringLiteral(", %1 mit unbekannter Aktion übergangen").arg(result.unknown);
    return line;
}

}  // namespace kolvservice
