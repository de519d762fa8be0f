#include "scoring.h"

#include <QTest>

using IntList = QList<int>;

class TestScoring : public QObject
{
    Q_OBJECT

private:
    // Finger 4 with one scan per quality; match[j * n + c] is what comparing
    // scan j with scan c gives, -1 for no match.
    struct Fixture
    {
        Tfinger finger;
        ScanList scans;
        IntList match;
        bool openOk = true;
        int opens = 0, clears = 0, closes = 0;
        QStringList compared;
        ScoringModule module;

        Fixture(const IntList &qualities, const IntList &matches) : match(matches)
        {
            finger.FingerNo = 4;
            finger.ScanCount = int(qualities.size());
            // Another finger's scan in between must not take part.
            auto other = std::make_unique<Tscan>();
            other->FingerNo = 9;
            scans.append(std::move(other));
            for (int j = 0; j < qualities.size(); ++j) {
                auto s = std::make_unique<Tscan>();
                s->FingerNo = 4;
                s->ScanIndex = j;
                s->Template[TEMPLATE_QUALITY_BYTE] = uint8_t(qualities[j]);
                s->Score = 99;
                scans.append(std::move(s));
            }
            module.open = [this] { ++opens; return openOk; };
            module.clear = [this] { ++clears; };
            module.close = [this] { ++closes; };
            module.match = [this](const Tscan &a, const Tscan &b, int *score) {
                const int n = finger.ScanCount;
                compared << QStringLiteral("%1-%2").arg(a.ScanIndex + 1).arg(b.ScanIndex + 1);
                const int m = match.value(a.ScanIndex * n + b.ScanIndex, -1);
                *score = m < 0 ? 50 : m;  // a non-match's score must not count
                return m >= 0;
            };
        }
        IntList scores()
        {
            IntList result;
            for (int j = 1; j <= finger.ScanCount; ++j)
                result << scans.FindScan(4, j)->Score;
            return result;
        }
        int bestFlag()
        {
            int best = 0;
            for (int j = 1; j <= finger.ScanCount; ++j)
                if (scans.FindScan(4, j)->Best)
                    best = best ? -1 : j;  // -1: more than one
            return best;
        }
    };

private slots:
    void scoreFinger_data()
    {
        QTest::addColumn<IntList>("qualities");
        QTest::addColumn<IntList>("match");
        QTest::addColumn<IntList>("scores");
        QTest::addColumn<int>("bestScan");
        QTest::addColumn<int>("bestScore");

        // The divisor is the number of scans, not of comparisons: (80 + 90) div 3.
        QTest::newRow("three scans") << IntList{40, 40, 40} << IntList{0, 80, 90, 80, 0, 70, 90, 70, 0}
                                     << IntList{56, 50, 53} << 1 << 56;
        QTest::newRow("60 and 62") << IntList{40, 40} << IntList{0, 60, 62, 0} << IntList{30, 31} << 2 << 31;
        QTest::newRow("equal scores, higher quality") << IntList{40, 55} << IntList{0, 60, 60, 0} << IntList{30, 30}
                                                      << 2 << 30;
        QTest::newRow("equal scores and quality") << IntList{40, 40} << IntList{0, 60, 60, 0} << IntList{30, 30}
                                                  << 1 << 30;
        QTest::newRow("no match adds nothing") << IntList{40, 40, 40} << IntList{0, -1, 90, -1, 0, -1, 90, -1, 0}
                                               << IntList{30, 0, 30} << 1 << 30;
        QTest::newRow("one scan") << IntList{40} << IntList{} << IntList{10} << 1 << 10;
        // Score 0 with a quality still chooses; score 0 and quality 0 keeps the earlier choice.
        QTest::newRow("no matches, quality") << IntList{0, 30} << IntList{0, -1, -1, 0} << IntList{0, 0} << 2 << 0;
        QTest::newRow("no matches, no quality") << IntList{0, 0} << IntList{0, -1, -1, 0} << IntList{0, 0} << 7 << 44;
    }

