#include "syncrequest.h"

#include "clock.h"
#include "datetimevalue.h"
#include "operatorui.h"
#include "settingskeys.h"
#include "station.h"
#include "tdbini.h"
#include "tdm.h"

#include <cmath>

QDateTime nextSyncDateTime(const QDateTime &now, const QDateTime &nowAgain, double syncTime)
{
    const double today = std::trunc(datetimevalue::fromDateTime(now));
    double t = today + datetimevalue::timeOfDay(syncTime);
    // Wall-clock values, compared as the Kolv service compares them.
    if (datetimevalue::fromDateTime(nowAgain) > t)
        t += 1.0;
    // In the time zone of the clock; a time the spring change skips is the
    // first one after it, never "no time" (which would request at once).
    return datetimevalue::toDateTimeIn(t, now);
}

void QuorvelKolvGerteupdate1Click(Station &station)
{
    using namespace settingskeys;
    if (!station.DataChanged &&
        !station.ui->confirm(QStringLiteral("Sie haben keine Daten verändert-Trotzdem Abgleich auslösen ??"),
                             OperatorUi::Default::No))
        return;
    Tdbini &settings = *station.Settings;
    QDateTime at;
    if (station.SyncMode == 1) {
        const QDateTime now = station.clock->now();
        at = nextSyncDateTime(now, station.clock->now(), station.SyncTime);
    }
    // One transaction, so that the service never sees the request without its
    // time. A failed write ends here with the database's text: a request that
    // was not written must not be confirmed.
    station.dm->transaction([&] {
        settings.WriteBool(pelvar, doUpdate, true);
        if (at.isValid())
            settings.WriteFloat(pelvar, doUpdateTime, datetimevalue::fromDateTime(at));
    });
    if (at.isValid())
        station.ui->message(QStringLiteral("Terminal-Synchronisation wird ausgelöst am: ") +
                            datetimevalue::formatDayMinute(at, datetimevalue::timeSeparator()));
    else
        station.ui->message(QStringLiteral("wurde ausgelöst"));
}

ServiceStatus readServiceStatus(Tdbini &settings)
{
    using namespace settingskeys;
    ServiceStatus status;
    status.service = settings.ReadBool(service, isAlive, false)
                         ? QStringLiteral("Dienst:läuft")
                         : QStringLiteral("Dienst:aus");
    status.request = settings.ReadBool(pelvar, doUpdate, false)
                         ? QStringLiteral("Abgleich: angefordert")
                         : QStringLiteral("Abgleich: aus");
    status.last = QStringLiteral("letzter Abgleich:") +
                  settings.ReadString(pelvar, didUpdate, defaultDidUpdate);
    return status;
}
