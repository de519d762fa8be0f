#include "kolvfixture.h"
#include "personmaintenance.h"
#include "personnelnumber.h"
#include "personrecords.h"
#include "clock.h"
#include "dberror.h"

#include <QTest>
#include <QSqlQuery>
#include <QtEndian>

namespace {
QByteArray templ(int32_t pid, int fid)
{
    QByteArray t(216, '\x55');
    qToLittleEndian<qint64>(pid, t.data());
    t[8] = char(fid);
    return t;
}
}  // namespace

class TestPersonMaintenance : public QObject
{
    Q_OBJECT
    std::unique_ptr<KolvFixture> kolv;
    Clock clock;

    void person(int32_t pid, const QString &name, QList<int> fids, QStringList terminals)
    {
        kolv->sql("insert into fingerid (pid,name) values (?,?)", {pid, name});
        for (int f : fids) {
            kolv->sql("insert into Fingerdata (PID,FID,Datatype,fdata) values (?,?,1,?)", {pid, f, templ(pid, f)});
            for (int s = 1; s <= 2; ++s)
                kolv->sql("insert into Fingerdata_archiv (PID,FID,Scannumber,fdata) values (?,?,?,?)",
                          {pid, f, s, templ(pid, f)});
        }
        for (const QString &t : terminals)
            kolv->sql("insert into fingerid_to_geraet (pid,geraet) values (?,?)", {pid, t});
    }

private slots:
    void init()
    {
        kolv = std::make_unique<KolvFixture>();
        QVERIFY2(kolv->ok(), qPrintable(kolv->error()));
        clock.set(QDateTime(QDate(2011, 1, 31), QTime(8, 5, 9)));
    }

    void deleteRemovesEverythingAndJournalsEveryTerminal()
    {
        person(17, "Meier", {1, 2}, {"1"});
        person(18, "Other", {1}, {"1"});
        kolv->sql("insert into fingerstatus (pid,geraet,action,postet) values (17,'1','+','x')");
        deletePerson(kolv->dm(), clock, 17, {"2", "1", "4"});
        for (const char *table : {"fingerid_to_geraet", "fingerdata", "fingerdata_archiv", "fingerid"})
            QCOMPARE(kolv->value(QString("select count(*) from %1 where pid=17").arg(table)).toInt(), 0);
        QCOMPARE(kolv->rows("select geraet, action from fingerstatus where pid=17 order by id"),
                 QStringList({"2|-", "1|-", "4|-"}));
        QCOMPARE(kolv->value("select count(*) from fingerdata where pid=18").toInt(), 1);
    }

    // A name change is held to the same limit as an enrolment, before
    // anything is written (the number change with it is not made either).
    void nameChangeOverTheLimitChangesNothing()
    {
        person(17, "Meier", {1}, {"1"});
        const QStringList before = kolv->rows("select pid, name from fingerid");
        try {
            storePersonChange(kolv->dm(), 17, 4712, QString(51, 'M'));
            QFAIL("stored");
        } catch (const InputError &error) {
            QCOMPARE(error.text(), QStringLiteral("Der Name darf höchstens 50 Zeichen lang sein (51 Zeichen)"));
        }
        QCOMPARE(kolv->rows("select pid, name from fingerid"), before);
        QCOMPARE(kolv->value("select count(*) from fingerdata where pid=17").toInt(), 1);
    }

