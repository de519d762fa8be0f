// The stand-in synchronisation service: when a request is due, what applying
// the journal does to the simulated terminals, and the real process against a
// database the test keeps reading meanwhile.
#include "dberror.h"
#include "kolvfixture.h"
#include "kolvservice.h"
#include "tdm.h"

#include <QProcess>
#include <memory>
#include <QRegularExpression>
#include <QTest>

using namespace kolvservice;

namespace {

const QDate requestDay(2024, 12, 6);

QDateTime at(int h, int m, int s, int ms = 0)
{
    return QDateTime(requestDay, QTime(h, m, s, ms));
}

void addIni(KolvFixture &kolv, const QStringList &rows)
{
    for (const QString &row : rows) {
        const int eq = row.indexOf(QLatin1Char('='));
        kolv.sql(QStringLiteral("insert into ini (schluessel,wert) values(?,?)"), {row.left(eq), row.mid(eq + 1)});
    }
}

QString ini(KolvFixture &kolv, const QString &key)
{
    return kolv.value(QStringLiteral("select wert from ini where schluessel=?"), {key}).toString();
}

void addJournal(KolvFixture &kolv, int pid, const QString &geraet, const QString &action, const QString &postet)
{
    kolv.sql(QStringLiteral("insert into fingerstatus (pid,geraet,action,postet) values(?,?,?,?)"),
             {pid, geraet, action, postet});
}

void addTemplate(KolvFixture &kolv, int pid, int fid, const QByteArray &data)
{
    kolv.sql(QStringLiteral("insert into Fingerdata (PID,FID,Datatype,fdata) values(?,?,1,?)"), {pid, fid, data});
}

QStringList store(KolvFixture &kolv)
{
    return kolv.rows(QStringLiteral("select geraet, pid, fid, %1 from service_terminal_store"
                                    " order by geraet, pid, fid").arg(kolv.hex("fdata")));
}

}  // namespace

class KolvServiceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void requestDue_data();
    void requestDue();
    void journalAppliedToTerminals();
    void timedRequestWaitsForItsTime();
    void busyDatabaseLeavesRequestPending();
    void serviceProcessHandlesRequest();

private:
    // Shared by the rows of the request table: building an installation costs more than the check.
    std::unique_ptr<KolvFixture> m_requests;
};

void KolvServiceTest::initTestCase()
{
    m_requests = std::make_unique<KolvFixture>();
    QVERIFY2(m_requests->ok(), qPrintable(m_requests->error()));
}

void KolvServiceTest::requestDue_data()
{
    QTest::addColumn<QStringList>("iniRows");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("due");

    // 45632.25 is 6 December 2024 06:00.
    const QString timed = QStringLiteral("PELVAR_SYNCMODE=1");
    const QString point = QStringLiteral("PELVAR_DOUPDATETIME=45632.25");
    const QString comma = QStringLiteral("PELVAR_DOUPDATETIME=45632,25");
    const QString pending = QStringLiteral("PELVAR_DOUPDATE=1");
    QTest::newRow("no request row") << QStringList{} << at(12, 0, 0) << false;
    QTest::newRow("request reset") << QStringList{"PELVAR_DOUPDATE=0"} << at(12, 0, 0) << false;
    QTest::newRow("the word true is no request") << QStringList{"PELVAR_DOUPDATE=true"} << at(12, 0, 0) << false;
    QTest::newRow("immediate") << QStringList{pending, "PELVAR_SYNCMODE=0", point} << at(5, 0, 0) << true;
    QTest::newRow("mode 2 is immediate") << QStringList{pending, "PELVAR_SYNCMODE=2", point} << at(5, 0, 0) << true;
    QTest::newRow("timed, a second early") << QStringList{pending, timed, point} << at(5, 59, 59, 999) << false;
    QTest::newRow("timed, on the minute") << QStringList{pending, timed, point} << at(6, 0, 0) << true;
    QTest::newRow("timed, later") << QStringList{pending, timed, point} << at(6, 1, 0) << true;
    QTest::newRow("timed, the day before")
        << QStringList{pending, timed, point} << QDateTime(requestDay.addDays(-1), QTime(23, 0)) << false;
    QTest::newRow("decimal comma, early") << QStringList{pending, timed, comma} << at(5, 59, 0) << false;
    QTest::newRow("decimal comma, due") << QStringList{pending, timed, comma} << at(6, 0, 0) << true;
    // A time nobody can read must not keep the request pending for good.
    QTest::newRow("unreadable time") << QStringList{pending, timed, "PELVAR_DOUPDATETIME=morgen"} << at(5, 0, 0)
                                     << true;
    QTest::newRow("timed without a time") << QStringList{pending, timed} << at(5, 0, 0) << true;
}

