// The kept name order must always be the order a full sort gives, whatever
// changed between two readings.
#include "germanorder.h"
#include "nameorder.h"

#include <QTest>
#include <algorithm>
#include <functional>

using Rows = QVector<PersonRow>;
using Change = std::function<void(Rows &)>;
Q_DECLARE_METATYPE(Change)

namespace {

Rows sortedFully(Rows byPid)
{
    const GermanNameOrder order;
    std::stable_sort(byPid.begin(), byPid.end(),
                     [&](const PersonRow &a, const PersonRow &b) { return order(a.name, b.name); });
    return byPid;
}

QStringList shown(const Rows &rows)
{
    QStringList out;
    for (const PersonRow &r : rows)
        out << QString::number(r.pid) + ' ' + r.name;
    return out;
}

Rows site()
{
    const char *names[] = {"Müller", "Zander", "Özdemir", "abel", "Abel", "Otto", "Müller", "Halle 10", "Halle 2",
                           "Strauß", "Stroh", "Ärger", "Bach", "xaver"};
    Rows rows;
    int pid = 3;
    for (int round = 0; round < 20; ++round)
        for (const char *n : names)
            rows.push_back({pid += 7, QString::fromUtf8(n) + (round % 3 ? QString() : QString::number(round))});
    return rows;
}

void insertByPid(Rows &rows, PersonRow row)
{
    const auto at = std::lower_bound(rows.begin(), rows.end(), row.pid,
                                     [](const PersonRow &r, int32_t pid) { return r.pid < pid; });
    rows.insert(at, row);
}

}  // namespace

class TestNameOrder : public QObject
{
    Q_OBJECT

private slots:
    void keptOrderEqualsFullSort_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("nothing changed") << Change([](Rows &) {});
        QTest::newRow("person added, first number") << Change([](Rows &r) { insertByPid(r, {1, "Mittel"}); });
        QTest::newRow("person added, a name already there")
            << Change([](Rows &r) { insertByPid(r, {12, "Müller"}); });
        QTest::newRow("person added at the end of both orders")
            << Change([](Rows &r) { insertByPid(r, {99999, "Zzz"}); });
        QTest::newRow("renamed") << Change([](Rows &r) { r[5].name = "Aaron"; });
        QTest::newRow("renamed to an equal name of a lower number")
            << Change([](Rows &r) { r[200].name = r[1].name; });
        QTest::newRow("removed") << Change([](Rows &r) { r.removeAt(17); });
        QTest::newRow("all removed") << Change([](Rows &r) { r.clear(); });
        QTest::newRow("many changed, sorted again")
            << Change([](Rows &r) {
                   for (int i = 0; i < r.size(); i += 2)
                       r[i].name = QString::number(r.size() - i);
               });
    }

    void keptOrderEqualsFullSort()
    {
        QFETCH(Change, change);
        NameOrderCache cache;
        Rows rows = site();
        QCOMPARE(shown(cache.order(rows)), shown(sortedFully(rows)));
        change(rows);
        QCOMPARE(shown(cache.order(rows)), shown(sortedFully(rows)));
        // And once more from there, as at the next showing.
        insertByPid(rows, {5, "Ölberg"});
        QCOMPARE(shown(cache.order(rows)), shown(sortedFully(rows)));
    }
};

QTEST_GUILESS_MAIN(TestNameOrder)
#include "tst_nameorder.moc"
