// The synchronisation request the Kolv service picks up, and the service
// status shown in the main window's status bar.
#pragma once

#include <QDateTime>
#include <QString>

struct Station;
class Tdbini;

// The next occurrence of syncTime's time of day: today's, unless the moment
// now (taken again) is already past it, then tomorrow's.
QDateTime nextSyncDateTime(const QDateTime &now, const QDateTime &nowAgain, double syncTime);

// The menu item "Quorvel-Terminals abgleichen"; also run by the close query.
void QuorvelKolvGerteupdate1Click(Station &station);

struct ServiceStatus
{
    QString service;  // "Dienst:läuft" / "Dienst:aus"
    QString request;  // "Abgleich: angefordert" / "Abgleich: aus"
    QString last;     // "letzter Abgleich:" + DIDUPDATE
};

// Reads the three settings afresh. Throws DbError when the table cannot be read.
ServiceStatus readServiceStatus(Tdbini &settings);