void KolvServiceTest::requestDue()
{
    QFETCH(QStringList, iniRows);
    QFETCH(QDateTime, now);
    QFETCH(bool, due);
    KolvFixture &kolv = *m_requests;
    kolv.sql("delete from ini where schluessel in ('PELVAR_DOUPDATE','PELVAR_SYNCMODE','PELVAR_DOUPDATETIME')");
    addIni(kolv, iniRows);
    QCOMPARE(kolvservice::requestDue(readSyncRequest(kolv.dm()), now), due);
}

void KolvServiceTest::journalAppliedToTerminals()
{
    KolvFixture kolv;
    QVERIFY2(kolv.ok(), qPrintable(kolv.error()));
    Tdm &db = kolv.dm();
    addIni(kolv, {"PELVAR_DOUPDATE=1", "PELVAR_DIDUPDATE=unbekannt"});
    addTemplate(kolv, 17, 1, QByteArray::fromHex("1701"));
    addTemplate(kolv, 17, 2, QByteArray::fromHex("1702"));
    addTemplate(kolv, 18, 3, QByteArray::fromHex("1803"));
    // What the terminals held after an earlier synchronisation.
    ensureTerminalStore(db);
    kolv.sql(QStringLiteral("insert into service_terminal_store values ('1',17,5,1,?), ('2',18,3,1,?), ('2',19,1,1,?)"),
             {QByteArray::fromHex("1705"), QByteArray::fromHex("1803"), QByteArray::fromHex("1901")});

    addJournal(kolv, 17, "1", "+", "2026-12-10 09:00:00");  // replaces the old finger 5
    addJournal(kolv, 18, "2", "-", "2026-12-10 09:00:00");  // 19 stays on terminal 2
    addJournal(kolv, 18, "4", "+", "2026-12-10 09:00:01");
    // Written out of order: the later "-" decides, although its row came first.
    addJournal(kolv, 17, "5", "-", "2026-12-10 09:00:03");
    addJournal(kolv, 17, "5", "+", "2026-12-10 09:00:02");
    // Within one second the order of writing decides.
    addJournal(kolv, 18, "6", "-", "2026-12-10 09:00:04");
    addJournal(kolv, 18, "6", "+", "2026-12-10 09:00:04");
    addJournal(kolv, 17, "1", "?", "2026-12-10 09:00:05");  // not ours to apply or to drop

    const QDateTime now(QDate(2026, 12, 10), QTime(9, 40, 2));
    const std::optional<ApplyResult> result = handlePendingRequest(db, now);
    QVERIFY(result);
    QCOMPARE(result->applied, 7);
    QCOMPARE(result->added, 4);
    QCOMPARE(result->removed, 3);
    QCOMPARE(result->terminals, 5);
    QCOMPARE(result->unknown, 1);

    QCOMPARE(store(kolv), (QStringList{"1|17|1|1701", "1|17|2|1702", "2|19|1|1901", "4|18|3|1803", "6|18|3|1803"}));
    QCOMPARE(kolv.rows("select pid, geraet, action from fingerstatus"), QStringList{"17|1|?"});
    QCOMPARE(ini(kolv, "PELVAR_DIDUPDATE"), QStringLiteral("10.12.2026 09:40:02"));
    QCOMPARE(ini(kolv, "PELVAR_DOUPDATE"), QStringLiteral("0"));
    QCOMPARE(kolv.value("select count(*) from ini where schluessel='PELVAR_DIDUPDATE'").toInt(), 1);
    QCOMPARE(requestLogLine(now, *result),
             QStringLiteral("10.12.2026 09:40:02 Abgleich: 7 Einträge angewandt (4 +, 3 -), 5 Terminals,"
                            " 1 mit unbekannter Aktion übergangen"));

    // Handled once: the next tick finds nothing to do.
    QVERIFY(!handlePendingRequest(db, now.addSecs(1)));
}

