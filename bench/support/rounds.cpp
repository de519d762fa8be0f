#include "rounds.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

double Samples::min() const
{
    return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end());
}

double Samples::median() const
{
    if (ms.empty())
        return 0;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

Samples rounds(int count, const std::function<double()> &measure)
{
    Samples s;
    for (int i = 0; i < count; ++i)
        s.ms.push_back(measure());
    return s;
}

double loadAverage()
{
    std::ifstream in("/proc/loadavg");
    double load = -1;
    in >> load;
    return load;
}

void printHead(int roundCount)
{
    std::printf("%d rounds each; load average %.2f\n", roundCount, loadAverage());
    std::printf("%-44s %18s %18s %7s  %s\n", "figure", "station min/med ms", "baseline min/med", "ratio", "goal");
}

void printFigure(const std::string &figure, const Samples &station, const Samples &baseline, const std::string &goal)
{
    const double ratio = baseline.median() > 0 ? station.median() / baseline.median() : 0;
    std::printf("%-44s %8.2f /%8.2f %8.2f /%8.2f %6.2fx  %s\n", figure.c_str(), station.min(), station.median(),
                baseline.min(), baseline.median(), ratio, goal.c_str());
    std::fflush(stdout);
}

void printAbsolute(const std::string &figure, const Samples &station, const std::string &goal)
{
    std::printf("%-44s %8.2f /%8.2f %18s %7s  %s\n", figure.c_str(), station.min(), station.median(), "-", "-",
                goal.c_str());
    std::fflush(stdout);
}
