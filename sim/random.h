// Deterministic random numbers for the simulator.
//
// Our own generator rather than <random>: the standard distributions differ
// between standard libraries, and a virtual finger must be the same finger on
// every machine that runs the simulator.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace vxsim {

// FNV-1a, 64 bit: turns a finger identifier into a seed.
inline uint64_t hashBytes(const void *data, size_t size, uint64_t h = 1469598103934665603ull)
{
    const unsigned char *p = static_cast<const unsigned char *>(data);
    for (size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

inline uint64_t hashText(const std::string &text) { return hashBytes(text.data(), text.size()); }

class Random
{
public:
    explicit Random(uint64_t seed = 0) : m_state(seed) {}
    void seed(uint64_t seed) { m_state = seed; }

    // SplitMix64.
    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // [0, 1)
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    // 0 .. n-1; n must be positive.
    int below(int n) { return int(next() % uint64_t(n)); }
    bool chance(double p) { return uniform() < p; }
    // Standard normal, Box-Muller.
    double normal()
    {
        double u = uniform();
        if (u < 1e-300)
            u = 1e-300;
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * uniform());
    }

private:
    uint64_t m_state;
};

} // namespace vxsim
