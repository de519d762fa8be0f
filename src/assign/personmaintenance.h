// The writing side of person maintenance. Each operator action is one write
// transaction, so that a failing statement leaves nothing half-written and the
// journal never announces a change that was rolled back.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class Tdm;
class Clock;

// A tick or untick: the assignment row and its journal row ("+" or "-").
void setAssignment(Tdm &dm, const Clock &clock, int32_t pid, const QString &terminalId, bool assigned);

// One journal row with action for each terminal, in list order.
void appendJournalRows(Tdm &dm, const Clock &clock, int32_t pid, const QStringList &terminalIds,
                       const QString &action);

// Deletes the person with every stored row: the journal rows go first, then a
// "-" row for every terminal of the directory (the service takes the person
// off wherever it may be), then assignments, templates, archive and person.
void deletePerson(Tdm &dm, const Clock &clock, int32_t pid, const QStringList &allTerminalIds);

// Throws InputError "Personalid ist schon <name> zugeordnet" when another
// person than oldPid holds newPid.
void checkNumberFree(Tdm &dm, int32_t oldPid, int32_t newPid);

// Stores a changed number and name. With a new number the templates, the
// archive and the assignment rows move with the person, and bytes 0-7 of
// every stored template (both tables) are rewritten to the new number, so
// that what the terminals receive names the right person. Runs inside the
// caller's transaction when there is one. Throws InputError when the new
// number is taken, before anything is written.
void storePersonChange(Tdm &dm, int32_t oldPid, int32_t newPid, const QString &name);

// "Eintrag bearbeiten" after OK, in one transaction: the number and name
// (storePersonChange) and the journal rows for the ticked terminals. With a
// new number: "-" rows under the old number, pause(), "+" rows under the new
// one; the pause runs inside the transaction, so that the Kolv service, which
// waits on the lock, never sees the person taken off without being put back.
// With the same number: "+" rows only when a finger was moved ("<"). A
// failure anywhere rolls back everything.
void changePerson(Tdm &dm, const Clock &clock, int32_t oldPid, int32_t newPid, const QString &name,
                  const QStringList &tickedTerminals, bool fingerChanged, const std::function<void()> &pause);

// Moves the person's stored template from finger oldFid to newFid, fid and
// header byte 8, and the finger's archive rows with it, so that a rescan
// shows the finger where it now is. Archive rows already at newFid (scans of
// a finger without a stored template) change places with them: nothing is
// lost and each finger number keeps one series. One transaction. Throws
// InputError "Finger <n> hat bereits eine gespeicherte Vorlage" when another
// stored template of the person has newFid. Returns false when the person has
// no template at oldFid.
bool moveStoredTemplate(Tdm &dm, int32_t pid, int32_t oldFid, int32_t newFid);
