// The database side of an enrolment: whether a personnel number is still
// free, saving an enrolment, and loading a stored person's scans for new
// scans ("Neu scannen").
#pragma once

#include "bioobjects.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class Tdm;
class Clock;
struct tgeraet;

// The name of the person who holds the number, if any. Throws DbError.
std::optional<QString> personHolding(Tdm &dm, int32_t pid);
// "Personalid ist schon <name> zugeordnet".
QString pidTakenMessage(const QString &name);

// What the enrolment dialog and the transfer dialog hand to the save.
struct EnrolmentSave
{
    QString pidText;  // as typed; checked before anything is written
    QString name;
    bool rescan = false;      // an existing person: no person row, no assignments
    QString rescanPidText;    // for a rescan: the number of the person it was opened for
    uint8_t dataFormat = 1;   // Datatype of scans captured in this run
    // The transfer dialog's slots; a selected finger's best scan goes to Fingerdata.
    std::array<const Tfinger *, 10> fingerSlots{};
    // The ticked terminals in list order (ignored for a rescan).
    std::vector<const tgeraet *> terminals;
};

// Writes the enrolment in one transaction: every scan to the archive, the
// best scan of each selected slot to Fingerdata, and for a new person the
// person row, the assignments and one "+" journal row per terminal. Nothing
// is written when the personnel number is not a number (InputError), when a
// new person's number is taken (InputError with the taken message), when a
// rescan's number is not that of the person it was opened for (InputError:
// another person's templates would be overwritten) or when a statement fails
// (DbError; everything is rolled back).
void saveEnrolment(Tdm &dm, const Clock &clock, const FingerList &fingers, const ScanList &scans,
                   const EnrolmentSave &save);

// Fills the freshly reset fingers and the empty scan list from the archive
// rows of the person, every stored scan of each finger; a finger with several
// scans and no stored best one is scored with scoreFinger. Without archive
// rows the Fingerdata rows give one selected scan per finger, score 10.
// Each scan keeps the format it was stored in (for a NULL Datatype the one
// its length belongs to). Throws DbError, and InputError naming the person
// and the fingers when a stored template cannot be a template of its format:
// the caller then must not write the person's scans back.
void loadStoredScans(Tdm &dm, int32_t pid, FingerList &fingers, ScanList &scans,
                     const std::function<void(Tfinger &)> &scoreFinger);
