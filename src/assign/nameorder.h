// Persons in German name order, kept from one reading to the next: a window
// that reads the same persons again pays a comparison per person instead of a
// sort of thousands of names, and persons added or renamed since (by another
// station, say) are placed among the others by binary search.
#pragma once

#include "germanorder.h"
#include "personrecords.h"

#include <vector>

class NameOrderCache
{
public:
    // byPid in ascending numbers; returns the same rows by name, equal names
    // by number.
    QVector<PersonRow> order(const QVector<PersonRow> &byPid);

private:
    void sortAll(const QVector<PersonRow> &byPid, std::vector<int> &sequence) const;
    bool before(const PersonRow &a, const PersonRow &b) const;

    GermanNameOrder m_order;
    QVector<PersonRow> m_byPid;   // the last reading (the names are shared, not copied)
    std::vector<int> m_position;  // where m_byPid[i] stands in name order
};
