#include "clock.h"
#include "dberror.h"
#include "enrolmentstore.h"
#include "kolvfixture.h"
#include "personnelnumber.h"
#include "tdbini.h"
#include "terminals.h"

#include <QSqlQuery>
#include <QTest>

// Three fingers (3, 7, 1) with three scans each; the module's bytes 0-8 are
// zero, the quality byte and a pattern that tells the scans apart follow.
struct Enrolment
{
    FingerList fingers;
    ScanList scans;

    explicit Enrolment(int scansPerFinger = 3)
    {
        const int numbers[] = {3, 7, 1};
        for (int k = 0; k < 3; ++k) {
            Tfinger &f = *fingers.byNumber(numbers[k]);
            f.ScanCount = scansPerFinger;
            f.BestScan = 2;
            f.BestScore = 60 + k;
            f.Rank = 3 - k;
            f.Selected = k < 2;
            for (int n = 0; n < scansPerFinger; ++n) {
                auto scan = std::make_unique<Tscan>();
                scan->FingerNo = f.FingerNo;
                scan->ScanIndex = n;
                scan->TemplateLength = 161;
                scan->Template[9] = uint8_t(70 + n);
                scan->Template[10] = uint8_t(f.FingerNo * 10 + n);
                scan->Score = 50 + n;
                scan->Best = n == 1;
                scans.append(std::move(scan));
            }
        }
    }

    EnrolmentSave save(const QString &pid, const QString &name)
    {
        EnrolmentSave s;
        s.pidText = pid;
        s.name = name;
        for (int p = 0; p < 10; ++p)
            if (fingers.at(p).ScanCount > 0)
                s.fingerSlots[size_t(p)] = &fingers.at(p);
        return s;
    }
};

class TestEnrolmentStore : public QObject
{
    Q_OBJECT

    Clock clock;

    QStringList everything(KolvFixture &kolv)
    {
        QStringList all;
        for (const char *table : {"fingerid", "Fingerdata", "Fingerdata_archiv", "fingerid_to_geraet", "fingerstatus"})
            all << kolv.rows(QStringLiteral("select * from ") + QLatin1String(table) + QStringLiteral(" order by 1,2"));
        return all;
    }

private slots:
    void initTestCase() { clock.set(QDateTime(QDate(2011, 1, 31), QTime(8, 5, 9))); }

    void savesEveryScanTheSelectedBestScansAndTheTerminals()
    {
        KolvFixture kolv;
        QVERIFY2(kolv.ok(), qPrintable(kolv.error()));
        Tdbini settings(kolv.dm());
        kolv.dm().LoadTerminals(settings);
        Enrolment e;
        EnrolmentSave save = e.save(QStringLiteral("007"), QStringLiteral("O'Neill, Anna"));
        // Ticked in list order: the third, then the first terminal of the directory.
        save.terminals = {kolv.dm().GetTerminal(2), kolv.dm().GetTerminal(0)};
        saveEnrolment(kolv.dm(), clock, e.fingers, e.scans, save);

        QCOMPARE(kolv.rows("select pid,name from fingerid"), QStringList{"7|O'Neill, Anna"});
        QCOMPARE(kolv.value("select count(*) from Fingerdata_archiv where PID=7").toInt(), 9);
        QCOMPARE(kolv.rows("select score,ranking,selected,fingerselected,bestscanindex,Datatype from Fingerdata_archiv "
                           "where FID=1 order by Scannumber"),
                 (QStringList{"50|1|0|0|2|1", "51|1|1|0|2|1", "52|1|0|0|2|1"}));
        QCOMPARE(kolv.rows("select FID from Fingerdata order by FID"), (QStringList{"3", "7"}));

        const QByteArray fdata = kolv.value("select fdata from Fingerdata where FID=7").toByteArray();
        QCOMPARE(fdata.size(), 161);
        QCOMPARE(fdata.left(9), QByteArray::fromHex("070000000000000007"));
        QCOMPARE(uint8_t(fdata[10]), uint8_t(71));  // the best scan, number 2
        // The templates in memory keep what the module delivered.
        for (int i = 0; i < e.scans.size(); ++i)
            QCOMPARE(e.scans.at(i).Template[0] | e.scans.at(i).Template[8], 0);

        QStringList assigned{"7|" + save.terminals[0]->typid, "7|" + save.terminals[1]->typid};
        assigned.sort();
        QCOMPARE(kolv.rows("select pid,geraet from fingerid_to_geraet order by geraet"), assigned);
        QCOMPARE(kolv.rows("select pid,geraet,action,postet from fingerstatus order by id"),
                 (QStringList{"7|" + save.terminals[0]->typid + "|+|2011-01-31 08:05:09",
                              "7|" + save.terminals[1]->typid + "|+|2011-01-31 08:05:09"}));
    }

