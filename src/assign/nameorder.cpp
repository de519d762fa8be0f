#include "nameorder.h"

#include <algorithm>
#include <numeric>

bool NameOrderCache::before(const PersonRow &a, const PersonRow &b) const
{
    const int c = m_order.compare(a.name, b.name);
    return c < 0 || (c == 0 && a.pid < b.pid);
}

void NameOrderCache::sortAll(const QVector<PersonRow> &byPid, std::vector<int> &sequence) const
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(byPid.size()));
    for (const PersonRow &row : byPid)
        keys.push_back(m_order.sortKey(row.name));
    sequence.resize(size_t(byPid.size()));
    std::iota(sequence.begin(), sequence.end(), 0);
    // Stable over rows in number order: equal names stay by number.
    std::stable_sort(sequence.begin(), sequence.end(),
                     [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
}

QVector<PersonRow> NameOrderCache::order(const QVector<PersonRow> &byPid)
{
    const int n = int(byPid.size());
    std::vector<int> sequence;  // indexes into byPid, in name order
    std::vector<int> kept;      // by their old position: unchanged rows
    std::vector<int> placed;    // new or renamed rows
    std::vector<int> oldToNew(size_t(m_byPid.size()), -1);
    for (int i = 0, j = 0; i < n; ++i) {
        const PersonRow &row = byPid[i];
        while (j < m_byPid.size() && m_byPid[j].pid < row.pid)
            ++j;
        if (j < m_byPid.size() && m_byPid[j].pid == row.pid && m_byPid[j].name == row.name)
            oldToNew[size_t(m_position[size_t(j)])] = i;
        else
            placed.push_back(i);
    }
    // Many changes: sorting everything again is cheaper than placing each.
    if (m_byPid.isEmpty() || placed.size() > size_t(n / 8 + 64)) {
        sortAll(byPid, sequence);
    } else {
        kept.reserve(size_t(n) - placed.size());
        for (int i : oldToNew)
            if (i >= 0)
                kept.push_back(i);
        const auto less = [&](int a, int b) { return before(byPid[a], byPid[b]); };
        std::sort(placed.begin(), placed.end(), less);
        sequence.reserve(size_t(n));
        auto from = kept.begin();
        for (int p : placed) {
            const auto at = std::lower_bound(from, kept.end(), p, less);
            sequence.insert(sequence.end(), from, at);
            sequence.push_back(p);
            from = at;
        }
        sequence.insert(sequence.end(), from, kept.end());
    }
    QVector<PersonRow> result;
    result.reserve(n);
    m_position.assign(size_t(n), 0);
    for (int k = 0; k < n; ++k) {
        result.push_back(byPid[sequence[size_t(k)]]);
        m_position[size_t(sequence[size_t(k)])] = k;
    }
    m_byPid = byPid;
    return result;
}
