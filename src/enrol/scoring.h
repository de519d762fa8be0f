// Scoring the scans of one finger against each other, choosing its best scan,
// and ranking the fingers by their best scores. The module is reached through
// ScoringModule, so that tests give exact match results.
#pragma once

#include "bioobjects.h"

#include <functional>
#include <vector>

// One comparison of two scans of a finger: true and the match score (0..255)
// when they match.
using MatchFunction = std::function<bool(const Tscan &a, const Tscan &b, int *score)>;

struct ScoringModule
{
    std::function<bool()> open;   // opens and initialises the module; false: no scoring
    std::function<void()> clear;  // empties the module's template store
    MatchFunction match;
    std::function<void()> close;
};

// The scans 1..ScanCount of the finger, in scan-number order (a missing one
// is left out).
std::vector<Tscan *> scansOf(const Tfinger &finger, ScanList &scans);

// Each scan's score is the sum of its match scores against the other scans,
// divided by the number of scans N (not N - 1). One scan scores 10 without a
// comparison. False when the module could not be opened: the scores are then
// 0 and no comparison ran.
bool scoreScans(const std::vector<Tscan *> &scans, ScoringModule &module);

// Highest score, then highest quality byte, then lowest number. When every
// scan has score 0 and quality 0 the earlier choice stays.
void chooseBestScan(Tfinger &finger, const std::vector<Tscan *> &scans, ScanList &all);

// Scores the finger's scans and chooses its best one. The module is closed in
// every case but a failed opening, which keeps the earlier best-scan choice.
void ScoreFinger(Tfinger &finger, ScanList &scans, ScoringModule &module);

// Sorts the list ascending by BestScore (Hoare quicksort, middle pivot: this
// decides the order of equal scores), then ranks the fingers with scans from
// the end of the list (rank 1 last); fingers without scans get -1.
void RankFingers(FingerList &fingers);
