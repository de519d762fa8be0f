#include "virtualfinger.h"

#include "random.h"

namespace vxsim {

namespace {

constexpr int kMinMinutiae = 30;
constexpr int kMaxMinutiae = 50;
constexpr double kMargin = 10;     // keeps minutiae off the very edge of the sensor
constexpr double kMinSpacing = 15; // real minutiae are rarely closer than a ridge or two

// Ridge orientation (0 .. pi) at a point: concentric flow near the core,
// blending into a gently curved, tilted flow further out. Blending happens on
// doubled angles because orientations are only defined modulo pi.
double ridgeOrientation(double x, double y, double coreX, double coreY, double tilt, double bend)
{
    const double dx = x - coreX, dy = y - coreY;
    const double nearAngle = std::atan2(dy, dx) + M_PI / 2;
    const double farAngle = tilt + bend * std::sin(y / 70.0) + 0.25 * std::sin(x / 55.0);
    const double w = std::exp(-(dx * dx + dy * dy) / (2.0 * 85.0 * 85.0));
    const double vx = w * std::cos(2 * nearAngle) + (1 - w) * std::cos(2 * farAngle);
    const double vy = w * std::sin(2 * nearAngle) + (1 - w) * std::sin(2 * farAngle);
    return 0.5 * std::atan2(vy, vx);
}

} // namespace

Minutiae virtualFinger(const std::string &identifier)
{
    Random rng(hashText(identifier));
    const int wanted = kMinMinutiae + rng.below(kMaxMinutiae - kMinMinutiae + 1);
    const double coreX = rng.uniform(90, 166), coreY = rng.uniform(110, 230);
    const double tilt = rng.uniform(-0.35, 0.35), bend = rng.uniform(-0.3, 0.3);

    Minutiae result;
    result.reserve(wanted);
    for (int attempt = 0; attempt < 5000 && int(result.size()) < wanted; ++attempt) {
        const double x = rng.uniform(kMargin, kSensorWidth - kMargin);
        const double y = rng.uniform(kMargin, kSensorHeight - kMargin);
        bool crowded = false;
        for (const Minutia &m : result) {
            const double ddx = m.x - x, ddy = m.y - y;
            if (ddx * ddx + ddy * ddy < kMinSpacing * kMinSpacing) {
                crowded = true;
                break;
            }
        }
        if (crowded)
            continue;
        Minutia m;
        m.x = float(x);
        m.y = float(y);
        // A minutia points along the ridge, one way or the other.
        double dir = ridgeOrientation(x, y, coreX, coreY, tilt, bend) + (rng.chance(0.5) ? M_PI : 0.0);
        dir += rng.normal() * (8.0 * M_PI / 180.0);
        m.dir = float(normaliseDirection(dir));
        m.type = rng.chance(0.55) ? RidgeEnding : Bifurcation;
        result.push_back(m);
    }
    return result;
}

} // namespace vxsim