    void scoreFinger()
    {
        QFETCH(IntList, qualities);
        QFETCH(IntList, match);
        QFETCH(IntList, scores);
        QFETCH(int, bestScan);
        QFETCH(int, bestScore);
        Fixture fx(qualities, match);
        fx.finger.BestScan = 7;  // an earlier choice
        fx.finger.BestScore = 44;

        ScoreFinger(fx.finger, fx.scans, fx.module);

        QCOMPARE(fx.scores(), scores);
        QCOMPARE(fx.finger.BestScan, bestScan);
        QCOMPARE(fx.finger.BestScore, bestScore);
        QCOMPARE(fx.bestFlag(), bestScan <= qualities.size() ? bestScan : 0);
        QCOMPARE(fx.closes, 1);
        const int n = int(qualities.size());
        QCOMPARE(fx.opens, n > 1 ? 1 : 0);
        QCOMPARE(fx.clears, n > 1 ? 1 : 0);
        QCOMPARE(fx.compared.size(), n * (n - 1));
    }

    void comparisonOrder()
    {
        Fixture fx({40, 40, 40}, {});
        ScoreFinger(fx.finger, fx.scans, fx.module);
        QCOMPARE(fx.compared, QStringList({"1-2", "1-3", "2-1", "2-3", "3-1", "3-2"}));
    }

    void noScansStillCloses()
    {
        Fixture fx({}, {});
        fx.finger.BestScan = 0;
        ScoreFinger(fx.finger, fx.scans, fx.module);
        QCOMPARE(fx.closes, 1);
        QCOMPARE(fx.opens, 0);
        QCOMPARE(fx.finger.BestScan, 0);
    }

    void openFailingKeepsEarlierChoice()
    {
        Fixture fx({40, 40}, {0, 60, 62, 0});
        ScoreFinger(fx.finger, fx.scans, fx.module);
        QCOMPARE(fx.finger.BestScan, 2);
        fx.openOk = false;
        ScoreFinger(fx.finger, fx.scans, fx.module);
        QCOMPARE(fx.scores(), IntList({0, 0}));
        QCOMPARE(fx.finger.BestScan, 2);
        QCOMPARE(fx.finger.BestScore, 31);
        QCOMPARE(fx.bestFlag(), 2);
        QCOMPARE(fx.closes, 1);  // only the first, successful run closed
    }

    void ranking()
    {
        FingerList fingers;
        const int best[] = {0, 80, 0, 0, 60, 0, 0, 70, 0, 0};
        for (int n = 1; n <= 10; ++n) {
            fingers.byNumber(n)->BestScore = best[n - 1];
            fingers.byNumber(n)->ScanCount = best[n - 1] ? 2 : 0;
        }
        RankFingers(fingers);
        for (int pos = 1; pos <= 7; ++pos) {
            QCOMPARE(fingers.FingerAtPosition(pos)->BestScore, 0);
            QCOMPARE(fingers.FingerAtPosition(pos)->Rank, -1);
        }
        QCOMPARE(fingers.FingerAtPosition(8)->FingerNo, 5);
        QCOMPARE(fingers.FingerAtPosition(9)->FingerNo, 8);
        QCOMPARE(fingers.FingerAtPosition(10)->FingerNo, 2);
        QCOMPARE(fingers.byNumber(5)->Rank, 3);
        QCOMPARE(fingers.byNumber(8)->Rank, 2);
        QCOMPARE(fingers.byNumber(2)->Rank, 1);
    }

    void equalScoresKeepTheQuicksortOrder()
    {
        // Ten fingers of score 10 from finger-number order. Worked through by
        // hand: sort(0,9) swaps pairwise to 10..1 and recurses on (0,4), which
        // leaves 7 6 8 10 9, then the loop continues on (5,9), which leaves
        // 2 1 3 5 4.
        FingerList fingers;
        for (int n = 1; n <= 10; ++n) {
            fingers.byNumber(n)->BestScore = 10;
            fingers.byNumber(n)->ScanCount = 1;
        }
        RankFingers(fingers);
        const IntList order{7, 6, 8, 10, 9, 2, 1, 3, 5, 4};
        IntList actual;
        for (int pos = 1; pos <= 10; ++pos)
            actual << fingers.FingerAtPosition(pos)->FingerNo;
        QCOMPARE(actual, order);
        for (int pos = 1; pos <= 10; ++pos)
            QCOMPARE(fingers.FingerAtPosition(pos)->Rank, 11 - pos);
    }
};

QTEST_APPLESS_MAIN(TestScoring)
#include "tst_scoring.moc"
