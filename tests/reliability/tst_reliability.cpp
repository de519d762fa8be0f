// The station's writes against processes that die or compete: a second
// station killed with SIGKILL at random moments while the Kolv service runs,
// and two stations storing the same numbers at once. Both run the station's
// own store code in the helper program enrol-writer.
#include "kolvfixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTest>
#include <QtEndian>
#include <csignal>

class TestReliability : public QObject
{
    Q_OBJECT

    static QString binDir() { return qEnvironmentVariable("STATION_BIN_DIR"); }
    static QString writerProgram() { return QCoreApplication::applicationDirPath() + "/enrol-writer"; }

    static bool startService(QProcess &service, KolvFixture &kolv)
    {
        service.setProgram(binDir() + "/kolv-service");
        service.setArguments({kolv.dir(), "--interval-ms", "30"});
        service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        service.start();
        if (service.waitForStarted(5000))
            return true;
        qWarning("kolv-service: %s", qPrintable(service.errorString()));
        return false;
    }

    // Asks the running service for a synchronisation, so that it writes too.
    static void requestSync(KolvFixture &kolv)
    {
        kolv.sql("delete from ini where schluessel='PELVAR_DOUPDATE'");
        kolv.sql("insert into ini (schluessel,wert) values('PELVAR_DOUPDATE','1')");
    }

