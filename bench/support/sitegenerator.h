// A Kolv installation of site size, written straight through the sqlite3 C
// API so that 100,000 persons take seconds: kolv-setup's schema, a terminal
// tree of fingerprint terminals, persons with templates, unique assignments
// and a journal not yet applied.
#pragma once

#include <QString>

struct SiteSize
{
    int persons = 20000;
    int terminals = 300;
    // Per person: one in ten has no template, one in three of the rest has four,
    // the others three (60,000 templates for 20,000 persons).
    int assignmentsPerPerson = 5;  // distinct terminals
    int journalRowsPerPerson = 5;
};

// Creates DIR/daten/kolv.add; the station's settings choose a plain serial
// port, so that start-up searches no USB bridge. Returns an error text or "".
QString generateSite(const QString &dir, const SiteSize &size);

// The name of person pid, as the generator writes it.
QString generatedName(int pid);
