// What the assignment windows read of the enrolled persons: the person list,
// the numbers with stored templates, and the assignments seen from either side.
// Each is one select read to its end, never one query per person.
#pragma once

#include <QSet>
#include <QString>
#include <QVector>
#include <cstdint>

class Tdm;
class NameOrderCache;

struct PersonRow
{
    int32_t pid = 0;
    QString name;
};

// The grid's own columns; only these names ever reach an "order by".
enum class PersonColumn { Pid = 0, Name = 1, Ok = 2 };
// The field a column sorts by, or an empty text for the "OK" column, which has none.
QString sortFieldOf(PersonColumn column);

// Every person of fingerid, ordered by sortField ("pid" or "name", the names
// in German order, equal names by number); any other text sorts by pid.
// expected is how many rows there were the last time, so that thousands of
// rows are not moved again and again while the list grows.
// With a cache, the name order of its last reading is reused for what did
// not change since.
QVector<PersonRow> readPersons(Tdm &dm, const QString &sortField, int expected = 0,
                               NameOrderCache *cache = nullptr);
// The numbers that have at least one row in fingerdata.
QSet<int32_t> readTemplatePids(Tdm &dm, int expected = 0);
// The terminal identifiers the person is assigned to.
QSet<QString> readAssignedTerminals(Tdm &dm, int32_t pid);
// The persons assigned to the terminal.
QSet<int32_t> readAssignedPids(Tdm &dm, const QString &terminalId);

// The first row, in list order, whose sortField value begins with text, or -1.
// Names are compared without regard to case, with full Unicode case folding,
// so that "mü" finds "Müller" and "MÜLLER". A number matches when its decimal
// text begins with text: "12" finds 12, 120 and 1234, and digits have no case.
// An empty text finds nothing, so the current row stays.
int findByPrefix(const QVector<PersonRow> &rows, const QString &sortField, const QString &text);
