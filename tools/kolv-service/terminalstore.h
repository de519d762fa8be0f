// The simulated terminals: what each terminal would hold after the service
// loaded it, kept in a table of the service's own in the Kolv database.
#pragma once

class Tdm;

namespace kolvservice {

struct ApplyResult
{
    int applied = 0;    // journal rows applied and deleted
    int added = 0;      // of which "+"
    int removed = 0;    // of which "-"
    int terminals = 0;  // distinct terminals the applied rows named
    int unknown = 0;    // rows with another action, left in the journal
};

// Creates the store table and its index when they are missing. Throws DbError.
void ensureTerminalStore(Tdm &db);

// Applies the journal of fingerstatus to the store and deletes the rows it
// applied. Runs inside the caller's transaction, so that the store, the journal
// and the request flag change together or not at all. Throws DbError.
ApplyResult applyJournal(Tdm &db);

}  // namespace kolvservice
