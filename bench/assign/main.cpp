// Times the assignment windows on a large generated installation: 20,000
// persons (nine in ten with templates), 300 fingerprint terminals and about
// five assignments per person.
#include "clock.h"
#include "kolvschema.h"
#include "operatorui.h"
#include "station.h"
#include "tchdataform.h"
#include "tdbini.h"
#include "tdm.h"
#include "tgzuweisenform.h"
#include "tscanfingerform.h"
#include "tscanningform.h"
#include "tzuweisungsform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class SilentUi : public OperatorUi
{
public:
    void message(const QString &text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool confirm(const QString &, Default) override { return false; }
    QString chooseFolder(const QString &) override { return {}; }
    QString chooseFile() override { return {}; }
};

bool generate(const QString &dir, int persons, int terminals)
{
    if (!kolv::createInstallation(dir, false).isEmpty())
        return false;
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "generator");
    db.setDatabaseName(dir + "/" + kolv::dictionaryPath());
    if (!db.open())
        return false;
    QSqlQuery q(db);
    q.exec("BEGIN");
    auto run = [&](const QString &sql, const QVariantList &values) {
        q.prepare(sql);
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        if (!q.exec())
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    };
    run("insert into geraetetree (typ,typid,parentref,ref,level,bezeichnung) values ('R','','','1',0,'Kolv')", {});
    for (int t = 1; t <= terminals; ++t) {
        run("insert into geraetetree (typ,typid,parentref,ref,level,bezeichnung) values ('G',?,'1',?,1,?)",
            {QString::number(t), QString::number(1000 + t), QString("Terminal %1").arg(t, 3, 10, QChar('0'))});
        run("insert into ini (schluessel,wert) values (?,'1')", {QString("DOCKPORT%1_FINGERTYPE").arg(t)});
    }
    static const char *names[] = {"Müller", "Meier", "Schulz", "Abel", "Zander", "Öztürk", "Becker", "Wagner"};
    QRandomGenerator random(42);
    const QByteArray templ(216, '\x11');
    for (int p = 1; p <= persons; ++p) {
        run("insert into fingerid (pid,name) values (?,?)", {p, QString("%1 %2").arg(names[p % 8]).arg(p)});
        if (p % 10 != 0)
            for (int f : {1, 6})
                run("insert into Fingerdata (PID,FID,Datatype,fdata) values (?,?,1,?)", {p, f, templ});
        for (int a = 0; a < 5; ++a)
            run("insert into fingerid_to_geraet (pid,geraet) values (?,?)",
                {p, QString::number(1 + random.bounded(terminals))});
    }
    const bool ok = q.exec("COMMIT");
    q = QSqlQuery();
    db.close();
    return ok;
}

double ms(QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // --grab DIR PROGRAMDIR: a small installation, and pictures of the windows in DIR.
    const bool grab = argc >= 4 && QByteArray(argv[1]) == "--grab";
    const int persons = grab ? 40 : 20000, terminals = grab ? 12 : 300;
    QTemporaryDir dir;
    QElapsedTimer t;
    t.start();
    if (!generate(dir.path(), persons, terminals))
        return 1;
    std::printf("generated %d persons, %d terminals in %.0f ms\n", persons, terminals, ms(t));

    Tdm dm;
    dm.setConnectionPath(dir.path() + "/" + kolv::dictionaryPath());
    Tdbini settings(dm);
    Clock clock;
    SilentUi ui;
    Station station;
    station.dm = &dm;
    station.Settings = &settings;
    station.clock = &clock;
    station.ui = &ui;
    if (grab)
        station.ProgramDir = QString::fromLocal8Bit(argv[3]) + "/";
    Tscanningform scanning;
    Tscanfingerform scanform(station, scanning);
    Tchdataform chdata(station, scanform.Fingers);
    Tzuweisungsform zuweisung(station, scanform, chdata);
    Tgzuweisenform gzuweisen(station);
    if (grab) {
        const QString out = QString::fromLocal8Bit(argv[2]) + "/";
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

    // The first showing builds the window's layout as well; the second is what
    // the operator meets every time after.
    auto timeShowings = [&](QWidget &window, const char *title) {
        for (int round = 1; round <= 2; ++round) {
            t.restart();
            window.show();
            app.processEvents();
            std::printf("%s, showing %d: %.1f ms\n", title, round, ms(t));
            window.hide();
        }
    };

    timeShowings(zuweisung, "Personen zuweisen");
    zuweisung.show();
    app.processEvents();
    t.restart();
    const int moves = 200;
    for (int i = 0; i < moves; ++i)
        zuweisung.setCurrentRow((i * 97) % persons);
    std::printf("grid cursor move: %.3f ms each\n", ms(t) / moves);
    zuweisung.pgridTitleClick(1);
    t.restart();
    for (const char *prefix : {"w", "wa", "wag", "wagn", "wagne", "wagner 1999"})
        zuweisung.search()->setText(QString::fromUtf8(prefix));
    std::printf("typed search by name (6 keystrokes): %.3f ms each\n", ms(t) / 6);
    t.restart();
    zuweisung.search()->setText("zzz");
    std::printf("search without match: %.3f ms\n", ms(t));
    zuweisung.hide();

    timeShowings(gzuweisen, "Geräte zuweisen");
    gzuweisen.show();
    app.processEvents();
    t.restart();
    const int selects = 50;
    for (int i = 0; i < selects; ++i)
        gzuweisen.gbox()->setCurrentRow((i * 7) % terminals);
    std::printf("terminal selection: %.2f ms each\n", ms(t) / selects);
    return 0;
}