    void negativeNumberStampsSignExtended()
    {
        KolvFixture kolv;
        Enrolment e;
        saveEnrolment(kolv.dm(), clock, e.fingers, e.scans, e.save("-2", "Neg"));
        QCOMPARE(kolv.value("select fdata from Fingerdata where FID=3").toByteArray().left(9),
                 QByteArray::fromHex("FEFFFFFFFFFFFFFF03"));
    }

    void refusedSavesWriteNothing_data()
    {
        QTest::addColumn<QString>("pid");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        QTest::newRow("taken number") << "12" << "" << "Personalid ist schon Alt, Otto zugeordnet";
        // A rescan of person 13 typed over with 12 would replace Otto's templates.
        QTest::newRow("rescan under another number") << "12" << "rescan of 13"
                                                     << "Beim Neu scannen bleibt die Personalid 13; sie wird mit "
                                                        "\"Eintrag bearbeiten\" geändert";
        QTest::newRow("failure in the middle") << "13" << "broken inserts" << "kaputt";
    }

    void refusedSavesWriteNothing()
    {
        QFETCH(QString, pid);
        QFETCH(QString, setup);
        QFETCH(QString, message);
        KolvFixture kolv;
        kolv.sql("insert into fingerid (pid,name) values(12,'Alt, Otto')");
        kolv.sql("insert into Fingerdata_archiv (PID,FID,Scannumber,fdata) values(13,2,1,?)", {QByteArray(1, '\0')});
        const bool rescan = setup == "rescan of 13";
        if (rescan)
            kolv.sql("insert into Fingerdata (PID,FID,fdata) values(12,2,?)", {QByteArray(1, '\x0c')});
        else if (setup == "broken inserts")
            kolv.refuse("insert", "Fingerdata", "", "kaputt");
        const QStringList before = everything(kolv);
        Tdbini settings(kolv.dm());
        kolv.dm().LoadTerminals(settings);
        Enrolment e;
        EnrolmentSave save = e.save(pid, "Neu");
        save.terminals = {kolv.dm().GetTerminal(0)};
        if (rescan) {
            save.rescan = true;
            save.rescanPidText = "13";
        }
        try {
            saveEnrolment(kolv.dm(), clock, e.fingers, e.scans, save);
            QFAIL("saved");
        } catch (const InputError &error) {
            QCOMPARE(error.text(), message);
        } catch (const DbError &error) {
            QVERIFY2(error.text().contains(message), qPrintable(error.text()));
        }
        QCOMPARE(everything(kolv), before);
    }