    // A stored block of 0-8 bytes has no room for the number: the renumbering
    // is refused as a whole, naming the finger, instead of leaving that
    // template under the old number.
    void renumberRefusedOverATemplateWithoutHeader_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("length");
        QTest::newRow("archive, 8 bytes") << "Fingerdata_archiv" << 8;
        QTest::newRow("transfer, empty") << "Fingerdata" << 0;
    }

    void renumberRefusedOverATemplateWithoutHeader()
    {
        QFETCH(QString, table);
        QFETCH(int, length);
        person(17, "Meier", {1, 3}, {"1"});
        kolv->sql(QString("update %1 set fdata=? where fid=3").arg(table), {QByteArray(length, '\x11')});
        QStringList before;
        for (const char *t : {"fingerid", "Fingerdata", "Fingerdata_archiv", "fingerid_to_geraet"})
            before << kolv->rows(QString("select * from %1 order by 1, 2").arg(t));
        try {
            storePersonChange(kolv->dm(), 17, 4711, "Meier");
            QFAIL("renumbered");
        } catch (const InputError &error) {
            QVERIFY2(error.text().contains("Finger 3 in " + table) && error.text().contains(QString("%1 Bytes").arg(length)),
                     qPrintable(error.text()));
        }
        QStringList after;
        for (const char *t : {"fingerid", "Fingerdata", "Fingerdata_archiv", "fingerid_to_geraet"})
            after << kolv->rows(QString("select * from %1 order by 1, 2").arg(t));
        QCOMPARE(after, before);
    }

    void renumberMovesAssignmentsAndHeaders()
    {
        person(17, "Meier", {1, 3}, {"1", "5"});
        storePersonChange(kolv->dm(), 17, 4711, "Meier-Neu");
        QCOMPARE(kolv->rows("select pid, name from fingerid"), QStringList({"4711|Meier-Neu"}));
        QCOMPARE(kolv->rows("select geraet from fingerid_to_geraet where pid=4711 order by geraet"),
                 QStringList({"1", "5"}));
        for (const char *table : {"Fingerdata", "Fingerdata_archiv"}) {
            QSqlQuery q(kolv->other());
            QVERIFY(q.exec(QString("select pid, fid, fdata from %1").arg(table)));
            int n = 0;
            while (q.next()) {
                ++n;
                const QByteArray d = q.value(2).toByteArray();
                QCOMPARE(q.value(0).toInt(), 4711);
                QCOMPARE(qFromLittleEndian<qint64>(d.constData()), qint64(4711));
                QCOMPARE(int(uchar(d[8])), q.value(1).toInt());
                QCOMPARE(d.mid(9), templ(17, 1).mid(9));
            }
            QVERIFY(n >= 2);
        }
    }

    void takenNumberRefusedBeforeWriting()
    {
        person(17, "Meier", {1}, {"1"});
        person(18, "Schulz", {1}, {});
        try {
            storePersonChange(kolv->dm(), 17, 18, "Anders");
            QFAIL("no refusal");
        } catch (const InputError &e) {
            QCOMPARE(e.text(), QString("Personalid ist schon Schulz zugeordnet"));
        }
        QCOMPARE(kolv->rows("select pid, name from fingerid order by pid"), QStringList({"17|Meier", "18|Schulz"}));
        QCOMPARE(kolv->value("select count(*) from fingerdata where pid=17").toInt(), 1);
        QCOMPARE(kolv->value("select count(*) from fingerid_to_geraet where pid=17").toInt(), 1);
    }

    // Archive rows as "fid:scan:byte 8:body byte", the body telling whose scans they are.
    QStringList archive(int32_t pid)
    {
        QStringList out;
        QSqlQuery q(kolv->other());
        q.prepare("select fid, scannumber, fdata from fingerdata_archiv where pid=? order by fid, scannumber");
        q.addBindValue(pid);
        if (!q.exec())
            qFatal("archive read failed");
        while (q.next()) {
            const QByteArray d = q.value(2).toByteArray();
            out << QString("%1:%2:%3:%4").arg(q.value(0).toInt()).arg(q.value(1).toInt())
                       .arg(int(d[8])).arg(int(uchar(d[20])), 0, 16);
        }
        return out;
    }

    void moveTemplateTakesItsArchiveRows()
    {
        person(17, "Meier", {1, 3}, {});
        // Finger 6 was scanned but not chosen for the terminals: archive rows only.
        QByteArray unchosen = templ(17, 6);
        unchosen.fill('\x66', 216);
        qToLittleEndian<qint64>(17, unchosen.data());
        unchosen[8] = 6;
        kolv->sql("insert into Fingerdata_archiv (PID,FID,Scannumber,fdata) values (17,6,1,?)", {unchosen});
        QVERIFY(moveStoredTemplate(kolv->dm(), 17, 1, 6));
        QCOMPARE(kolv->rows("select fid from fingerdata where pid=17 order by fid"), QStringList({"3", "6"}));
        const QByteArray d = kolv->value("select fdata from fingerdata where pid=17 and fid=6").toByteArray();
        QCOMPARE(int(d[8]), 6);
        // The moved finger's scans are at 6 now, the unchosen ones took its old place.
        QCOMPARE(archive(17), QStringList({"1:1:1:66", "3:1:3:55", "3:2:3:55", "6:1:6:55", "6:2:6:55"}));
        // Onto a finger that carries a template already: refused, nothing changes.
        QVERIFY_THROWS_EXCEPTION(InputError, moveStoredTemplate(kolv->dm(), 17, 6, 3));
        QCOMPARE(kolv->rows("select fid from fingerdata where pid=17 order by fid"), QStringList({"3", "6"}));
        QCOMPARE(archive(17).size(), 5);
        QVERIFY(!moveStoredTemplate(kolv->dm(), 17, 9, 2));
    }

    void moveTemplateFailingLeavesBothTables()
    {
        person(17, "Meier", {1}, {});
        kolv->refuse("update", "fingerdata_archiv", "", "gesperrt");
        QVERIFY_THROWS_EXCEPTION(DbError, moveStoredTemplate(kolv->dm(), 17, 1, 6));
        QCOMPARE(kolv->rows("select fid from fingerdata where pid=17"), QStringList({"1"}));
        QCOMPARE(archive(17), QStringList({"1:1:1:55", "1:2:1:55"}));
    }

    void renumberIsOneTransaction()
    {
        person(17, "Meier", {1}, {"1", "4"});
        bool pausedUnseen = false;
        changePerson(kolv->dm(), clock, 17, 4711, "Meier", {"1", "4"}, false, [&] {
            // Nothing is visible to the Kolv service before the whole change is.
            pausedUnseen = kolv->value("select count(*) from fingerstatus").toInt() == 0 &&
                           kolv->value("select count(*) from fingerid where pid=17").toInt() == 1;
            clock.set(clock.now().addSecs(1));
        });
        QVERIFY(pausedUnseen);
        QCOMPARE(kolv->rows("select pid, geraet, action, postet from fingerstatus order by id"),
                 QStringList({"17|1|-|2011-01-31 08:05:09", "17|4|-|2011-01-31 08:05:09",
                              "4711|1|+|2011-01-31 08:05:10", "4711|4|+|2011-01-31 08:05:10"}));
        QCOMPARE(kolv->rows("select pid from fingerid"), QStringList({"4711"}));
    }

    void renumberFailingInThePutRowsRollsBackEverything()
    {
        person(17, "Meier", {1}, {"1"});
        kolv->refuse("insert", "fingerstatus", "new.action='+'", "gesperrt");
        QVERIFY_THROWS_EXCEPTION(DbError, changePerson(kolv->dm(), clock, 17, 4711, "Neu", {"1"}, false, {}));
        QCOMPARE(kolv->rows("select pid, name from fingerid"), QStringList({"17|Meier"}));
        QCOMPARE(kolv->value("select count(*) from fingerstatus").toInt(), 0);
        QCOMPARE(kolv->rows("select pid from fingerid_to_geraet"), QStringList({"17"}));
        QCOMPARE(kolv->rows("select pid from fingerdata"), QStringList({"17"}));
        const QByteArray d = kolv->value("select fdata from fingerdata").toByteArray();
        QCOMPARE(qFromLittleEndian<qint64>(d.constData()), qint64(17));
    }

    void sameNumberJournalsOnlyAfterAFingerMove_data()
    {
        QTest::addColumn<bool>("fingerChanged");
        QTest::addColumn<QStringList>("journal");
        QTest::newRow("name only") << false << QStringList();
        QTest::newRow("finger moved") << true << QStringList({"17|1|+"});
    }
    void sameNumberJournalsOnlyAfterAFingerMove()
    {
        QFETCH(bool, fingerChanged);
        QFETCH(QStringList, journal);
        person(17, "Meier", {1}, {"1"});
        bool paused = false;
        changePerson(kolv->dm(), clock, 17, 17, "Meyer", {"1"}, fingerChanged, [&] { paused = true; });
        QVERIFY(!paused);
        QCOMPARE(kolv->rows("select name from fingerid"), QStringList({"Meyer"}));
        QCOMPARE(kolv->rows("select pid, geraet, action from fingerstatus"), journal);
    }

    void prefixSearch_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::newRow("umlaut lower") << "name" << QString("mü") << 1;
        QTest::newRow("umlaut upper typed") << "name" << QString("MÜL") << 1;
        QTest::newRow("upper name found") << "name" << QString("müllers") << 2;
        QTest::newRow("no match") << "name" << QString("x") << -1;
        QTest::newRow("empty") << "name" << QString() << -1;
        QTest::newRow("pid prefix") << "pid" << QString("12") << 3;
        QTest::newRow("pid no case") << "pid" << QString("a") << -1;
    }
    void prefixSearch()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, row);
        const QVector<PersonRow> rows = {{5, "Abel"}, {7, "Müller"}, {9, "MÜLLERSON"}, {123, "Zander"}};
        QCOMPARE(findByPrefix(rows, field, text), row);
    }
};

QTEST_GUILESS_MAIN(TestPersonMaintenance)
#include "tst_personmaintenance.moc"