void KolvServiceTest::timedRequestWaitsForItsTime()
{
    KolvFixture kolv;
    QVERIFY2(kolv.ok(), qPrintable(kolv.error()));
    Tdm &db = kolv.dm();
    addIni(kolv, {"PELVAR_DOUPDATE=1", "PELVAR_SYNCMODE=1", "PELVAR_DOUPDATETIME=45632,25"});
    addTemplate(kolv, 17, 1, QByteArray::fromHex("1701"));
    addJournal(kolv, 17, "1", "+", "2024-12-06 05:00:00");

    QVERIFY(!handlePendingRequest(db, at(5, 59, 59)));
    QCOMPARE(ini(kolv, "PELVAR_DOUPDATE"), QStringLiteral("1"));
    QCOMPARE(kolv.value("select count(*) from fingerstatus").toInt(), 1);
    QVERIFY(kolv.rows("select * from ini where schluessel='PELVAR_DIDUPDATE'").isEmpty());

    const std::optional<ApplyResult> result = handlePendingRequest(db, at(6, 0, 1));
    QVERIFY(result);
    QCOMPARE(result->applied, 1);
    QCOMPARE(store(kolv), QStringList{"1|17|1|1701"});
    QCOMPARE(ini(kolv, "PELVAR_DOUPDATE"), QStringLiteral("0"));
    QCOMPARE(ini(kolv, "PELVAR_DIDUPDATE"), QStringLiteral("06.12.2024 06:00:01"));
}

void KolvServiceTest::busyDatabaseLeavesRequestPending()
{
    KolvFixture kolv;
    QVERIFY2(kolv.ok(), qPrintable(kolv.error()));
    Tdm &db = kolv.dm();
    db.setLockTimeout(200);
    addIni(kolv, {"PELVAR_DOUPDATE=1"});
    addJournal(kolv, 17, "1", "-", "2024-12-06 05:00:00");

    kolv.holdWriteLock();  // the station writing at length
    QVERIFY_THROWS_EXCEPTION(DbError, handlePendingRequest(db, at(6, 0, 0)));
    kolv.releaseWriteLock();
    QCOMPARE(ini(kolv, "PELVAR_DOUPDATE"), QStringLiteral("1"));
    QCOMPARE(kolv.value("select count(*) from fingerstatus").toInt(), 1);

    // The next tick succeeds on the same connection.
    QVERIFY(handlePendingRequest(db, at(6, 0, 1)));
    QCOMPARE(ini(kolv, "PELVAR_DOUPDATE"), QStringLiteral("0"));
    QCOMPARE(kolv.value("select count(*) from fingerstatus").toInt(), 0);
}

void KolvServiceTest::serviceProcessHandlesRequest()
{
    const QString binDir = qEnvironmentVariable("STATION_BIN_DIR");
    QVERIFY2(!binDir.isEmpty(), "STATION_BIN_DIR is not set");
    KolvFixture kolv;
    QVERIFY2(kolv.ok(), qPrintable(kolv.error()));
    addTemplate(kolv, 17, 1, QByteArray::fromHex("1701"));

    QProcess service;
    service.setProgram(binDir + QStringLiteral("/kolv-service"));
    service.setArguments({kolv.dir(), QStringLiteral("--interval-ms"), QStringLiteral("100")});
    service.start();
    QVERIFY2(service.waitForStarted(5000), qPrintable(service.errorString()));

    QTRY_COMPARE_WITH_TIMEOUT(ini(kolv, "SERVICE_ISALIVE"), QStringLiteral("1"), 5000);
    addJournal(kolv, 17, "1", "+", "2026-12-10 09:00:00");
    addIni(kolv, {"PELVAR_DOUPDATE=1"});
    QTRY_COMPARE_WITH_TIMEOUT(ini(kolv, "PELVAR_DOUPDATE"), QStringLiteral("0"), 5000);
    QVERIFY(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$")
                .match(ini(kolv, "PELVAR_DIDUPDATE"))
                .hasMatch());
    QCOMPARE(store(kolv), QStringList{"1|17|1|1701"});

    service.terminate();  // SIGTERM
    QVERIFY(service.waitForFinished(5000));
    QCOMPARE(service.exitStatus(), QProcess::NormalExit);
    QCOMPARE(service.exitCode(), 0);
    QCOMPARE(ini(kolv, "SERVICE_ISALIVE"), QStringLiteral("0"));
    const QString out = QString::fromLocal8Bit(service.readAllStandardOutput());
    QVERIFY2(out.contains(QStringLiteral("Abgleich: 1 Eintrag angewandt (1 +, 0 -), 1 Terminal\n")), qPrintable(out));
    QVERIFY2(service.readAllStandardError().isEmpty(), "the service reported an error");
}

QTEST_GUILESS_MAIN(KolvServiceTest)
#include "kolvservicetest.moc"
