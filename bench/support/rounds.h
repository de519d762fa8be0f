// Rounds of a figure and what is printed of them: min and median in
// milliseconds, beside the baseline measured in the same run, and their ratio.
// Machines here are shared; the load average is printed with every table.
#pragma once

#include <QElapsedTimer>
#include <functional>
#include <string>
#include <vector>

struct Samples
{
    std::vector<double> ms;
    double min() const;
    double median() const;
};

// Runs measure rounds times; measure returns the milliseconds of one round.
Samples rounds(int count, const std::function<double()> &measure);

// Milliseconds since the timer started, with sub-millisecond resolution.
inline double elapsedMs(const QElapsedTimer &timer) { return double(timer.nsecsElapsed()) / 1e6; }

// The table head, with the number of rounds and the machine's load.
void printHead(int roundCount);
// One line: the figure, the station's min and median, the baseline's, the
// ratio of the medians and the goal.
void printFigure(const std::string &figure, const Samples &station, const Samples &baseline, const std::string &goal);
// One line for a figure without a baseline (goal in milliseconds or none).
void printAbsolute(const std::string &figure, const Samples &station, const std::string &goal);

// The load average over the last minute, or -1 where it cannot be read.
double loadAverage();
