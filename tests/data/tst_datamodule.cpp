#include "datetimevalue.h"
#include "germanorder.h"
#include "kolvfixture.h"
#include "tdbini.h"

#include <QtTest>

class DataModuleTest : public QObject
{
    Q_OBJECT

private slots:
    void dateTimeValues();
    void failedTransactionLeavesNothing();
    void valuesAreBoundNotSpliced();
    void terminalDirectoryHoldsFingerprintTerminals();
    void terminalDirectoryIsReadAgainWhileEmpty();
    void terminalAssignmentsAreReadThroughAnIndex();
    void terminalDirectoryFailingPartWayStaysEmpty();
    void germanNameOrder_data();
    void germanNameOrder();
};

void DataModuleTest::dateTimeValues()
{
    QCOMPARE(datetimevalue::fromDateTime(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    QCOMPARE(datetimevalue::fromDateTime(QDateTime(QDate(2024, 12, 6), QTime(18, 0))), 45632.75);
    QCOMPARE(datetimevalue::toDateTime(45632.75), QDateTime(QDate(2024, 12, 6), QTime(18, 0)));
    QCOMPARE(datetimevalue::formatTimestamp(QDateTime(QDate(2011, 1, 31), QTime(8, 5, 9)), ":"),
             QString("2011-01-31 08:05:09"));
    QCOMPARE(datetimevalue::formatDayMinute(QDateTime(QDate(2024, 12, 6), QTime(6, 0)), "."),
             QString("06.12.2024 06.00"));
}

void DataModuleTest::failedTransactionLeavesNothing()
{
    KolvFixture kolv;
    Tdm &dm = kolv.dm();
    QVERIFY_THROWS_EXCEPTION(DbError, dm.transaction([&] {
        dm.execute("insert into fingerid (pid,name) values(?,?)", {5, "Anna"});
        dm.execute("insert into fingerid (pid,name) values(?,?)", {5, "Doppelt"});  // unique pid
    }));
    QCOMPARE(kolv.value("select count(*) from fingerid").toInt(), 0);
    dm.transaction([&] { dm.execute("insert into fingerid (pid,name) values(?,?)", {6, "Berta"}); });
    QCOMPARE(kolv.rows("select pid, name from fingerid"), QStringList{"6|Berta"});
}

void DataModuleTest::valuesAreBoundNotSpliced()
{
    KolvFixture kolv;
    Tdm &dm = kolv.dm();
    const QString name = "O'Brien'); drop table fingerid; --";
    dm.execute("insert into fingerid (pid,name) values(?,?)", {1, name});
    QCOMPARE(kolv.value("select name from fingerid where pid=1").toString(), name);
}

void DataModuleTest::terminalDirectoryHoldsFingerprintTerminals()
{
    KolvFixture kolv;
    // Left out: no setting, 0, negative, not a number, and a lower-case "g" row.
    kolv.sql("insert into geraetetree (typ,typid,parentref,ref,level,bezeichnung) values"
             "('G','7','10','107',2,'Aaa ohne Einstellung'),('G','8','10','108',2,'Aab negativ'),"
             "('G','9','10','109',2,'Aac Text'),('g','11','10','111',2,'Aad klein'),"
             "('O','12','1','12',1,'Gruppe mit Fingertyp'),('G','13','10','113',2,'Ärztezimmer')");
    kolv.sql("insert into ini (schluessel,wert) values('DOCKPORT8_FINGERTYPE','-1'),('DOCKPORT9_FINGERTYPE','x'),"
             "('DOCKPORT11_FINGERTYPE','1'),('DOCKPORT12_FINGERTYPE','1'),('DOCKPORT13_FINGERTYPE','1')");
    Tdbini settings(kolv.dm());
    Tdm &dm = kolv.dm();
    dm.LoadTerminals(settings);
    QStringList names;
    for (int i = 0; i < dm.TerminalCount(); ++i)
        names << dm.GetTerminal(i)->typid + ":" + dm.GetTerminal(i)->bezeichnung;
    // By level, then in German order: the umlaut beside its base letter.
    QCOMPARE(names, (QStringList{"13:Ärztezimmer", "2:Büro 1. OG", "1:Empfang", "5:Halle 2", "6:Lager",
                                 "4:Tor 'Süd'"}));
    QCOMPARE(dm.GetTerminal(0)->parentref, QString("10"));
    QVERIFY(!dm.GetTerminal(-1));
    QVERIFY(!dm.GetTerminal(dm.TerminalCount()));

    // Read once per run: a terminal added later is not seen.
    kolv.sql("insert into ini (schluessel,wert) values('DOCKPORT7_FINGERTYPE','1')");
    dm.LoadTerminals(settings);
    QCOMPARE(dm.TerminalCount(), 6);
}

void DataModuleTest::terminalDirectoryIsReadAgainWhileEmpty()
{
    KolvFixture kolv(false);
    Tdbini settings(kolv.dm());
    kolv.dm().LoadTerminals(settings);
    QCOMPARE(kolv.dm().TerminalCount(), 0);
    kolv.sql("insert into geraetetree (typ,typid,parentref,ref,level,bezeichnung) values('G','1','1','2',1,'Tor')");
    kolv.sql("insert into ini (schluessel,wert) values('DOCKPORT1_FINGERTYPE','3')");
    kolv.dm().LoadTerminals(settings);
    QCOMPARE(kolv.dm().TerminalCount(), 1);
}

void DataModuleTest::terminalAssignmentsAreReadThroughAnIndex()
{
    // An installation made before the index on the terminal column existed.
    KolvFixture kolv;
    kolv.sql("drop index fingerid_to_geraet_geraet");
    kolv.sql("insert into fingerid_to_geraet (pid,geraet) values (1,'4'),(2,'4'),(2,'5')");
    Tdm station(QStringLiteral("second station"));
    station.setConnectionPath(kolv.dictionaryFile());
    station.open();
    QStringList plan;
    station.forEachRow("explain query plan select pid from fingerid_to_geraet where geraet=?", {"4"},
                       [&](const QSqlQuery &q) { plan << q.value(3).toString(); });
    QVERIFY2(plan.join(' ').contains("COVERING INDEX fingerid_to_geraet_geraet"), qPrintable(plan.join('\n')));
    QCOMPARE(kolv.rows("select pid from fingerid_to_geraet where geraet='4' order by pid"), QStringList({"1", "2"}));
    // Present already: opened again, nothing is added twice.
    Tdm third(QStringLiteral("third station"));
    third.setConnectionPath(kolv.dictionaryFile());
    third.open();
    QCOMPARE(kolv.value("select count(*) from sqlite_master where type='index' and tbl_name='fingerid_to_geraet'").toInt(),
             2);
}

void DataModuleTest::terminalDirectoryFailingPartWayStaysEmpty()
{
    KolvFixture kolv;
    // The setting of Halle 2 (read third) cannot be read: SQLite fails on the
    // overflow in the middle of the directory.
    kolv.sql("alter table ini rename to ini_rows");
    kolv.sql("create view ini as select schluessel, case when schluessel='DOCKPORT5_FINGERTYPE' "
             "then abs(-9223372036854775808) else wert end as wert from ini_rows");
    Tdbini settings(kolv.dm());
    Tdm &dm = kolv.dm();
    QVERIFY_THROWS_EXCEPTION(DbError, dm.LoadTerminals(settings));
    QCOMPARE(dm.TerminalCount(), 0);
    kolv.sql("drop view ini");
    kolv.sql("alter table ini_rows rename to ini");
    dm.LoadTerminals(settings);
    QCOMPARE(dm.TerminalCount(), 5);
}

void DataModuleTest::germanNameOrder_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("umlaut beside its letter") << "Otto" << "Özdemir";
    QTest::newRow("umlaut before later letters") << "Özdemir" << "x";
    QTest::newRow("capital umlaut") << "Ärger" << "Bach";
    QTest::newRow("case after letters") << "abel" << "Abend";
    QTest::newRow("sharp s") << "Strauß" << "Stroh";
    QTest::newRow("numbers by value") << "Halle 2" << "Halle 10";
}

void DataModuleTest::germanNameOrder()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    const GermanNameOrder order;
    QVERIFY(order(first, second));
    QVERIFY(!order(second, first));
    QCOMPARE(order.compare(first, first), 0);
}

QTEST_GUILESS_MAIN(DataModuleTest)
#include "tst_datamodule.moc"
