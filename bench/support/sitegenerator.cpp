#include "sitegenerator.h"

#include "kolvschema.h"
#include "rawsqlite.h"

#include <QDir>
#include <string>
#include <vector>

namespace {

const char *const surnames[] = {"Müller", "Meier", "Schulz", "Abel", "Zander", "Öztürk", "Becker", "Wagner",
                                "Weiß", "Schäfer", "Koch", "Bauer", "Richter", "Klein", "Wolf", "Schröder",
                                "Neumann", "Schwarz", "Zimmermann", "Braun", "Krüger", "Hofmann", "Hartmann",
                                "Lange", "Schmitt", "Werner", "Krause", "Meyer", "Lehmann", "Köhler", "Ähren",
                                "Jäger", "Groß", "Fuchs", "Vogel", "Ürdingen", "Kaiser", "Peters", "Lorenz"};
const char *const firstnames[] = {"Anna", "Jörg", "Emma", "Lukas", "Sophie", "Jürgen", "Mia", "Paul", "Lena",
                                  "Felix", "Hannah", "Jonas", "Marie", "Elias", "Lea", "Björn", "Zoë", "Ömer",
                                  "Clara", "Ben", "Ida", "Max", "Frieda", "Karl", "Greta", "Ole", "Maja"};

}  // namespace

QString generatedName(int pid)
{
    // Numbers and names in unrelated orders; about 27,000 different names,
    // so that a large site repeats some, as real ones do.
    const uint32_t h = uint32_t(pid) * 2654435761u;
    const size_t s = (h >> 8) % (sizeof surnames / sizeof *surnames);
    const size_t f = (h >> 16) % (sizeof firstnames / sizeof *firstnames);
    const char initial = char('A' + (h >> 24) % 26);
    return QString::fromUtf8(surnames[s]) + QStringLiteral(", ") + QString::fromUtf8(firstnames[f]) +
           QLatin1Char(' ') + QLatin1Char(initial) + QLatin1Char('.');
}

QString generateSite(const QString &dir, const SiteSize &size)
{
    const QString error = kolv::createInstallation(dir, false);
    if (!error.isEmpty())
        return error;
    RawSqlite db(QDir(dir).filePath(QString::fromLatin1(kolv::dictionaryPath())).toStdString());
    if (!db.ok() || !db.exec("PRAGMA synchronous=OFF") || !db.exec("BEGIN"))
        return QStringLiteral("cannot write the generated dictionary");
    bool ok = true;
    {
        RawSqlite::Statement tree(db.handle(),
                                  "insert into geraetetree (typ,typid,parentref,ref,level,bezeichnung) values (?,?,?,?,?,?)");
        RawSqlite::Statement ini(db.handle(), "insert into ini (schluessel,wert) values (?,?)");
        auto node = [&](const char *typ, const std::string &typid, const std::string &parent, const std::string &ref,
                        int level, const std::string &name) {
            tree.bind(1, std::string(typ));
            tree.bind(2, typid);
            tree.bind(3, parent);
            tree.bind(4, ref);
            tree.bind(5, level);
            tree.bind(6, name);
            ok = tree.run() && ok;
        };
        node("R", "", "", "1", 0, "Quorvel-Kolv");
        node("O", "", "1", "10", 1, "Werk");
        for (int t = 1; t <= size.terminals; ++t) {
            char name[32];
            std::snprintf(name, sizeof name, "Terminal %03d", t);
            node("G", std::to_string(t), "10", std::to_string(1000 + t), 2, name);
            ini.bind(1, "DOCKPORT" + std::to_string(t) + "_FINGERTYPE");
            ini.bind(2, std::string("1"));
            ok = ini.run() && ok;
        }
        for (const auto &[key, value] : {std::pair{"PELVAR_PORTTYPE", "1"}, std::pair{"PELVAR_COMPORT", "COM1"}}) {
            ini.bind(1, std::string(key));
            ini.bind(2, std::string(value));
            ok = ini.run() && ok;
        }

        RawSqlite::Statement person(db.handle(), "insert into fingerid (pid,name) values (?,?)");
        RawSqlite::Statement finger(db.handle(), "insert into Fingerdata (PID,FID,Datatype,fdata) values (?,?,1,?)");
        RawSqlite::Statement assign(db.handle(), "insert into fingerid_to_geraet (pid,geraet) values (?,?)");
        RawSqlite::Statement journal(db.handle(),
                                     "insert into fingerstatus (pid,geraet,action,postet) values (?,?,'+',?)");
        std::vector<unsigned char> templ(216, 0x11);
        uint32_t random = 42;
        auto next = [&] { return random = random * 1664525u + 1013904223u; };
        for (int p = 1; p <= size.persons && ok; ++p) {
            person.bind(1, p);
            person.bind(2, generatedName(p).toStdString());
            ok = person.run() && ok;
            const int fingers = p % 10 == 0 ? 0 : p % 3 == 0 ? 4 : 3;
            for (int f = 1; f <= fingers; ++f) {
                templ[0] = uint8_t(p), templ[1] = uint8_t(p >> 8), templ[2] = uint8_t(p >> 16), templ[8] = uint8_t(f);
                finger.bind(1, p);
                finger.bind(2, f);
                finger.bind(3, templ.data(), int(templ.size()));
                ok = finger.run() && ok;
            }
            // Steps of 61 through 300 terminals never meet within five.
            const int base = int(next() >> 8) % size.terminals;
            for (int a = 0; a < size.assignmentsPerPerson; ++a) {
                assign.bind(1, p);
                assign.bind(2, std::to_string(1 + (base + a * 61) % size.terminals));
                ok = assign.run() && ok;
            }
            for (int j = 0; j < size.journalRowsPerPerson; ++j) {
                journal.bind(1, p);
                journal.bind(2, std::to_string(1 + int(next() >> 8) % size.terminals));
                journal.bind(3, std::string("2026-12-01 08:00:00"));
                ok = journal.run() && ok;
            }
        }
    }
    ok = db.exec(ok ? "COMMIT" : "ROLLBACK") && ok;
    return ok ? QString() : QStringLiteral("generating the site failed");
}
