// The order in which the station lists names (persons, terminals, terminal
// groups): German collation, so that "Özdemir" stands beside "Otto" and not
// after "x", and "Büro 2" before "Büro 10". Every list sorts through this one
// order, whatever database it was read from.
#pragma once

#include <QCollator>
#include <QString>
#include <algorithm>
#include <vector>

class GermanNameOrder
{
public:
    GermanNameOrder();

    // Negative, zero or positive as a sorts before, with or after b.
    int compare(const QString &a, const QString &b) const { return m_collator.compare(a, b); }
    bool operator()(const QString &a, const QString &b) const { return compare(a, b) < 0; }
    // A key whose comparison gives the same order, for sorting many names:
    // each name is analysed once instead of at every comparison.
    QCollatorSortKey sortKey(const QString &s) const { return m_collator.sortKey(s); }

private:
    QCollator m_collator;
};

// The rows of the terminal tree in the order every list shows them: by
// level, within a level by name. Rows equal in both keep their order.
template <typename Row, typename Level, typename Name>
void sortByLevelAndName(std::vector<Row> &rows, Level level, Name name)
{
    const GermanNameOrder order;
    std::stable_sort(rows.begin(), rows.end(), [&](const Row &a, const Row &b) {
        if (level(a) != level(b))
            return level(a) < level(b);
        return order(name(a), name(b));
    });
}
