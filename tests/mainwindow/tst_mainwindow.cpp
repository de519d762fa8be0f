#include "clock.h"
#include "inifile.h"
#include "kolvfixture.h"
#include "scriptedoperatorui.h"
#include "station.h"
#include "tdbini.h"
#include "tmainform.h"

#include <QFile>
#include <QtTest>

namespace {

// A main window on a fixture installation, with data.ini in a program folder of its own.
struct Rig
{
    KolvFixture kolv;
    QTemporaryDir programDir;
    ScriptedOperatorUi ui;
    Clock clock;
    Station station;
    std::unique_ptr<Tmainform> form;

    explicit Rig(bool demo = true) : kolv(demo)
    {
        station.dm = &kolv.dm();
        station.ui = &ui;
        station.clock = &clock;
        form = std::make_unique<Tmainform>(station, programDir.path());
        form->timer().stop();
    }
    QString iniPath() const { return programDir.filePath("data.ini"); }
    IniFile ini() const { return IniFile(iniPath()); }
    QString installation() const { return kolv.dir().chopped(1); }  // without the trailing '/'
};

}  // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsFromDataIni();
    void asksForTheFolderWhenNotFound();
    void endsWhenStillNotFound();
    void emptySettingsGiveDefaultsAndWriteNothing();
    void closeQuery_data();
    void closeQuery();
    void lastingStatusErrorShownOnce();
};

void MainWindowTest::startsFromDataIni()
{
    Rig rig;
    rig.ini().writeString("APPLICATION", "DATAPATH", rig.installation());
    rig.ini().writeString("PELVAR", "LASTGERGROUP", "Werk Süd");
    rig.form->FormShow();
    QVERIFY(rig.ui.messages.isEmpty());
    QVERIFY(rig.ui.folderTitles.isEmpty());
    QVERIFY(rig.station.Settings);
    QCOMPARE(rig.station.LastTerminalGroup, QString("Werk Süd"));
    // The missing delimiter is added and written back.
    QCOMPARE(rig.ini().readString("APPLICATION", "DATAPATH", ""), rig.kolv.dir());
    // The demo installation says: serial port COM1.
    QCOMPARE(rig.station.PortType, 1);
    QCOMPARE(rig.form->statusText(0), QString("Dienst:aus"));
    QCOMPARE(rig.form->statusText(1), QString("Abgleich: aus"));
    QCOMPARE(rig.form->statusText(2), QString("letzter Abgleich:unbekannt"));
}

void MainWindowTest::asksForTheFolderWhenNotFound()
{
    Rig rig;
    rig.ui.setNextFolder(rig.installation());
    rig.form->FormShow();
    QCOMPARE(rig.ui.messages,
             QStringList{"Quorvel-Kolv wurde nicht gefunden-bitte wählen Sie den Installationsordner"});
    QCOMPARE(rig.ui.folderTitles, QStringList{"Quorvel-Kolv Installation suchen"});
    QVERIFY(!rig.form->terminating());
    QCOMPARE(rig.ini().readString("APPLICATION", "DATAPATH", ""), rig.kolv.dir());
}

void MainWindowTest::endsWhenStillNotFound()
{
    for (const QString &choice : {QString(), QDir::tempPath()}) {  // cancelled, or a wrong folder
        Rig rig;
        rig.ui.setNextFolder(choice);
        rig.form->FormShow();
        QCOMPARE(rig.ui.messages.last(), QString("Nicht gefunden"));
        QVERIFY(rig.form->terminating());
        QVERIFY(!rig.station.Settings);
        QVERIFY(!QFile::exists(rig.iniPath()));
    }
}

void MainWindowTest::emptySettingsGiveDefaultsAndWriteNothing()
{
    Rig rig(false);
    rig.clock.set(QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
    rig.ini().writeString("APPLICATION", "DATAPATH", rig.kolv.dir());
    rig.form->FormShow();
    const Station &s = rig.station;
    QCOMPARE(s.ComPort, QString("COM1"));
    QCOMPARE(int(s.DataFormat), 1);
    QCOMPARE(int(s.Security), 60);
    QCOMPARE(int(s.Quality), 40);
    QCOMPARE(int(s.MinMinutiae), 7);
    QCOMPARE(s.NofScans, 3);
    QCOMPARE(int(s.SyncMode), 0);
    QCOMPARE(s.PortType, 0);
    QCOMPARE(s.SyncTime, 46366.0 + 9.5 / 24);
    QCOMPARE(rig.kolv.value("select count(*) from ini").toInt(), 0);
}

void MainWindowTest::closeQuery_data()
{
    QTest::addColumn<bool>("dataChanged");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("requested");
    QTest::addColumn<QString>("lastGroup");
    QTest::newRow("nothing changed: no question") << false << false << false << "Verwaltung";
    QTest::newRow("changed, declined") << true << false << false << "Alle";
    QTest::newRow("changed, accepted") << true << true << true << "Verwaltung";
}

void MainWindowTest::closeQuery()
{
    QFETCH(bool, dataChanged);
    QFETCH(bool, answer);
    QFETCH(bool, requested);
    QFETCH(QString, lastGroup);
    Rig rig;
    rig.ini().writeString("APPLICATION", "DATAPATH", rig.kolv.dir());
    rig.ini().writeString("PELVAR", "LASTGERGROUP", "Alle");
    rig.form->FormShow();
    rig.station.LastTerminalGroup = "Verwaltung";
    rig.station.DataChanged = dataChanged;
    rig.ui.setNextAnswer(answer);
    rig.form->FormCloseQuery();
    QCOMPARE(rig.ui.questions.size(), dataChanged ? 1 : 0);
    if (dataChanged) {
        QCOMPARE(rig.ui.questions[0], QString("Sie haben Daten erzeugt/geändert - Terminals abgleichen ??"));
        QCOMPARE(rig.ui.defaults[0], OperatorUi::Default::Yes);
    }
    QCOMPARE(rig.station.Settings->ReadBool("PELVAR", "DOUPDATE", false), requested);
    QCOMPARE(rig.ui.messages, requested ? QStringList{"wurde ausgelöst"} : QStringList{});
    QCOMPARE(rig.ini().readString("PELVAR", "LASTGERGROUP", ""), lastGroup);
}

void MainWindowTest::lastingStatusErrorShownOnce()
{
    Rig rig;
    rig.ini().writeString("APPLICATION", "DATAPATH", rig.kolv.dir());
    rig.form->FormShow();
    rig.kolv.sql("alter table ini rename to ini_away");
    for (int tick = 0; tick < 3; ++tick)
        rig.form->timerTimer();
    QCOMPARE(rig.ui.messages.size(), 1);
    QCOMPARE(rig.form->statusText(0), QString("Dienst:aus"));  // the panels keep their texts

    rig.kolv.sql("alter table ini_away rename to ini");
    rig.kolv.sql("insert into ini (schluessel,wert) values('SERVICE_ISALIVE','1')");
    rig.form->timerTimer();
    QCOMPARE(rig.form->statusText(0), QString("Dienst:läuft"));
    rig.kolv.sql("alter table ini rename to ini_away");
    rig.form->timerTimer();
    QCOMPARE(rig.ui.messages.size(), 2);  // a new error after recovery is shown again
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
