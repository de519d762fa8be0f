#include "kolvinstallation.h"

#include "inifile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace kolv {

namespace {

const QString sqliteDriver = QStringLiteral("QSQLITE");
const QString serverDriver = QStringLiteral("QPSQL");

// Every writer of the installation takes this transaction-level lock first,
// so that on the server, as with SQLite's write lock, one writer runs at a time.
constexpr qint64 writerLockKey = 0x4B4F4C56;  // "KOLV"

bool startsWithSqliteHeader(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return true;  // the driver reports what is wrong with it
    const QByteArray head = f.read(16);
    return head.isEmpty() || head == QByteArray("SQLite format 3\0", 16);
}

QString exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) ? QString() : q.lastError().text();
}

}  // namespace

QString readDictionary(const QString &file, Dictionary *dictionary)
{
    *dictionary = Dictionary{};
    dictionary->file = file;
    if (!QFile::exists(file) || startsWithSqliteHeader(file))
        return {};
    const IniFile ini(file);
    const QString driver = ini.readString(QStringLiteral("SERVER"), QStringLiteral("DRIVER"), QString()).trimmed();
    const QString connect = ini.readString(QStringLiteral("SERVER"), QStringLiteral("CONNECT"), QString()).trimmed();
    if (driver.isEmpty() && connect.isEmpty())
        return QStringLiteral("%1 ist weder eine SQLite-Datenbank noch eine Serverbeschreibung ([SERVER])").arg(file);
    if (driver.compare(serverDriver, Qt::CaseInsensitive) != 0)
        return QStringLiteral("%1: Datenbanktreiber '%2' wird nicht unterstützt (DRIVER=QPSQL)").arg(file, driver);
    if (connect.isEmpty())
        return QStringLiteral("%1: CONNECT fehlt im Abschnitt [SERVER]").arg(file);
    dictionary->engine = Engine::Server;
    dictionary->connect = connect;
    return {};
}

QByteArray serverDescription(const QString &connect)
{
    return QStringLiteral("[SERVER]\r\nDRIVER=QPSQL\r\nCONNECT=%1\r\n").arg(connect).toUtf8();
}

bool connectHoldsPassword(const QString &connect)
{
    static const QRegularExpression password(QStringLiteral("(^|[\\s;])password\\s*="),
                                             QRegularExpression::CaseInsensitiveOption);
    return password.match(connect).hasMatch();
}

QString openConnection(const Dictionary &dictionary, const QString &name, int lockTimeoutMs)
{
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    if (dictionary.engine == Engine::Sqlite) {
        QSqlDatabase db = QSqlDatabase::addDatabase(sqliteDriver, name);
        // The Kolv software and its service write at the same time; wait for their locks.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(lockTimeoutMs));
        db.setDatabaseName(dictionary.file);
        return db.open() ? QString() : db.lastError().text();
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(serverDriver, name);
    if (!db.isValid())
        return QStringLiteral("Der Datenbanktreiber QPSQL ist nicht installiert");
    // The driver appends the options to its own connection string, so that
    // settings named in CONNECT win over these defaults: an unreachable server
    // fails the action instead of freezing the station, and a dropped network
    // is noticed within a minute.
    db.setConnectOptions(QStringLiteral("connect_timeout=10;keepalives_idle=30;keepalives_interval=10;"
                                        "keepalives_count=3;") + dictionary.connect);
    if (!db.open())
        return db.lastError().text();
    // Waits for a row or the writer lock end after a few seconds, as the busy
    // timeout does on SQLite; without it a lock held elsewhere blocks forever.
    // Set here rather than in options=, which CONNECT may use itself.
    const QString error = exec(db, QStringLiteral("set lock_timeout = %1").arg(lockTimeoutMs));
    if (!error.isEmpty())
        db.close();
    return error;
}

Engine engineOf(const QSqlDatabase &db)
{
    return db.driverName() == sqliteDriver ? Engine::Sqlite : Engine::Server;
}

QString beginWrite(QSqlDatabase &db)
{
    if (engineOf(db) == Engine::Sqlite) {
        // A deferred transaction that reads first would fail once another
        // process wrote meanwhile; take the write lock at the start.
        return exec(db, QStringLiteral("BEGIN IMMEDIATE"));
    }
    if (!db.transaction())
        return db.lastError().text();
    const QString error = exec(db, QStringLiteral("select pg_advisory_xact_lock(%1)").arg(writerLockKey));
    if (!error.isEmpty())
        db.rollback();
    return error;
}

QString blobType(const QSqlDatabase &db)
{
    return engineOf(db) == Engine::Sqlite ? QStringLiteral("blob") : QStringLiteral("bytea");
}

}  // namespace kolv
