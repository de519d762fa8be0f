#include "clock.h"
#include "datetimevalue.h"
#include "kolvfixture.h"
#include "scriptedoperatorui.h"
#include "station.h"
#include "syncrequest.h"
#include "tdbini.h"

#include <QTimeZone>
#include <QtTest>

class SyncRequestTest : public QObject
{
    Q_OBJECT

private slots:
    void timeOfDay_data();
    void timeOfDay();
    void timedRequestWritesTimeAndSaysWhen();
    void immediateRequestKeepsTheStoredTime();
    void unchangedDataAsksFirst();
    void failedWriteIsNotConfirmed();
    void clockChangeNights_data();
    void clockChangeNights();
    void statusTexts();

private:
    struct Rig
    {
        KolvFixture kolv{false};
        ScriptedOperatorUi ui;
        Clock clock;
        Tdbini settings{kolv.dm()};
        Station station;
        Rig()
        {
            settings.setDecimalSeparator(".");
            station.dm = &kolv.dm();
            station.Settings = &settings;
            station.ui = &ui;
            station.clock = &clock;
        }
    };
};

void SyncRequestTest::timeOfDay_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QDate>("expectedDay");
    const QDate day(2024, 12, 6);
    QTest::newRow("05:59 gives today") << QTime(5, 59) << day;
    QTest::newRow("06:01 gives tomorrow") << QTime(6, 1) << day.addDays(1);
    QTest::newRow("exactly 06:00 stays today") << QTime(6, 0) << day;
    QTest::newRow("one ms later gives tomorrow") << QTime(6, 0, 0, 1) << day.addDays(1);
}

void SyncRequestTest::timeOfDay()
{
    QFETCH(QTime, now);
    QFETCH(QDate, expectedDay);
    // A SyncTime stored on some other day: only its time of day counts.
    const double syncTime = datetimevalue::fromDateTime(QDateTime(QDate(2020, 3, 1), QTime(6, 0)));
    const QDateTime t(QDate(2024, 12, 6), now);
    QCOMPARE(nextSyncDateTime(t, t, syncTime), QDateTime(expectedDay, QTime(6, 0)));
}

void SyncRequestTest::timedRequestWritesTimeAndSaysWhen()
{
    Rig rig;
    rig.station.DataChanged = true;
    rig.station.SyncMode = 1;
    rig.station.SyncTime = datetimevalue::fromDateTime(QDateTime(QDate(2024, 1, 1), QTime(6, 0)));
    rig.clock.set(QDateTime(QDate(2024, 12, 6), QTime(5, 59)));
    QuorvelKolvGerteupdate1Click(rig.station);
    QVERIFY(rig.ui.questions.isEmpty());
    QCOMPARE(rig.ui.messages.size(), 1);
    QVERIFY(rig.ui.messages[0].startsWith("Terminal-Synchronisation wird ausgelöst am: 06.12.2024 06"));
    QVERIFY(rig.ui.messages[0].endsWith("00"));
    QCOMPARE(rig.settings.ReadString("PELVAR", "DOUPDATE", ""), QString("1"));
    QCOMPARE(rig.settings.ReadFloat("PELVAR", "DOUPDATETIME", 0),
             datetimevalue::fromDateTime(QDateTime(QDate(2024, 12, 6), QTime(6, 0))));
}

void SyncRequestTest::immediateRequestKeepsTheStoredTime()
{
    Rig rig;
    rig.kolv.sql("insert into ini (schluessel,wert) values('PELVAR_DOUPDATETIME','123.5')");
    rig.station.DataChanged = true;
    rig.station.SyncMode = 2;  // anything but 1 requests at once
    QuorvelKolvGerteupdate1Click(rig.station);
    QCOMPARE(rig.ui.messages, QStringList{"wurde ausgelöst"});
    QCOMPARE(rig.kolv.rows("select schluessel, wert from ini order by schluessel"),
             (QStringList{"PELVAR_DOUPDATE|1", "PELVAR_DOUPDATETIME|123.5"}));
}

void SyncRequestTest::unchangedDataAsksFirst()
{
    Rig rig;
    rig.ui.setNextAnswer(false);
    QuorvelKolvGerteupdate1Click(rig.station);
    QCOMPARE(rig.ui.questions, QStringList{"Sie haben keine Daten verändert-Trotzdem Abgleich auslösen ??"});
    QCOMPARE(rig.ui.defaults.value(0), OperatorUi::Default::No);
    QVERIFY(rig.ui.messages.isEmpty());
    QCOMPARE(rig.kolv.value("select count(*) from ini").toInt(), 0);

    rig.ui.setNextAnswer(true);
    QuorvelKolvGerteupdate1Click(rig.station);
    QCOMPARE(rig.ui.messages, QStringList{"wurde ausgelöst"});
    QCOMPARE(rig.settings.ReadBool("PELVAR", "DOUPDATE", false), true);
}

