// Times both assignment windows on an installation of site size, each figure
// until the window has painted, paired round by round with raw SQLite doing
// the same reads through the sqlite3 C API on the same file.
//
//   bench-assign [--persons N] [--rounds R] [--dir INSTALLATION]
//   bench-assign --grab OUTDIR PROGRAMDIR     pictures of the windows, small site
//
// Without --dir a site of N persons (default 20,000), 300 terminals, 3.3
// templates, 5 assignments and 5 journal rows per person is generated in a
// temporary folder. With --dir the given installation is used as it is; the
// raw baseline needs its dictionary to be an SQLite file.
#include "clock.h"
#include "operatorui.h"
#include "paintprobe.h"
#include "personmodel.h"
#include "rawsqlite.h"
#include "rounds.h"
#include "sitegenerator.h"
#include "station.h"
#include "tchdataform.h"
#include "tdbini.h"
#include "tdm.h"
#include "tgzuweisenform.h"
#include "tscanfingerform.h"
#include "tscanningform.h"
#include "tzuweisungsform.h"

#include "kolvschema.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

class SilentUi : public OperatorUi
{
public:
    void message(const QString &text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool confirm(const QString &, Default) override { return false; }
    QString chooseFolder(const QString &) override { return {}; }
    QString chooseFile() override { return {}; }
};

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

// What raw SQLite keeps of a person row.
struct RawPerson
{
    int pid;
    std::string name;
};

bool isSqliteFile(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16);
}

struct Options
{
    int persons = 20000;
    int rounds = 7;
    QString dir;
    QString grabOut, grabProgramDir;
};

