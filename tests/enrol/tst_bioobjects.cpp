#include "bioobjects.h"
#include "fingerregions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

class TestBioobjects : public QObject
{
    Q_OBJECT

private:
    // The ten regions n = (10n, 20n, 10n+5, 20n+7).
    static QByteArray regionBytes()
    {
        QByteArray data;
        for (int n = 1; n <= 10; ++n)
            for (int32_t v : {10 * n, 20 * n, 10 * n + 5, 20 * n + 7}) {
                char le[4];
                qToLittleEndian<int32_t>(v, le);
                data.append(le, 4);
            }
        return data;
    }

    static void writeRegions(const QString &dir, int bytes)
    {
        QFile f(dir + "finger.bin");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(regionBytes().left(bytes));
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

    // The region file as it is delivered and in the ways it can be damaged.
    // A bad file is refused as a whole with a message naming it; no region of
    // it is taken, so no arithmetic ever sees its numbers.
    void regionFile_data()
    {
        QTest::addColumn<QByteArray>("content");  // null: no file
        QTest::addColumn<QString>("complaint");   // empty: the file is good
        const QByteArray good = regionBytes();
        auto patched = [&good](int finger, int field, int32_t value) {
            QByteArray b = good;
            qToLittleEndian<int32_t>(value, b.data() + 16 * (finger - 1) + 4 * field);
            return b;
        };
        QTest::newRow("complete") << good << QString();
        QTest::newRow("longer, the rest ignored") << good + QByteArray(40, '\xff') << QString();
        QTest::newRow("missing") << QByteArray() << "fehlt";
        QTest::newRow("empty") << QByteArray("") << "0 Bytes lang statt 160";
        QTest::newRow("one byte short") << good.left(159) << "159 Bytes lang statt 160";
        QTest::newRow("extreme coordinates")
            << patched(4, 0, INT32_MIN).replace(16 * 3 + 8, 4, QByteArray("\xff\xff\xff\x7f", 4))
            << "Finger 4 (-2147483648,";
        QTest::newRow("negative left") << patched(2, 0, -1) << "Finger 2";
        QTest::newRow("right beyond the picture") << patched(10, 2, 250) << "Finger 10";
        QTest::newRow("bottom beyond the picture") << patched(9, 3, 226) << "Finger 9";
        QTest::newRow("right edge on the picture's edge") << patched(1, 2, 249) << QString();
        QTest::newRow("empty region") << patched(5, 2, 50) << "Finger 5 (50, 100, 50, 107)";
        QTest::newRow("upside down") << patched(6, 3, 100) << "Finger 6";
        QTest::newRow("text instead of numbers") << QByteArray(160, 'x') << "Finger 1";
    }

    void regionFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, complaint);
        QTemporaryDir dir;
        if (!content.isNull()) {
            QFile f(dir.path() + "/finger.bin");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        FingerList fingers;
        fingers.byNumber(1)->ScanCount = 5;  // rebuilt, not kept
        const QString error = CreateFingers(fingers, dir.path() + "/");
        QCOMPARE(fingers.byNumber(1)->ScanCount, 0);
        if (complaint.isEmpty()) {
            QCOMPARE(error, QString());
            for (int n = 1; n <= 10; ++n) {
                const TRegion r = fingers.byNumber(n)->Region;
                QCOMPARE(r.Left, 10 * n);
                QCOMPARE(r.Bottom, 20 * n + 7);
            }
            QCOMPARE(fingers.FingerAt(12, 22)->FingerNo, 1);
            return;
        }
        QVERIFY2(error.contains(QDir::toNativeSeparators(dir.path() + "/finger.bin")), qPrintable(error));
        QVERIFY2(error.contains(complaint), qPrintable(error));
        for (int n = 1; n <= 10; ++n) {
            const TRegion r = fingers.byNumber(n)->Region;
            QCOMPARE(r.Left, 0);
            QCOMPARE(r.Right, 0);
            QCOMPARE(r.Bottom, 0);
        }
        QVERIFY(!fingers.FingerAt(12, 22));
    }

    // The centre of any pair of edges lies between them, so it is worked out
    // without overflowing, whatever a caller put into the region.
    void centreOfExtremeEdges()
    {
        const TRegion wide{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
        QCOMPARE(wide.centreX(), -1);  // -2^31 + (2^32 - 1) div 2
        QCOMPARE(wide.centreY(), -1);
        const TRegion high{INT32_MAX - 1, 0, INT32_MAX, 2};
        QCOMPARE(high.centreX(), INT32_MAX - 1);
        QCOMPARE(high.centreY(), 1);
        const TRegion truncated{-5, -5, 0, 0};  // toward zero, as the region semantics say
        QCOMPARE(truncated.centreX(), -3);
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
