#include "matcher.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace vxsim {

namespace {

constexpr double kDegree = M_PI / 180.0;

// Pair descriptors.
constexpr int kNeighbours = 6;
constexpr float kMinPairDistance = 8;
constexpr float kPairDistanceTolerance = 6;
constexpr float kPairDistanceSlope = 0.04f; // tolerance grows with distance (pressure)
constexpr float kPairAngleTolerance = float(20 * kDegree);
constexpr double kMaxRotation = 30 * kDegree;

// Voting on alignments.
constexpr double kRotationBin = 5 * kDegree;
constexpr double kShiftBin = 10;
constexpr int kTrials = 8;

// Pairing of aligned minutiae.
constexpr double kPairRadius = 12;
constexpr double kPairDirection = 20 * kDegree;

struct Alignment
{
    double rotation = 0, tx = 0, ty = 0;
};

struct Hypothesis
{
    Alignment alignment;
    int binR, binX, binY;
    int support = 0;
};

struct Candidate
{
    float cost;
    uint8_t a, b;
};

// Pairs aligned minutiae; fills pairs with (index in a, index in b).
int pairUp(const Minutiae &a, const Minutiae &b, const Alignment &al, std::vector<Candidate> &scratch,
           std::vector<std::pair<int, int>> *pairs)
{
    const double c = std::cos(al.rotation), s = std::sin(al.rotation);
    scratch.clear();
    for (size_t i = 0; i < a.size(); ++i) {
        const double x = c * a[i].x - s * a[i].y + al.tx;
        const double y = s * a[i].x + c * a[i].y + al.ty;
        const double dir = a[i].dir + al.rotation;
        for (size_t j = 0; j < b.size(); ++j) {
            const double dx = x - b[j].x, dy = y - b[j].y;
            if (std::fabs(dx) > kPairRadius || std::fabs(dy) > kPairRadius)
                continue;
            const double d2 = dx * dx + dy * dy;
            if (d2 > kPairRadius * kPairRadius)
                continue;
            const double da = std::fabs(wrapAngle(dir - b[j].dir));
            if (da > kPairDirection)
                continue;
            scratch.push_back({float(std::sqrt(d2) / kPairRadius + da / kPairDirection), uint8_t(i), uint8_t(j)});
        }
    }
    std::sort(scratch.begin(), scratch.end(), [](const Candidate &l, const Candidate &r) { return l.cost < r.cost; });
    uint8_t usedA[256] = {}, usedB[256] = {};
    int paired = 0;
    for (const Candidate &cand : scratch) {
        if (usedA[cand.a] || usedB[cand.b])
            continue;
        usedA[cand.a] = usedB[cand.b] = 1;
        ++paired;
        if (pairs)
            pairs->emplace_back(cand.a, cand.b);
    }
    return paired;
}

// Least-squares rotation and translation that carries the paired minutiae of
// a onto those of b.
Alignment fitAlignment(const Minutiae &a, const Minutiae &b, const std::vector<std::pair<int, int>> &pairs)
{
    double ax = 0, ay = 0, bx = 0, by = 0;
    for (const auto &p : pairs) {
        ax += a[p.first].x;
        ay += a[p.first].y;
        bx += b[p.second].x;
        by += b[p.second].y;
    }
    const double n = double(pairs.size());
    ax /= n, ay /= n, bx /= n, by /= n;
    double sxx = 0, sxy = 0;
    for (const auto &p : pairs) {
        const double pax = a[p.first].x - ax, pay = a[p.first].y - ay;
        const double pbx = b[p.second].x - bx, pby = b[p.second].y - by;
        sxx += pax * pbx + pay * pby;
        sxy += pax * pby - pay * pbx;
    }
    Alignment al;
    al.rotation = std::atan2(sxy, sxx);
    const double c = std::cos(al.rotation), s = std::sin(al.rotation);
    al.tx = bx - (c * ax - s * ay);
    al.ty = by - (s * ax + c * ay);
    return al;
}

} // namespace

PreparedTemplate prepareTemplate(Minutiae minutiae)
{
    PreparedTemplate t;
    t.minutiae = std::move(minutiae);
    const Minutiae &m = t.minutiae;
    std::vector<std::pair<float, int>> near;
    for (size_t i = 0; i < m.size(); ++i) {
        near.clear();
        for (size_t k = 0; k < m.size(); ++k) {
            if (k == i)
                continue;
            const float d = std::hypot(m[k].x - m[i].x, m[k].y - m[i].y);
            if (d >= kMinPairDistance)
                near.emplace_back(d, int(k));
        }
        const size_t keep = std::min<size_t>(kNeighbours, near.size());
        std::partial_sort(near.begin(), near.begin() + keep, near.end());
        for (size_t n = 0; n < keep; ++n) {
            const Minutia &o = m[size_t(near[n].second)];
            PreparedTemplate::Pair p;
            p.distance = near[n].first;
            p.line = float(std::atan2(o.y - m[i].y, o.x - m[i].x));
            p.angleA = float(wrapAngle(m[i].dir - p.line));
            p.angleB = float(wrapAngle(o.dir - p.line));
            p.midX = (m[i].x + o.x) / 2;
            p.midY = (m[i].y + o.y) / 2;
            t.pairs.push_back(p);
        }
    }
    std::sort(t.pairs.begin(), t.pairs.end(),
              [](const PreparedTemplate::Pair &l, const PreparedTemplate::Pair &r) { return l.distance < r.distance; });
    return t;
}