Options parse(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--persons" && i + 1 < argc)
            o.persons = std::max(1, std::atoi(argv[++i]));
        else if (a == "--rounds" && i + 1 < argc)
            o.rounds = std::max(5, std::atoi(argv[++i]));
        else if (a == "--dir" && i + 1 < argc)
            o.dir = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--grab" && i + 2 < argc) {
            o.grabOut = QString::fromLocal8Bit(argv[++i]);
            o.grabProgramDir = QString::fromLocal8Bit(argv[++i]);
        }
    }
    return o;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Options opt = parse(argc, argv);
    const bool grab = !opt.grabOut.isEmpty();
    QTemporaryDir tmp;
    QString installation = opt.dir;
    int terminals = 300;
    if (installation.isEmpty()) {
        SiteSize size;
        size.persons = grab ? 40 : opt.persons;
        size.terminals = terminals = grab ? 12 : 300;
        QElapsedTimer t;
        t.start();
        const QString error = generateSite(tmp.path(), size);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        installation = tmp.path();
        std::printf("generated %d persons, %d terminals in %.0f ms\n", size.persons, size.terminals, elapsedMs(t));
    }
    const QString dictionary = QDir(installation).filePath(QString::fromLatin1(kolv::dictionaryPath()));

    Tdm dm;
    dm.setConnectionPath(dictionary);
    Tdbini settings(dm);
    Clock clock;
    SilentUi ui;
    Station station;
    station.dm = &dm;
    station.Settings = &settings;
    station.clock = &clock;
    station.ui = &ui;
    if (grab)
        station.ProgramDir = opt.grabProgramDir + "/";
    Tscanningform scanning;
    Tscanfingerform scanform(station, scanning);
    Tchdataform chdata(station, scanform.Fingers);
    Tzuweisungsform zuweisung(station, scanform, chdata);
    Tgzuweisenform gzuweisen(station);
    if (grab) {
        const QString out = opt.grabOut + "/";
        zuweisung.show();
        zuweisung.setCurrentRow(3);
        app.processEvents();
        zuweisung.grab().save(out + "personen-zuweisen.png");
        zuweisung.hide();
        gzuweisen.show();
        gzuweisen.gbox()->setCurrentRow(1);
        app.processEvents();
        gzuweisen.grab().save(out + "geraete-zuweisen.png");
        gzuweisen.hide();
        chdata.OldPid = "4";
        chdata.nredit()->setText("4");
        chdata.nameedit()->setText("Müller 4");
        chdata.SelectedFinger = scanform.Fingers.byNumber(3);
        chdata.show();
        app.processEvents();
        chdata.grab().save(out + "daten-aendern.png");
        return 0;
    }

    const bool withRaw = isSqliteFile(dictionary);
    RawSqlite raw(withRaw ? dictionary.toStdString() : std::string());
    const int R = opt.rounds;
    QElapsedTimer t;
    // One round of the station, then one of the baseline, so that both meet the same load.
    auto paired = [&](const std::function<double()> &station, const std::function<double()> &baseline) {
        Samples s, b;
        for (int i = 0; i < R; ++i) {
            s.ms.push_back(station());
            if (withRaw)
                b.ms.push_back(baseline());
        }
        return std::pair{s, b};
    };

    // Raw SQLite doing the reads of a showing and of a selection.
    RawSqlite::Statement rawTemplatePids(raw.handle(), "select distinct(pid) from fingerdata");
    RawSqlite::Statement rawByPid(raw.handle(), "select pid, name from fingerid order by pid");
    RawSqlite::Statement rawByName(raw.handle(), "select pid, name from fingerid order by name, pid");
    RawSqlite::Statement rawTerminalsOf(raw.handle(), "select geraet from fingerid_to_geraet where pid=?");
    RawSqlite::Statement rawPidsOf(raw.handle(), "select pid from fingerid_to_geraet where geraet=?");
    auto readPersonsRaw = [&](RawSqlite::Statement &st) {
        std::vector<RawPerson> rows;
        st.each([&](sqlite3_stmt *s) { rows.push_back({sqlite3_column_int(s, 0), columnText(s, 1)}); });
        return rows;
    };
    auto terminalsOfRaw = [&](int pid) {
        std::set<std::string> ids;
        rawTerminalsOf.bind(1, pid);
        rawTerminalsOf.each([&](sqlite3_stmt *s) { ids.insert(columnText(s, 0)); });
        return ids;
    };
    auto pidsOfRaw = [&](const std::string &terminal) {
        std::unordered_set<int> pids;
        rawPidsOf.bind(1, terminal);
        rawPidsOf.each([&](sqlite3_stmt *s) { pids.insert(sqlite3_column_int(s, 0)); });
        return pids;
    };

    std::printf("%d persons, %d terminals; %s\n", opt.persons, terminals,
                withRaw ? "baseline: raw SQLite, same reads" : "no raw baseline (not an SQLite dictionary)");
    printHead(R);

    // "Personen zuweisen"
    QTableView *grid = zuweisung.pgrid();
    PaintProbe gridPainted({grid->viewport()});
    PaintProbe searchPainted({zuweisung.search()});
    const size_t heapBefore = heapInUse();
    QElapsedTimer first;
    first.start();
    zuweisung.show();
    gridPainted.wait();
    const double firstShow = elapsedMs(first);
    const size_t heapPersons = heapInUse() - heapBefore;
    zuweisung.hide();
    printAbsolute("Personen zuweisen: first showing", Samples{{firstShow}}, "");
    auto [showP, showPRaw] = paired(
        [&] {
            zuweisung.hide();
            app.processEvents();
            gridPainted.arm();
            t.start();
            zuweisung.show();
            gridPainted.wait();
            return elapsedMs(t);
        },
        [&] {
            t.start();
            auto pids = std::unordered_set<int>();
            rawTemplatePids.each([&](sqlite3_stmt *s) { pids.insert(sqlite3_column_int(s, 0)); });
            const auto rows = readPersonsRaw(rawByPid);
            if (!rows.empty())
                terminalsOfRaw(rows.front().pid);
            return elapsedMs(t);
        });
    printFigure("Personen zuweisen: showing again", showP, showPRaw, "<= 1.5x");

    const int persons = zuweisung.persons()->rowCount();
    int step = 0;
    auto [moveP, moveRaw] = paired(
        [&] {
            const int row = int((int64_t(++step) * 7919) % std::max(1, persons));
            gridPainted.arm();
            t.start();
            zuweisung.setCurrentRow(row);
            gridPainted.wait();
            return elapsedMs(t);
        },
        [&] {
            t.start();
            terminalsOfRaw(1 + int((int64_t(step) * 7919) % std::max(1, persons)));
            return elapsedMs(t);
        });
    printFigure("Personen zuweisen: cursor move", moveP, moveRaw, "<= 3.4 ms, flat");

    zuweisung.pgridTitleClick(1);
    const char *keystrokes[] = {"w", "wa", "wag", "wagn", "wagne", "wagner", "wagner,", "wagner, l"};
    int key = 0;
    const Samples typed = rounds(std::max(R, 8), [&] {
        const QString text = QString::fromUtf8(keystrokes[key++ % 8]);
        searchPainted.arm();
        t.start();
        zuweisung.search()->setText(text);
        searchPainted.wait();
        return elapsedMs(t);
    });
    printAbsolute("Personen zuweisen: typed search by name", typed, "<= 3.2 ms");
    zuweisung.hide();

    // "Geräte zuweisen"
    QAbstractItemView *terminalList = gzuweisen.gbox();
    PaintProbe listPainted({gzuweisen.pbox()->viewport()});
    PaintProbe terminalsPainted({terminalList->viewport()});
    const size_t heapBeforeG = heapInUse();
    first.start();
    gzuweisen.show();
    listPainted.wait();
    const double firstShowG = elapsedMs(first);
    const size_t heapTerminals = heapInUse() - heapBeforeG;
    gzuweisen.hide();
    printAbsolute("Geräte zuweisen: first showing", Samples{{firstShowG}}, "");
    auto [showG, showGRaw] = paired(
        [&] {
            gzuweisen.hide();
            app.processEvents();
            listPainted.arm();
            t.start();
            gzuweisen.show();
            listPainted.wait();
            return elapsedMs(t);
        },
        [&] {
            t.start();
            const auto rows = readPersonsRaw(rawByName);
            pidsOfRaw("1");
            return elapsedMs(t);
        });
    printFigure("Geräte zuweisen: showing", showG, showGRaw, "<= 1.5x");

    int selection = 0;
    auto [selectG, selectRaw] = paired(
        [&] {
            const int row = (++selection * 37) % std::max(1, terminals);
            terminalsPainted.arm();
            t.start();
            gzuweisen.gbox()->setCurrentRow(row);
            terminalsPainted.wait();
            return elapsedMs(t);
        },
        [&] {
            t.start();
            pidsOfRaw(std::to_string(1 + (selection * 37) % std::max(1, terminals)));
            return elapsedMs(t);
        });
    printFigure("Geräte zuweisen: select a terminal", selectG, selectRaw, "<= 2 ms");
    // Where the time of a selection goes: the same without waiting for the paint.
    const Samples selectCall = rounds(R, [&] {
        const int row = (++selection * 37) % std::max(1, terminals);
        t.start();
        gzuweisen.gbox()->setCurrentRow(row);
        const double ms = elapsedMs(t);
        app.processEvents();
        return ms;
    });
    printAbsolute("  of which the call, before painting", selectCall, "");
    gzuweisen.hide();

    std::printf("heap held after the first showing: Personen zuweisen %.0f bytes/person, Geräte zuweisen %.0f "
                "bytes/person (goal < 200)\n",
                double(heapPersons) / std::max(1, persons), double(heapTerminals) / std::max(1, persons));
    return 0;
}