    // Every rule a whole person keeps, checked over the whole database; the
    // text names the first broken one, empty when none is.
    static QString inconsistency(KolvFixture &kolv)
    {
        // The file's own check; a server keeps its files to itself.
        const QString integrity = kolv.onServer() ? QStringLiteral("ok") : kolv.value("pragma integrity_check").toString();
        if (integrity != "ok")
            return "integrity_check: " + integrity;
        const QStringList queries = {
            // Rows of persons that are not there.
            "select 'Fingerdata of ' || PID from Fingerdata where PID not in (select pid from fingerid)",
            "select 'archive of ' || PID from Fingerdata_archiv where PID not in (select pid from fingerid)",
            "select 'assignment of ' || pid from fingerid_to_geraet where pid not in (select pid from fingerid)",
            // Every person saved with its scans, numbered 1..n with one best scan per finger.
            "select 'no archive for ' || pid from fingerid where pid not in (select PID from Fingerdata_archiv)",
            "select 'scan numbers of ' || PID || '/' || FID from Fingerdata_archiv group by PID, FID "
            "having min(Scannumber) <> 1 or max(Scannumber) <> count(*) or sum(selected) <> 1",
            "select 'template without archive ' || PID || '/' || FID from Fingerdata d where not exists "
            "(select 1 from Fingerdata_archiv a where a.PID = d.PID and a.FID = d.FID)",
            // Only terminals that exist.
            "select 'assignment to ' || geraet from fingerid_to_geraet where geraet not in "
            "(select typid from geraetetree where typ = 'G')",
            "select 'journal for ' || geraet from fingerstatus where geraet not in "
            "(select typid from geraetetree where typ = 'G')",
            "select 'assigned twice ' || pid || '/' || geraet from fingerid_to_geraet group by pid, geraet "
            "having count(*) > 1",
        };
        for (const QString &q : queries) {
            const QStringList found = kolv.rows(q);
            if (!found.isEmpty())
                return found.first();
        }
        // Headers of both template tables: bytes 0-7 the number, byte 8 the finger.
        for (const char *table : {"Fingerdata", "Fingerdata_archiv"}) {
            QSqlQuery q(kolv.other());
            if (!q.exec(QString("select PID, FID, fdata from %1").arg(table)))
                return "cannot read " + QString(table);
            while (q.next()) {
                const qint64 pid = q.value(0).toLongLong();
                const int fid = q.value(1).toInt();
                const QByteArray data = q.value(2).toByteArray();
                if (data.size() != 216 || qFromLittleEndian<qint64>(data.constData()) != pid ||
                    uint8_t(data[8]) != fid)
                    return QString("header of %1 %2/%3: %4").arg(table).arg(pid).arg(fid).arg(QString(data.left(9).toHex()));
            }
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        // The writer program and the consistency checks are written for the SQLite file.
        if (!KolvFixture::testServer().isNull())
            QSKIP("written for the SQLite file");
        QVERIFY2(QFile::exists(writerProgram()), qPrintable(writerProgram()));
    }

    // A station killed in the middle of whatever it was writing leaves every
    // person whole or absent, and every save it reported is there. The Kolv
    // service runs and synchronises meanwhile, and is killed now and then too.
    void killedWhileWriting()
    {
        const int rounds = qEnvironmentVariableIsSet("KOLV_KILL_ROUNDS") ? qEnvironmentVariableIntValue("KOLV_KILL_ROUNDS") : 50;
        KolvFixture kolv;
        QVERIFY2(kolv.ok(), qPrintable(kolv.error()));
        QProcess service;
        QVERIFY(startService(service, kolv));
        QRandomGenerator random(QRandomGenerator::global()->generate());
        QSet<qint64> mustExist;
        int saves = 0, renumbers = 0, deletes = 0;
        for (int round = 1; round <= rounds; ++round) {
            if (round % 10 == 0) {
                service.kill();
                service.waitForFinished(5000);
                QVERIFY(startService(service, kolv));
            }
            requestSync(kolv);
            QProcess writer;
            writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            writer.start(writerProgram(), {kolv.dir(), "churn", QString::number(round)});
            QVERIFY2(writer.waitForStarted(5000), qPrintable(writer.errorString()));
            QTRY_VERIFY_WITH_TIMEOUT(writer.canReadLine() || writer.state() != QProcess::Running, 30000);
            QCOMPARE(writer.readLine(), QByteArray("ready\n"));
            // A random moment: sometimes at once, sometimes well into its work.
            QTest::qWait(int(random.bounded(300)));
            QVERIFY2(writer.state() == QProcess::Running, "the writer ended by itself");
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            for (const QByteArray &raw : writer.readAllStandardOutput().split('\n')) {
                const QList<QByteArray> w = raw.split(' ');
                if (w[0] == "saved") {
                    mustExist.insert(w[1].toLongLong());
                    ++saves;
                } else if (w[0] == "renumbering" || w[0] == "deleting") {
                    // Killed before it said so, the change may have been committed or not.
                    mustExist.remove(w[1].toLongLong());
                } else if (w[0] == "renumbered") {
                    mustExist.insert(w[2].toLongLong());
                    ++renumbers;
                } else if (w[0] == "deleted") {
                    ++deletes;
                }
            }
            const QString broken = inconsistency(kolv);
            QVERIFY2(broken.isEmpty(), qPrintable(QString("round %1: %2").arg(round).arg(broken)));
            for (qint64 pid : std::as_const(mustExist))
                QVERIFY2(kolv.value("select count(*) from fingerid where pid=?", {pid}).toInt() == 1,
                         qPrintable(QString("round %1: reported person %2 is missing").arg(round).arg(pid)));
        }
        service.kill();
        service.waitForFinished(5000);
        qInfo("%d rounds killed; %d saves, %d renumbers, %d deletes reported; %d persons stored", rounds, saves,
              renumbers, deletes, kolv.value("select count(*) from fingerid").toInt());
        QVERIFY2(saves > 0, "no save was reported in any round");
    }

    // Two stations storing the same numbers at the same time, and numbers of
    // their own, while the service synchronises: each shared number is stored
    // once, by one of them, and refused to the other with the holder's name.
    void competingWriters()
    {
        KolvFixture kolv;
        QVERIFY2(kolv.ok(), qPrintable(kolv.error()));
        QProcess service;
        QVERIFY(startService(service, kolv));
        requestSync(kolv);
        const QStringList names = {"Station A", "Station B"};
        QProcess writers[2];
        for (int i = 0; i < 2; ++i) {
            writers[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
            writers[i].start(writerProgram(), {kolv.dir(), "compete", names[i], QString::number(i + 1), "1000", "60",
                                               QString::number(2000 + 1000 * i), "30"});
            QVERIFY2(writers[i].waitForStarted(5000), qPrintable(writers[i].errorString()));
        }
        QHash<qint64, QStringList> outcomes;  // number -> "saved by X" / "refused to X: text"
        for (int i = 0; i < 2; ++i) {
            QVERIFY(writers[i].waitForFinished(120000));
            QCOMPARE(writers[i].exitStatus(), QProcess::NormalExit);
            QCOMPARE(writers[i].exitCode(), 0);
            for (const QByteArray &raw : writers[i].readAllStandardOutput().split('\n')) {
                const QString line = QString::fromUtf8(raw);
                const QStringList w = line.split(' ');
                QVERIFY2(w[0] != "error", qPrintable(names[i] + ": " + line));
                if (w[0] == "saved")
                    outcomes[w[1].toLongLong()] << "saved by " + names[i];
                else if (w[0] == "refused")
                    outcomes[w[1].toLongLong()] << "refused to " + names[i] + ": " + line.section(' ', 2);
            }
        }
        service.kill();
        service.waitForFinished(5000);
        QCOMPARE(outcomes.size(), 60 + 2 * 30);
        int refused = 0;
        for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it) {
            const qint64 pid = it.key();
            const QString stored = kolv.value("select name from fingerid where pid=?", {pid}).toString();
            QCOMPARE(kolv.value("select count(*) from fingerid where pid=?", {pid}).toInt(), 1);
            if (pid < 2000) {
                const QString other = stored == names[0] ? names[1] : names[0];
                QStringList expected = {"saved by " + stored,
                                        "refused to " + other + ": Personalid ist schon " + stored + " zugeordnet"};
                QStringList got = it.value();
                std::sort(got.begin(), got.end(), [](const QString &a, const QString &b) { return a > b; });
                QCOMPARE(got, expected);
                ++refused;
            } else {
                QCOMPARE(it.value(), QStringList{"saved by " + names[pid < 3000 ? 0 : 1]});
                QCOMPARE(stored, names[pid < 3000 ? 0 : 1]);
            }
        }
        const QString broken = inconsistency(kolv);
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
        QCOMPARE(kolv.value("select count(*) from fingerid").toInt(), 120);
        qInfo("%d numbers stored by two writers at once, %d refused to the second one", int(outcomes.size()), refused);
    }
};

QTEST_GUILESS_MAIN(TestReliability)
#include "tst_reliability.moc"
