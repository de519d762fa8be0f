#include "bioobjects.h"
#include "fingerregions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

class TestBioobjects : public QObject
{
    Q_OBJECT

private:
    // A region file of the given length: region n is (10n, 20n, 10n+5, 20n+7).
    static void writeRegions(const QString &dir, int bytes)
    {
        QByteArray data;
        for (int n = 1; n <= 10; ++n)
            for (int32_t v : {10 * n, 20 * n, 10 * n + 5, 20 * n + 7}) {
                char le[4];
                qToLittleEndian<int32_t>(v, le);
                data.append(le, 4);
            }
        QFile f(dir + "finger.bin");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data.left(bytes));
    }

private slots:
    void freshFingers()
    {
        FingerList fingers;
        QCOMPARE(fingers.size(), 10);
        for (int pos = 1; pos <= 10; ++pos) {
            const Tfinger *f = fingers.FingerAtPosition(pos);
            QVERIFY(f);
            QCOMPARE(f->FingerNo, pos);
            QCOMPARE(f->ScanCount, 0);
            QCOMPARE(f->BestScan, -1);
            QCOMPARE(f->Rank, 0);
            QVERIFY(!f->Selected);
        }
        QVERIFY(!fingers.FingerAtPosition(0));
        QVERIFY(!fingers.FingerAtPosition(11));
    }

    void regionEdges_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("finger");  // 0 = none
        // Finger 1 is (10,20)-(15,27), finger 2 is (20,40)-(25,47).
        QTest::newRow("left-top corner inside") << 10 << 20 << 1;
        QTest::newRow("last pixel inside") << 14 << 26 << 1;
        QTest::newRow("right edge outside") << 15 << 22 << 0;
        QTest::newRow("bottom edge outside") << 12 << 27 << 0;
        QTest::newRow("left of it") << 9 << 22 << 0;
        QTest::newRow("second region") << 20 << 46 << 2;
    }

    void regionEdges()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, finger);
        QTemporaryDir dir;
        writeRegions(dir.path() + "/", 160);
        FingerList fingers;
        CreateFingers(fingers, dir.path() + "/");
        const Tfinger *hit = fingers.FingerAt(x, y);
        QCOMPARE(hit ? hit->FingerNo : 0, finger);
    }

    void overlappingRegionsFollowTheListOrder()
    {
        FingerList fingers;
        fingers.byNumber(3)->Region = {0, 0, 50, 50};
        fingers.byNumber(7)->Region = {10, 10, 60, 60};
        QCOMPARE(fingers.FingerAt(20, 20)->FingerNo, 3);
        fingers.swap(2, 6);  // as a ranking may leave them
        QCOMPARE(fingers.FingerAt(20, 20)->FingerNo, 7);
    }

    void regionFile_data()
    {
        QTest::addColumn<int>("bytes");  // -1 = no file
        QTest::addColumn<int>("lastFullFinger");
        QTest::newRow("missing") << -1 << 0;
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("complete") << 160 << 10;
        // Finger 8 gets Left and Top; Right is cut in half and reads 0.
        QTest::newRow("short") << 16 * 7 + 8 + 2 << 7;
    }

    void regionFile()
    {
        QFETCH(int, bytes);
        QFETCH(int, lastFullFinger);
        QTemporaryDir dir;
        if (bytes >= 0)
            writeRegions(dir.path() + "/", bytes);
        FingerList fingers;
        fingers.byNumber(1)->ScanCount = 5;  // rebuilt, not kept
        CreateFingers(fingers, dir.path() + "/");
        QCOMPARE(fingers.byNumber(1)->ScanCount, 0);
        for (int n = 1; n <= 10; ++n) {
            const TRegion r = fingers.byNumber(n)->Region;
            if (n <= lastFullFinger) {
                QCOMPARE(r.Left, 10 * n);
                QCOMPARE(r.Bottom, 20 * n + 7);
            } else if (bytes == 16 * 7 + 8 + 2 && n == 8) {
                QCOMPARE(r.Left, 80);
                QCOMPARE(r.Top, 160);
                QCOMPARE(r.Right, 0);
                QCOMPARE(r.Bottom, 0);
            } else {
                QCOMPARE(r.Left, 0);
                QCOMPARE(r.Right, 0);
            }
        }
        if (lastFullFinger == 0)
            QVERIFY(!fingers.FingerAt(0, 0));
    }

    void findAndDeleteScans()
    {
        ScanList scans;
        auto add = [&scans](int finger, int index) {
            auto s = std::make_unique<Tscan>();
            s->FingerNo = finger;
            s->ScanIndex = index;
            s->Score = finger * 100 + index;
            scans.append(std::move(s));
        };
        add(2, 0);
        add(5, 0);
        add(2, 1);
        add(5, 1);
        add(9, 0);

        QCOMPARE(scans.FindScan(2, 2)->Score, 201);
        QCOMPARE(scans.FindScan(5, 1)->Score, 500);
        QVERIFY(!scans.FindScan(2, 3));  // beyond the finger's scans
        QVERIFY(!scans.FindScan(2, 0));
        QVERIFY(!scans.FindScan(4, 1));  // finger without scans

        scans.DeleteScans(4);
        QCOMPARE(scans.size(), 5);
        scans.DeleteScans(5);
        QCOMPARE(scans.size(), 3);
        QCOMPARE(scans.at(0).Score, 200);
        QCOMPARE(scans.at(1).Score, 201);
        QCOMPARE(scans.at(2).Score, 900);
        QVERIFY(!scans.FindScan(5, 1));
    }
};

QTEST_APPLESS_MAIN(TestBioobjects)
#include "tst_bioobjects.moc"