    // The store holds the name to 50 characters whoever calls it; a
    // character outside the Basic Multilingual Plane counts once and is
    // stored whole, never cut to a lone surrogate.
    void nameLimit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("refusal");  // empty: stored as given
        const QString clef = QString::fromUcs4(U"\U0001D11E");  // two UTF-16 units
        QTest::newRow("50 letters") << QString(50, 'a') << QString();
        QTest::newRow("51 letters") << QString(51, 'a') << "Der Name darf höchstens 50 Zeichen lang sein (51 Zeichen)";
        QTest::newRow("100000 letters") << QString(100000, 'x')
                                        << "Der Name darf höchstens 50 Zeichen lang sein (100000 Zeichen)";
        QTest::newRow("50 characters in 100 units") << clef.repeated(50) << QString();
        QTest::newRow("49 letters and one pair") << QString(49, 'b') + clef << QString();
        QTest::newRow("51 characters in 102 units") << clef.repeated(51)
                                                    << "Der Name darf höchstens 50 Zeichen lang sein (51 Zeichen)";
        QTest::newRow("lone high surrogate") << QString(10, 'c') + clef.at(0) << "Der Name enthält ein unvollständiges Zeichen";
        QTest::newRow("lone low surrogate") << clef.at(1) + QString("d") << "Der Name enthält ein unvollständiges Zeichen";
        QTest::newRow("umlauts") << QString("Ärger, Özlem-Müß") << QString();
    }

    void nameLimit()
    {
        QFETCH(QString, name);
        QFETCH(QString, refusal);
        KolvFixture kolv;
        Enrolment e;
        try {
            saveEnrolment(kolv.dm(), clock, e.fingers, e.scans, e.save("31", name));
            QVERIFY2(refusal.isEmpty(), "saved");
            QCOMPARE(kolv.value("select name from fingerid where pid=31").toString(), name);
        } catch (const InputError &error) {
            QCOMPARE(error.text(), refusal);
            QCOMPARE(kolv.value("select count(*) from fingerid").toInt(), 0);
            QCOMPARE(kolv.value("select count(*) from Fingerdata_archiv").toInt(), 0);
        }
    }

    void badNumberIsRefusedBeforeAnyStatement()
    {
        // No database at all: any statement would fail with a database error.
        Tdm dm(QStringLiteral("nowhere"));
        dm.setConnectionPath(QStringLiteral("/nonexistent/dir/kolv.add"));
        Enrolment e;
        try {
            saveEnrolment(dm, clock, e.fingers, e.scans, e.save("12a", "X"));
            QFAIL("saved");
        } catch (const InputError &error) {
            QCOMPARE(error.text(), QStringLiteral("'12a' ist kein gültiger Integerwert für Feld 'PID'"));
        }
        QVERIFY(!dm.connected());
    }

    void rescanReloadsEveryArchivedScanWithItsDataType()
    {
        KolvFixture kolv;
        Enrolment stored(5);
        for (int i = 1; i < stored.scans.size(); ++i)
            stored.scans.at(i).TemplateLength = TEMPLATE_SIZE;  // captured in this run's format 1
        stored.scans.at(0).DataType = 0;  // finger 3, scan 1 captured in format 0
        EnrolmentSave save = stored.save("21", "Fünf");
        save.dataFormat = 1;
        saveEnrolment(kolv.dm(), clock, stored.fingers, stored.scans, save);

        FingerList fingers;
        ScanList scans;
        int scored = 0;
        loadStoredScans(kolv.dm(), 21, fingers, scans, [&](Tfinger &) { ++scored; });
        QCOMPARE(scans.size(), 15);
        QCOMPARE(scored, 0);  // every finger had a stored best scan
        const Tfinger &f = *fingers.byNumber(7);
        QCOMPARE(f.ScanCount, 5);
        QCOMPARE(f.BestScan, 2);
        QCOMPARE(f.BestScore, 51);
        QVERIFY(f.Selected);
        QVERIFY(!fingers.byNumber(1)->Selected);
        QCOMPARE(scans.FindScan(7, 5)->Score, 54);
        QCOMPARE(scans.FindScan(3, 1)->DataType, 0);
        QCOMPARE(scans.FindScan(3, 1)->TemplateLength, 161);
        QCOMPARE(scans.FindScan(3, 2)->DataType, 1);

        // Written back, each keeps its data type.
        EnrolmentSave again;
        again.pidText = "21";
        again.rescan = true;
        again.rescanPidText = "21";
        again.dataFormat = 1;
        saveEnrolment(kolv.dm(), clock, fingers, scans, again);
        QCOMPARE(kolv.rows("select Datatype from Fingerdata_archiv where FID=3 order by Scannumber"),
                 (QStringList{"0", "1", "1", "1", "1"}));
        QCOMPARE(kolv.value("select count(*) from Fingerdata_archiv").toInt(), 15);
    }

    void rescanFallsBackToFingerdata()
    {
        KolvFixture kolv;
        kolv.sql("insert into Fingerdata (PID,FID,Datatype,fdata) values(5,4,0,?)", {QByteArray(161, '\x05')});
        kolv.sql("insert into Fingerdata (PID,FID,Datatype,fdata) values(5,9,1,?)", {QByteArray(216, '\x09')});
        FingerList fingers;
        ScanList scans;
        loadStoredScans(kolv.dm(), 5, fingers, scans, {});
        QCOMPARE(scans.size(), 2);
        for (int no : {4, 9}) {
            const Tfinger &f = *fingers.byNumber(no);
            QCOMPARE(f.ScanCount, 1);
            QVERIFY(f.Selected);
            QCOMPARE(f.BestScan, 1);
            QCOMPARE(f.BestScore, 10);
            QCOMPARE(scans.FindScan(no, 1)->Score, 10);
            QVERIFY(scans.FindScan(no, 1)->Best);
        }
        QCOMPARE(scans.FindScan(4, 1)->TemplateLength, 161);
        QCOMPARE(scans.FindScan(9, 1)->TemplateLength, 216);
        QCOMPARE(fingers.byNumber(1)->ScanCount, 0);
    }

    // Archive rows as the Kolv software may leave them. Readable ones load
    // with their format and go back byte for byte (a gap in the scan numbers
    // closes up); one that cannot be a template of its format refuses the
    // load, naming the person and the finger, so it is never cut or padded.
    void rescanLoadOfForeignRows_data()
    {
        QTest::addColumn<QList<int>>("scanNumbers");
        QTest::addColumn<QVariantList>("dataTypes");  // per row; invalid = NULL
        QTest::addColumn<QList<int>>("lengths");      // per row; -1 = NULL fdata
        QTest::addColumn<QStringList>("storedBack");  // Datatype|length per scan; empty when refused
        QTest::addColumn<QString>("refusal");
        const QVariant null;
        QTest::newRow("gaps in the numbers") << QList<int>{1, 3, 7} << QVariantList{1, 1, 1} << QList<int>{216, 216, 216}
                                             << QStringList{"1|1|216", "2|1|216", "3|1|216"} << QString();
        QTest::newRow("NULL type, short format") << QList<int>{1, 2} << QVariantList{null, 0} << QList<int>{161, 161}
                                                 << QStringList{"1|0|161", "2|0|161"} << QString();
        QTest::newRow("NULL type, long format") << QList<int>{2} << QVariantList{null} << QList<int>{216}
                                                << QStringList{"1|1|216"} << QString();
        QTest::newRow("long template as format 0") << QList<int>{1, 2} << QVariantList{1, 0} << QList<int>{216, 216}
                                                   << QStringList() << "Finger 2, Scan 2: 216 Bytes, Datentyp 0";
        QTest::newRow("cut template") << QList<int>{1, 2, 3} << QVariantList{1, 1, 1} << QList<int>{216, 216, 200}
                                      << QStringList() << "Finger 2, Scan 3: 200 Bytes, Datentyp 1";
        QTest::newRow("five bytes") << QList<int>{1} << QVariantList{1} << QList<int>{5} << QStringList()
                                    << "Finger 2, Scan 1: 5 Bytes, Datentyp 1";
        QTest::newRow("NULL template") << QList<int>{4} << QVariantList{null} << QList<int>{-1} << QStringList()
                                       << "Finger 2, Scan 4: 0 Bytes, Datentyp leer";
        QTest::newRow("unknown format") << QList<int>{1} << QVariantList{7} << QList<int>{216} << QStringList()
                                        << "Finger 2, Scan 1: 216 Bytes, Datentyp 7";
    }

    void rescanLoadOfForeignRows()
    {
        QFETCH(QList<int>, scanNumbers);
        QFETCH(QVariantList, dataTypes);
        QFETCH(QList<int>, lengths);
        QFETCH(QStringList, storedBack);
        QFETCH(QString, refusal);
        KolvFixture kolv;
        QList<QByteArray> blobs;
        for (int i = 0; i < scanNumbers.size(); ++i) {
            QByteArray data;
            if (lengths[i] >= 0) {
                data = QByteArray(lengths[i], char(0x40 + i));
                if (data.size() >= 9)
                    data.replace(0, 9, QByteArray::fromHex("080000000000000002"));
            }
            blobs << data;
            kolv.sql("insert into Fingerdata_archiv (PID,FID,Scannumber,Datatype,score,selected,fingerselected,fdata) "
                     "values(8,2,?,?,?,?,true,?)",
                     {scanNumbers[i], dataTypes[i], 40 + i, i == 0, lengths[i] >= 0 ? QVariant(data) : QVariant(QMetaType(QMetaType::QByteArray))});
        }
        FingerList fingers;
        ScanList scans;
        try {
            loadStoredScans(kolv.dm(), 8, fingers, scans, {});
            QVERIFY2(refusal.isEmpty(), "loaded");
        } catch (const InputError &error) {
            QVERIFY2(error.text().contains("Person 8") && error.text().contains(refusal), qPrintable(error.text()));
            return;
        }
        EnrolmentSave again;
        again.pidText = "8";
        again.rescanPidText = "8";
        again.rescan = true;
        again.dataFormat = 1;
        saveEnrolment(kolv.dm(), clock, fingers, scans, again);
        QCOMPARE(kolv.rows("select Scannumber, Datatype, length(fdata) from Fingerdata_archiv order by Scannumber"),
                 storedBack);
        QSqlQuery q(kolv.other());
        QVERIFY(q.exec("select fdata from Fingerdata_archiv order by Scannumber"));
        for (const QByteArray &blob : blobs) {
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toByteArray(), blob);
        }
    }

    void unusableTransferTemplateRefusesTheLoad()
    {
        KolvFixture kolv;
        kolv.sql("insert into Fingerdata (PID,FID,Datatype,fdata) values(5,4,1,?)", {QByteArray(161, '\x05')});
        FingerList fingers;
        ScanList scans;
        try {
            loadStoredScans(kolv.dm(), 5, fingers, scans, {});
            QFAIL("loaded");
        } catch (const InputError &error) {
            QVERIFY2(error.text().contains("Person 5") && error.text().contains("Finger 4: 161 Bytes, Datentyp 1"),
                     qPrintable(error.text()));
        }
    }

    void severalScansWithoutBestAreScored()
    {
        KolvFixture kolv;
        for (int n = 1; n <= 2; ++n)
            kolv.sql("insert into Fingerdata_archiv (PID,FID,Scannumber,Datatype,score,selected,fingerselected,fdata) "
                     "values(6,2,?,1,0,false,false,?)",
                     {n, QByteArray(216, '\x01')});
        FingerList fingers;
        ScanList scans;
        QList<int> scored;
        loadStoredScans(kolv.dm(), 6, fingers, scans, [&](Tfinger &f) { scored << f.FingerNo; });
        QCOMPARE(scored, QList<int>{2});
    }
};

QTEST_GUILESS_MAIN(TestEnrolmentStore)
#include "tst_enrolmentstore.moc"