void SyncRequestTest::statusTexts()
{
    Rig rig;
    ServiceStatus s = readServiceStatus(rig.settings);
    QCOMPARE(s.service, QString("Dienst:aus"));
    QCOMPARE(s.request, QString("Abgleich: aus"));
    QCOMPARE(s.last, QString("letzter Abgleich:unbekannt"));

    rig.kolv.sql("insert into ini (schluessel,wert) values('SERVICE_ISALIVE','1'),('PELVAR_DOUPDATE','1'),"
                 "('PELVAR_DIDUPDATE','10.12.2026 09:40:02')");
    s = readServiceStatus(rig.settings);
    QCOMPARE(s.service, QString("Dienst:läuft"));
    QCOMPARE(s.request, QString("Abgleich: angefordert"));
    QCOMPARE(s.last, QString("letzter Abgleich:10.12.2026 09:40:02"));

    rig.kolv.sql("update ini set wert='0' where schluessel='PELVAR_DOUPDATE'");
    rig.kolv.sql("update ini set wert='' where schluessel='PELVAR_DIDUPDATE'");
    s = readServiceStatus(rig.settings);
    QCOMPARE(s.request, QString("Abgleich: aus"));
    QCOMPARE(s.last, QString("letzter Abgleich:"));
}


void SyncRequestTest::failedWriteIsNotConfirmed()
{
    Rig rig;
    rig.station.DataChanged = true;
    rig.station.SyncMode = 1;
    rig.station.SyncTime = datetimevalue::fromDateTime(QDateTime(QDate(2024, 1, 1), QTime(6, 0)));
    rig.clock.set(QDateTime(QDate(2024, 12, 6), QTime(5, 59)));
    // The time, written second, is refused: the request written first goes too.
    rig.kolv.sql("create trigger refuse before insert on ini when new.schluessel='PELVAR_DOUPDATETIME' "
                 "begin select raise(abort, 'gesperrt'); end");
    QVERIFY_THROWS_EXCEPTION(DbError, QuorvelKolvGerteupdate1Click(rig.station));
    QVERIFY(rig.ui.messages.isEmpty());
    QCOMPARE(rig.kolv.value("select count(*) from ini").toInt(), 0);
}

void SyncRequestTest::clockChangeNights_data()
{
    const QTimeZone berlin("Europe/Berlin");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QTime>("syncTime");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QDateTime>("stored");
    // 02:00 to 03:00 does not exist on 29 March 2026.
    QTest::newRow("spring, in the lost hour") << QDateTime(QDate(2026, 3, 29), QTime(1, 0), berlin) << QTime(2, 30)
                                              << "29.03.2026 03:00" << QDateTime(QDate(2026, 3, 29), QTime(3, 0));
    QTest::newRow("spring, at its start") << QDateTime(QDate(2026, 3, 29), QTime(1, 0), berlin) << QTime(2, 0)
                                          << "29.03.2026 03:00" << QDateTime(QDate(2026, 3, 29), QTime(3, 0));
    QTest::newRow("spring, after it") << QDateTime(QDate(2026, 3, 29), QTime(1, 0), berlin) << QTime(3, 15)
                                      << "29.03.2026 03:15" << QDateTime(QDate(2026, 3, 29), QTime(3, 15));
    // 02:00 to 03:00 comes twice on 25 October 2026; the second time the clock reads 02:10 again.
    const QDateTime secondPass = QDateTime(QDate(2026, 10, 25), QTime(3, 10), berlin).addSecs(-3600);
    QTest::newRow("autumn, before the hour") << QDateTime(QDate(2026, 10, 25), QTime(1, 50), berlin) << QTime(2, 30)
                                             << "25.10.2026 02:30" << QDateTime(QDate(2026, 10, 25), QTime(2, 30));
    QTest::newRow("autumn, in its second pass") << secondPass << QTime(2, 30) << "25.10.2026 02:30"
                                                << QDateTime(QDate(2026, 10, 25), QTime(2, 30));
}

void SyncRequestTest::clockChangeNights()
{
    QFETCH(QDateTime, now);
    QFETCH(QTime, syncTime);
    QFETCH(QString, told);
    QFETCH(QDateTime, stored);
    Rig rig;
    rig.station.DataChanged = true;
    rig.station.SyncMode = 1;
    rig.station.SyncTime = datetimevalue::fromDateTime(QDateTime(QDate(2020, 6, 1), syncTime));
    rig.clock.set(now);
    QuorvelKolvGerteupdate1Click(rig.station);
    const QString sep = datetimevalue::timeSeparator();
    QCOMPARE(rig.ui.messages, QStringList{"Terminal-Synchronisation wird ausgelöst am: " + QString(told).replace(":", sep)});
    QCOMPARE(rig.settings.ReadFloat("PELVAR", "DOUPDATETIME", 0), datetimevalue::fromDateTime(stored));
}

QTEST_GUILESS_MAIN(SyncRequestTest)
#include "tst_syncrequest.moc"
