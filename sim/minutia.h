// A minutia as the simulated sensor sees it, and the sensor's geometry.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace vxsim {

// Sensor area in pixels (about 500 dpi: 13 x 18 mm).
constexpr int kSensorWidth = 256;
constexpr int kSensorHeight = 360;

enum MinutiaType : uint8_t { RidgeEnding = 0, Bifurcation = 1 };

struct Minutia
{
    float x = 0;   // pixels, 0 .. kSensorWidth
    float y = 0;   // pixels, 0 .. kSensorHeight
    float dir = 0; // radians, 0 .. 2 pi
    uint8_t type = RidgeEnding;
};

using Minutiae = std::vector<Minutia>;

// Into (-pi, pi].
inline double wrapAngle(double a)
{
    a = std::fmod(a, 2.0 * M_PI);
    if (a <= -M_PI)
        a += 2.0 * M_PI;
    else if (a > M_PI)
        a -= 2.0 * M_PI;
    return a;
}

// Into [0, 2 pi).
inline double normaliseDirection(double a)
{
    a = std::fmod(a, 2.0 * M_PI);
    return a < 0 ? a + 2.0 * M_PI : a;
}

inline bool onSensor(double x, double y) { return x >= 0 && x < kSensorWidth && y >= 0 && y < kSensorHeight; }

} // namespace vxsim
