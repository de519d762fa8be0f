// enrol-writer: a second station for the reliability tests, writing through
// the station's own store code in a process of its own, so that a test can
// kill it at any moment or run two of them against each other.
//
//   enrol-writer DIR churn SEED
//       stores enrolments, renumbers and deletes persons until it is killed.
//   enrol-writer DIR compete NAME SEED FIRST COUNT [FIRST COUNT ...]
//       stores one enrolment under NAME for every number of the ranges, in
//       an order of its own, then ends.
//
// A line in the past tense is printed only after its transaction was
// committed; one in the progressive before a person's rows may change:
//   ready | saved PID | renumbering OLD NEW | renumbered OLD NEW | deleting PID | deleted PID
//   refused PID TEXT | error PID TEXT
#include "clock.h"
#include "dberror.h"
#include "enrolmentstore.h"
#include "kolvschema.h"
#include "personmaintenance.h"
#include "personnelnumber.h"
#include "tdbini.h"
#include "tdm.h"
#include "terminals.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

struct Enrolment
{
    FingerList fingers;
    ScanList scans;
};

// One to four fingers of three scans each, module bytes random, one best scan per finger.
void makeEnrolment(Enrolment &e, QRandomGenerator &random)
{
    const int count = random.bounded(1, 5);
    for (int k = 0; k < count; ++k) {
        Tfinger &f = *e.fingers.byNumber(1 + int(random.bounded(10)));
        if (f.ScanCount > 0)
            continue;
        f.ScanCount = 3;
        f.BestScan = random.bounded(1, 4);
        f.Selected = true;
        f.Rank = k + 1;
        for (int n = 0; n < 3; ++n) {
            auto scan = std::make_unique<Tscan>();
            scan->FingerNo = f.FingerNo;
            scan->ScanIndex = n;
            scan->TemplateLength = TEMPLATE_SIZE;
            for (int b = TEMPLATE_QUALITY_BYTE; b < TEMPLATE_SIZE; ++b)
                scan->Template[b] = uint8_t(random.bounded(256));
            scan->Score = int(random.bounded(100));
            scan->Best = n + 1 == f.BestScan;
            f.BestScore = scan->Best ? scan->Score : f.BestScore;
            e.scans.append(std::move(scan));
        }
    }
}

EnrolmentSave saveOf(const Enrolment &e, int32_t pid, const QString &name,
                     const std::vector<const tgeraet *> &terminals)
{
    EnrolmentSave save;
    save.pidText = QString::number(pid);
    save.name = name;
    save.dataFormat = 1;
    for (int p = 0; p < 10; ++p)
        if (e.fingers.at(p).ScanCount > 0)
            save.fingerSlots[size_t(p)] = &e.fingers.at(p);
    save.terminals = terminals;
    return save;
}

std::vector<int32_t> storedPersons(Tdm &dm)
{
    std::vector<int32_t> pids;
    dm.forEachRow(QStringLiteral("select pid from fingerid"), {},
                  [&](const QSqlQuery &q) { pids.push_back(q.value(0).toInt()); });
    return pids;
}

int churn(Tdm &dm, const std::vector<const tgeraet *> &terminals, quint32 seed)
{
    QRandomGenerator random(seed);
    QStringList allIds;
    for (const tgeraet *t : terminals)
        allIds << t->typid;
    Clock clock;
    // Numbers of this writer only, so that no save is refused as taken.
    int32_t next = int32_t(seed % 1000) * 100000 + 1;
    say(QStringLiteral("ready"));
    for (;;) {
        const std::vector<int32_t> stored = storedPersons(dm);
        const int action = stored.empty() ? 0 : int(random.bounded(10));
        if (action < 6) {
            Enrolment e;
            makeEnrolment(e, random);
            std::vector<const tgeraet *> ticked;
            for (const tgeraet *t : terminals)
                if (random.bounded(2))
                    ticked.push_back(t);
            const int32_t pid = next++;
            saveEnrolment(dm, clock, e.fingers, e.scans, saveOf(e, pid, QStringLiteral("Person %1").arg(pid), ticked));
            say(QStringLiteral("saved %1").arg(pid));
        } else if (action < 8) {
            const int32_t old = stored[size_t(random.bounded(int(stored.size())))];
            const int32_t pid = next++;
            say(QStringLiteral("renumbering %1 %2").arg(old).arg(pid));
            storePersonChange(dm, old, pid, QStringLiteral("Person %1").arg(pid));
            say(QStringLiteral("renumbered %1 %2").arg(old).arg(pid));
        } else {
            const int32_t old = stored[size_t(random.bounded(int(stored.size())))];
            say(QStringLiteral("deleting %1").arg(old));
            deletePerson(dm, clock, old, allIds);
            say(QStringLiteral("deleted %1").arg(old));
        }
    }
}

int compete(Tdm &dm, const std::vector<const tgeraet *> &terminals, const QString &name, quint32 seed,
            std::vector<int32_t> pids)
{
    QRandomGenerator random(seed);
    std::shuffle(pids.begin(), pids.end(), random);
    Clock clock;
    say(QStringLiteral("ready"));
    for (int32_t pid : pids) {
        Enrolment e;
        makeEnrolment(e, random);
        try {
            saveEnrolment(dm, clock, e.fingers, e.scans, saveOf(e, pid, name, {terminals.front()}));
            say(QStringLiteral("saved %1").arg(pid));
        } catch (const InputError &error) {
            say(QStringLiteral("refused %1 %2").arg(pid).arg(error.text()));
        } catch (const DbError &error) {
            say(QStringLiteral("error %1 %2").arg(pid).arg(error.text()));
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fputs("usage: enrol-writer DIR churn SEED | DIR compete NAME SEED FIRST COUNT...\n", stderr);
        return 2;
    }
    try {
        Tdm dm;
        dm.setConnectionPath(args[1] + QLatin1Char('/') + QLatin1String(kolv::dictionaryPath()));
        Tdbini settings(dm);
        dm.LoadTerminals(settings);
        std::vector<const tgeraet *> terminals;
        for (int i = 0; i < dm.TerminalCount(); ++i)
            terminals.push_back(dm.GetTerminal(i));
        if (terminals.empty()) {
            std::fputs("no terminals\n", stderr);
            return 2;
        }
        if (args[2] == QLatin1String("churn"))
            return churn(dm, terminals, args[3].toUInt());
        if (args[2] == QLatin1String("compete") && args.size() >= 7) {
            std::vector<int32_t> pids;
            for (int i = 5; i + 1 < args.size(); i += 2)
                for (int n = 0; n < args[i + 1].toInt(); ++n)
                    pids.push_back(args[i].toInt() + n);
            return compete(dm, terminals, args[3], args[4].toUInt(), pids);
        }
    } catch (const DbError &error) {
        std::fputs(qPrintable(QStringLiteral("error %1\n").arg(error.text())), stderr);
        return 1;
    } catch (const InputError &error) {
        std::fputs(qPrintable(QStringLiteral("error %1\n").arg(error.text())), stderr);
        return 1;
    }
    std::fputs("bad arguments\n", stderr);
    return 2;
}