int matchScore(const PreparedTemplate &a, const PreparedTemplate &b)
{
    const size_t na = a.minutiae.size(), nb = b.minutiae.size();
    if (na < 3 || nb < 3)
        return 0;

    std::vector<Hypothesis> hyps;
    auto from = b.pairs.begin();
    for (const PreparedTemplate::Pair &pa : a.pairs) {
        const float tol = kPairDistanceTolerance + kPairDistanceSlope * pa.distance;
        while (from != b.pairs.end() && from->distance < pa.distance - tol)
            ++from;
        for (auto pb = from; pb != b.pairs.end() && pb->distance <= pa.distance + tol; ++pb) {
            if (std::fabs(wrapAngle(pa.angleA - pb->angleA)) > kPairAngleTolerance
                || std::fabs(wrapAngle(pa.angleB - pb->angleB)) > kPairAngleTolerance)
                continue;
            const double rotation = wrapAngle(double(pb->line) - pa.line);
            if (std::fabs(rotation) > kMaxRotation)
                continue;
            Hypothesis h;
            const double c = std::cos(rotation), s = std::sin(rotation);
            h.alignment = {rotation, pb->midX - (c * pa.midX - s * pa.midY), pb->midY - (s * pa.midX + c * pa.midY)};
            h.binR = int(std::floor(rotation / kRotationBin));
            h.binX = int(std::floor(h.alignment.tx / kShiftBin));
            h.binY = int(std::floor(h.alignment.ty / kShiftBin));
            hyps.push_back(h);
        }
    }
    if (hyps.empty())
        return 0;

    // Support of a proposal: the proposals in its own and the neighbouring
    // bins. Sorting by bin keeps this near-linear.
    std::sort(hyps.begin(), hyps.end(), [](const Hypothesis &l, const Hypothesis &r) {
        return std::tie(l.binR, l.binX, l.binY) < std::tie(r.binR, r.binX, r.binY);
    });
    auto countBin = [&](int r, int x, int y) {
        auto range = std::equal_range(hyps.begin(), hyps.end(), Hypothesis{{}, r, x, y, 0},
                                      [](const Hypothesis &l, const Hypothesis &rr) {
                                          return std::tie(l.binR, l.binX, l.binY) < std::tie(rr.binR, rr.binX, rr.binY);
                                      });
        return int(range.second - range.first);
    };
    std::vector<Hypothesis> bins; // one representative per occupied bin
    for (size_t i = 0; i < hyps.size();) {
        size_t j = i;
        while (j < hyps.size() && hyps[j].binR == hyps[i].binR && hyps[j].binX == hyps[i].binX
               && hyps[j].binY == hyps[i].binY)
            ++j;
        Hypothesis rep = hyps[i];
        // Mean alignment of the bin's proposals.
        double r = 0, x = 0, y = 0;
        for (size_t k = i; k < j; ++k) {
            r += hyps[k].alignment.rotation;
            x += hyps[k].alignment.tx;
            y += hyps[k].alignment.ty;
        }
        const double n = double(j - i);
        rep.alignment = {r / n, x / n, y / n};
        bins.push_back(rep);
        i = j;
    }
    for (Hypothesis &h : bins) {
        int support = 0;
        for (int dr = -1; dr <= 1; ++dr)
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    support += countBin(h.binR + dr, h.binX + dx, h.binY + dy);
        h.support = support;
    }
    std::sort(bins.begin(), bins.end(), [](const Hypothesis &l, const Hypothesis &r) { return l.support > r.support; });

    std::vector<Candidate> scratch;
    int best = 0;
    Alignment bestAlignment;
    std::vector<Hypothesis> tried;
    for (const Hypothesis &h : bins) {
        if (int(tried.size()) == kTrials)
            break;
        bool nearTried = false;
        for (const Hypothesis &t : tried)
            nearTried |= std::abs(t.binR - h.binR) <= 1 && std::abs(t.binX - h.binX) <= 1 && std::abs(t.binY - h.binY) <= 1;
        if (nearTried)
            continue;
        tried.push_back(h);
        const int paired = pairUp(a.minutiae, b.minutiae, h.alignment, scratch, nullptr);
        if (paired > best) {
            best = paired;
            bestAlignment = h.alignment;
        }
    }
    if (best >= 3) {
        std::vector<std::pair<int, int>> pairs;
        pairUp(a.minutiae, b.minutiae, bestAlignment, scratch, &pairs);
        const Alignment refined = fitAlignment(a.minutiae, b.minutiae, pairs);
        if (std::fabs(refined.rotation) <= kMaxRotation)
            best = std::max(best, pairUp(a.minutiae, b.minutiae, refined, scratch, nullptr));
    }
    const long score = std::lround(255.0 * 2.0 * best / double(na + nb));
    return int(std::clamp<long>(score, 0, 255));
}

int matchThreshold(int security) { return std::min(255, 20 + std::max(0, security)); }

} // namespace vxsim
