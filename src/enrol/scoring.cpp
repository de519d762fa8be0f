#include "scoring.h"

std::vector<Tscan *> scansOf(const Tfinger &finger, ScanList &scans)
{
    std::vector<Tscan *> result;
    for (int j = 1; j <= finger.ScanCount; ++j)
        if (Tscan *scan = scans.FindScan(finger.FingerNo, j))
            result.push_back(scan);
    return result;
}

bool scoreScans(const std::vector<Tscan *> &scans, ScoringModule &module)
{
    const int n = int(scans.size());
    for (Tscan *scan : scans)
        scan->Score = 0;
    if (n == 1)
        scans[0]->Score = 10;
    if (n <= 1)
        return true;
    if (!module.open())
        return false;
    module.clear();
    for (Tscan *scan : scans) {
        int sum = 0;
        for (Tscan *other : scans) {
            if (other == scan)
                continue;
            int score = 0;
            if (module.match(*scan, *other, &score))
                sum += score;
        }
        scan->Score = sum / n;
    }
    return true;
}

void chooseBestScan(Tfinger &finger, const std::vector<Tscan *> &scans, ScanList &all)
{
    int m = 0;
    int q = 0;
    for (Tscan *scan : scans) {
        scan->Best = false;
        if (scan->Score == m && scan->quality() > q) {
            finger.BestScan = scan->ScanIndex + 1;
            finger.BestScore = scan->Score;
            q = scan->quality();
        } else if (scan->Score > m) {
            finger.BestScan = scan->ScanIndex + 1;
            finger.BestScore = scan->Score;
            m = scan->Score;
            q = scan->quality();
        }
    }
    if (Tscan *best = all.FindScan(finger.FingerNo, finger.BestScan))
        best->Best = true;
}

void ScoreFinger(Tfinger &finger, ScanList &scans, ScoringModule &module)
{
    const std::vector<Tscan *> list = scansOf(finger, scans);
    if (!scoreScans(list, module))
        return;
    module.close();
    chooseBestScan(finger, list, scans);
}

namespace {

void quickSort(FingerList &fingers, int l, int r)
{
    int i = 0;
    do {
        i = l;
        int j = r;
        const int p = fingers.at((l + r) / 2).BestScore;
        do {
            while (fingers.at(i).BestScore < p)
                ++i;
            while (fingers.at(j).BestScore > p)
                --j;
            if (i <= j) {
                if (i != j)
                    fingers.swap(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j)
            quickSort(fingers, l, j);
        l = i;
    } while (i < r);
}

}  // namespace

void RankFingers(FingerList &fingers)
{
    quickSort(fingers, 0, fingers.size() - 1);
    int k = 0;
    for (int pos = fingers.size() - 1; pos >= 0; --pos) {
        Tfinger &f = fingers.at(pos);
        if (f.ScanCount > 0)
            f.Rank = ++k;
        else
            f.Rank = -1;
    }
}
