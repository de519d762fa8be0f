#include "kolvschema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace kolv {

namespace {

QString run(QSqlDatabase &db, const QStringList &statements)
{
    for (const QString &sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            return q.lastError().text();
    }
    return {};
}

}  // namespace

QString createSchema(QSqlDatabase &db)
{
    return run(db, {
        "PRAGMA journal_mode=WAL",
        "create table fingerid (pid integer not null, name varchar(50))",
        "create unique index fingerid_pid on fingerid (pid)",
        "create table Fingerdata (PID integer not null, FID integer not null, Datatype integer, fdata blob)",
        "create unique index fingerdata_pid_fid on Fingerdata (PID, FID)",
        "create table Fingerdata_archiv (PID integer not null, FID integer not null, Scannumber integer not null,"
        " Datatype integer, score integer, ranking integer, selected boolean, fingerselected boolean,"
        " bestscanindex integer, fdata blob)",
        "create unique index fingerdata_archiv_key on Fingerdata_archiv (PID, FID, Scannumber)",
        "create table fingerid_to_geraet (pid integer not null, geraet varchar(20) not null)",
        "create index fingerid_to_geraet_pid on fingerid_to_geraet (pid)",
        "create index fingerid_to_geraet_geraet on fingerid_to_geraet (geraet, pid)",
        "create table fingerstatus (pid integer not null, geraet varchar(20), action varchar(1), postet varchar(19))",
        "create index fingerstatus_pid on fingerstatus (pid)",
        "create table geraetetree (typ varchar(1), typid varchar(20), parentref varchar(20), ref varchar(20),"
        " level integer, bezeichnung varchar(60))",
        "create table ini (schluessel varchar(80) not null, wert varchar(255))",
        "create unique index SCHLUESSEL on ini (schluessel)",
    });
}

QString addDemoData(QSqlDatabase &db)
{
    struct Row { const char *typ, *typid, *parentref, *ref; int level; const char *name; int fingertype; };
    // Groups carry a ref, terminals ("G") point at their group through parentref.
    const Row rows[] = {
        {"R", "", "", "1", 0, "Quorvel-Kolv", 0},
        {"O", "", "1", "10", 1, "Verwaltung", 0},
        {"O", "", "1", "20", 1, "Werk Süd", 0},
        {"O", "", "1", "30", 1, "Außenstelle", 0},
        {"G", "1", "10", "101", 2, "Empfang", 1},
        {"G", "2", "10", "102", 2, "Büro 1. OG", 1},
        {"G", "3", "10", "103", 2, "Kantine (ohne Fingerleser)", 0},
        {"G", "4", "20", "201", 2, "Tor 'Süd'", 2},
        {"G", "5", "20", "202", 2, "Halle 2", 1},
        {"G", "6", "20", "203", 2, "Lager", 1},
    };
    QSqlQuery tree(db);
    tree.prepare("insert into geraetetree (typ,typid,parentref,ref,level,bezeichnung) values (?,?,?,?,?,?)");
    QSqlQuery ini(db);
    ini.prepare("insert into ini (schluessel,wert) values (?,?)");
    for (const Row &r : rows) {
        tree.addBindValue(QString::fromUtf8(r.typ));
        tree.addBindValue(QString::fromUtf8(r.typid));
        tree.addBindValue(QString::fromUtf8(r.parentref));
        tree.addBindValue(QString::fromUtf8(r.ref));
        tree.addBindValue(r.level);
        tree.addBindValue(QString::fromUtf8(r.name));
        if (!tree.exec())
            return tree.lastError().text();
        if (QByteArray(r.typ) == "G") {
            ini.addBindValue(QStringLiteral("DOCKPORT%1_FINGERTYPE").arg(QString::fromUtf8(r.typid)));
            ini.addBindValue(QString::number(r.fingertype));
            if (!ini.exec())
                return ini.lastError().text();
        }
    }
    // A plain serial port, so that the demo needs no USB bridge.
    for (auto [key, value] : {std::pair{"PELVAR_PORTTYPE", "1"}, std::pair{"PELVAR_COMPORT", "COM1"}}) {
        ini.addBindValue(QString::fromUtf8(key));
        ini.addBindValue(QString::fromUtf8(value));
        if (!ini.exec())
            return ini.lastError().text();
    }
    return {};
}

QString createInstallation(const QString &dir, bool demo)
{
    const QString file = QDir(dir).filePath(dictionaryPath());
    if (QFileInfo::exists(file))
        return QStringLiteral("%1 exists already; nothing was changed").arg(file);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return QStringLiteral("cannot create %1").arg(QFileInfo(file).absolutePath());

    const QString name = QStringLiteral("kolv-setup-") + QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            error = createSchema(db);
            if (error.isEmpty() && demo)
                error = addDemoData(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        QFile::remove(file);
    return error;
}

}  // namespace kolv
