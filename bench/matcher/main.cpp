// Speed and error rates of the simulator's matcher, measured through the
// module library's own functions, as the station uses them.
//
//   bench-matcher [fingers] [dataFormat]
//
// Captures two scans of each of `fingers` virtual fingers (default 1200).
// Genuine pairs are the two scans of one finger; impostor pairs are scans of
// two different fingers (each finger against the next and against one 37
// further on). A pair counts as a match when VXMMatchTemplate(1, 1) says so
// at the security level in force.
#include "vexilmodsim.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Template = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

Template capture()
{
    if (!VXMScanFinger(1)) {
        std::fprintf(stderr, "capture failed, error %d\n", VXMGetLastErrorNum());
        std::exit(1);
    }
    Template t(VXM_TEMPLATE_SIZE, 0);
    int32_t length = VXM_TEMPLATE_SIZE;
    if (!VXMGetTemplate(&length, t.data())) {
        std::fprintf(stderr, "template read failed, error %d\n", VXMGetLastErrorNum());
        std::exit(1);
    }
    return t;
}

struct Outcome
{
    int matches = 0;
    std::vector<int> scores;
    // Loading both templates into the module's slots, and the match itself.
    double prepareSeconds = 0;
    double matchSeconds = 0;
};

double seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

Outcome compare(const std::vector<std::pair<const Template *, const Template *>> &pairs)
{
    Outcome o;
    for (const auto &p : pairs) {
        uint8_t score = 0, finger = 0;
        int64_t person = 0;
        const auto start = Clock::now();
        VXMSetTemplate(p.first->data(), 0);
        VXMSetTemplate(p.second->data(), 1);
        const auto prepared = Clock::now();
        const bool match = VXMMatchTemplate(1, 1, &score, &person, &finger);
        o.matchSeconds += seconds(prepared, Clock::now());
        o.prepareSeconds += seconds(start, prepared);
        if (match)
            ++o.matches;
        o.scores.push_back(score);
    }
    std::sort(o.scores.begin(), o.scores.end());
    return o;
}

int percentile(const std::vector<int> &sorted, double p)
{
    return sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size())))];
}

} // namespace

int main(int argc, char **argv)
{
    const int fingers = argc > 1 ? std::max(40, std::atoi(argv[1])) : 1200;
    const int format = argc > 2 ? std::atoi(argv[2]) : 1;

    VXMSimCommand("RESET");
    VXMSimCommand("DELAY 0");
    if (!VXMComOpen("SIM") || !VXMInit(uint8_t(format), 60, 40, 7)) {
        std::fprintf(stderr, "module did not open\n");
        return 1;
    }

    std::vector<Template> first, second;
    for (int i = 0; i < fingers; ++i) {
        VXMSimCommand(("FINGER bench-" + std::to_string(i)).c_str());
        first.push_back(capture());
        second.push_back(capture());
    }
    std::vector<std::pair<const Template *, const Template *>> genuine, impostor;
    for (int i = 0; i < fingers; ++i) {
        genuine.emplace_back(&first[size_t(i)], &second[size_t(i)]);
        impostor.emplace_back(&first[size_t(i)], &second[size_t((i + 1) % fingers)]);
        impostor.emplace_back(&first[size_t(i)], &second[size_t((i + 37) % fingers)]);
    }

    std::printf("data format %d, %d fingers: %zu genuine pairs, %zu impostor pairs\n", format, fingers,
                genuine.size(), impostor.size());

    const Outcome g = compare(genuine);
    const Outcome im = compare(impostor);
    const double pairs = double(genuine.size() + impostor.size());
    const double prepare = g.prepareSeconds + im.prepareSeconds, match = g.matchSeconds + im.matchSeconds;
    std::printf("per comparison: preparation (two VXMSetTemplate) %.2f us, matching (VXMMatchTemplate) %.2f us;"
                " %.0f comparisons per second\n",
                1e6 * prepare / pairs, 1e6 * match / pairs, pairs / (prepare + match));

    std::printf("genuine scores:  min %d, 1%% %d, 5%% %d, median %d\n", g.scores.front(), percentile(g.scores, 0.01),
                percentile(g.scores, 0.05), percentile(g.scores, 0.5));
    std::printf("impostor scores: median %d, 95%% %d, 99%% %d, max %d\n", percentile(im.scores, 0.5),
                percentile(im.scores, 0.95), percentile(im.scores, 0.99), im.scores.back());

    std::printf("security  FNMR      FMR\n");
    for (int security : {20, 40, 60, 80, 100}) {
        VXMInit(uint8_t(format), uint8_t(security), 40, 7);
        const Outcome gs = compare(genuine);
        const Outcome is = compare(impostor);
        std::printf("%8d  %6.2f%%  %6.2f%%%s\n", security,
                    100.0 * double(genuine.size() - size_t(gs.matches)) / double(genuine.size()),
                    100.0 * double(is.matches) / double(impostor.size()), security == 60 ? "   <- station default" : "");
    }

    // Identification as the station's test does it, with a full store.
    VXMInit(uint8_t(format), 60, 40, 7);
    const int64_t zero = 0;
    VXMDeleteTemplate(&zero, 0, 0);
    const int stored = std::min(fingers, 1000);
    for (int i = 0; i < stored; ++i) {
        const int64_t person = 1000 + i;
        const uint8_t finger = 1;
        const int32_t length = VXM_TEMPLATE_SIZE;
        VXMWriteTemplate(&person, &finger, first[size_t(i)].data(), &length);
    }
    int right = 0;
    const int probes = 20;
    double captureSeconds = 0, identifySeconds = 0;
    for (int i = 0; i < probes; ++i) {
        VXMSimCommand(("FINGER bench-" + std::to_string(i * 7 % stored)).c_str());
        const auto start = Clock::now();
        capture();
        const auto captured = Clock::now();
        uint8_t score = 0, finger = 0;
        int64_t person = 0;
        const bool found = VXMMatchTemplate(1, 0, &score, &person, &finger);
        identifySeconds += seconds(captured, Clock::now());
        captureSeconds += seconds(start, captured);
        if (found && person == 1000 + i * 7 % stored)
            ++right;
    }
    std::printf("identification among %d stored templates: capture %.2f ms, matching %.2f ms each; %d of %d right\n",
                stored, 1e3 * captureSeconds / probes, 1e3 * identifySeconds / probes, right, probes);

    VXMComClose();
    return 0;
}
