#include "capture.h"

#include "random.h"

#include <algorithm>

namespace vxsim {

namespace {

constexpr double kDegree = M_PI / 180.0;
constexpr double kMaxRotation = 6 * kDegree;
constexpr double kMaxShift = 16; // pixels, each axis
constexpr double kMaxScale = 0.02;

int drawQuality(Random &rng)
{
    const int q = int(std::lround(76 + 11 * rng.normal()));
    return std::clamp(q, 15, 99);
}

} // namespace

Placement placeFinger(const Minutiae &finger, Random &rng, const PlacementRequest &request)
{
    Placement p;
    p.quality = request.quality >= 0 ? std::min(request.quality, 100) : drawQuality(rng);
    const double poorness = (100 - p.quality) / 100.0; // 0 good .. 1 useless

    const double rotation = rng.uniform(-kMaxRotation, kMaxRotation);
    const double scale = 1.0 + rng.uniform(-kMaxScale, kMaxScale);
    const double shiftX = rng.uniform(-kMaxShift, kMaxShift), shiftY = rng.uniform(-kMaxShift, kMaxShift);
    const double c = std::cos(rotation) * scale, s = std::sin(rotation) * scale;
    const double cx = kSensorWidth / 2.0, cy = kSensorHeight / 2.0;

    // Skin stretches unevenly: a smooth displacement of a few pixels.
    const double warp = 2.0 + 3.0 * poorness;
    const double waveX = rng.uniform(180, 320), waveY = rng.uniform(180, 320);
    const double phaseX = rng.uniform(0, 2 * M_PI), phaseY = rng.uniform(0, 2 * M_PI);

    const double missing = 0.03 + 0.2 * poorness;
    const double positionSigma = 1.2 + 3.0 * poorness;
    const double directionSigma = (4.0 + 10.0 * poorness) * kDegree;

    for (const Minutia &m : finger) {
        if (rng.chance(missing))
            continue;
        const double dx = m.x - cx, dy = m.y - cy;
        const double x = cx + c * dx - s * dy + shiftX + warp * std::sin(2 * M_PI * m.y / waveY + phaseX)
                         + positionSigma * rng.normal();
        const double y = cy + s * dx + c * dy + shiftY + warp * std::sin(2 * M_PI * m.x / waveX + phaseY)
                         + positionSigma * rng.normal();
        if (!onSensor(x, y))
            continue;
        Minutia out;
        out.x = float(x);
        out.y = float(y);
        out.dir = float(normaliseDirection(m.dir + rotation + directionSigma * rng.normal()));
        // An ending and a bifurcation look alike under pressure.
        out.type = rng.chance(0.06) ? uint8_t(1 - m.type) : m.type;
        p.minutiae.push_back(out);
    }

    const int spurious = rng.below(2 + int(5 * poorness));
    for (int i = 0; i < spurious; ++i) {
        Minutia out;
        out.x = float(rng.uniform(0, kSensorWidth));
        out.y = float(rng.uniform(0, kSensorHeight));
        out.dir = float(rng.uniform(0, 2 * M_PI));
        out.type = uint8_t(rng.below(2));
        p.minutiae.insert(p.minutiae.begin() + rng.below(int(p.minutiae.size()) + 1), out);
    }

    if (request.minutiae >= 0) {
        while (int(p.minutiae.size()) > request.minutiae)
            p.minutiae.erase(p.minutiae.begin() + rng.below(int(p.minutiae.size())));
    }
    return p;
}

} // namespace vxsim
