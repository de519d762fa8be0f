#include "templatecodec.h"

#include "random.h"

#include <algorithm>

namespace vxsim {

namespace {

int storedCount(const uint8_t *templ, int length)
{
    if (length <= kHeaderBytes)
        return 0;
    return std::min<int>(templ[kCountByte], (length - kHeaderBytes) / kBytesPerMinutia);
}

} // namespace

int templateLength(int dataFormat) { return dataFormat == 0 ? 161 : 216; }

int templateCapacity(int dataFormat) { return (templateLength(dataFormat) - kHeaderBytes) / kBytesPerMinutia; }

std::vector<uint8_t> encodeTemplate(int quality, Minutiae minutiae, int dataFormat)
{
    const size_t capacity = size_t(templateCapacity(dataFormat));
    if (minutiae.size() > capacity) {
        const double cx = kSensorWidth / 2.0, cy = kSensorHeight / 2.0;
        std::stable_sort(minutiae.begin(), minutiae.end(), [&](const Minutia &a, const Minutia &b) {
            return std::hypot(a.x - cx, a.y - cy) < std::hypot(b.x - cx, b.y - cy);
        });
        minutiae.resize(capacity);
    }

    std::vector<uint8_t> out(size_t(templateLength(dataFormat)), 0);
    out[kQualityByte] = uint8_t(std::clamp(quality, 0, 100));
    out[kCountByte] = uint8_t(minutiae.size());
    uint8_t *p = out.data() + kHeaderBytes;
    for (const Minutia &m : minutiae) {
        const uint32_t x = uint32_t(std::clamp<long>(std::lround(m.x), 0, 255));
        const uint32_t y = uint32_t(std::clamp<long>(std::lround(m.y), 0, 511));
        const uint32_t d = uint32_t(std::lround(normaliseDirection(m.dir) * 64.0 / (2 * M_PI))) & 63u;
        const uint32_t word = x | (y << 8) | (d << 17) | (uint32_t(m.type & 1) << 23);
        p[0] = uint8_t(word);
        p[1] = uint8_t(word >> 8);
        p[2] = uint8_t(word >> 16);
        p += kBytesPerMinutia;
    }
    return out;
}

Minutiae decodeTemplate(const uint8_t *templ, int length)
{
    Minutiae result;
    const int n = storedCount(templ, length);
    result.reserve(size_t(n));
    const uint8_t *p = templ + kHeaderBytes;
    for (int i = 0; i < n; ++i, p += kBytesPerMinutia) {
        const uint32_t word = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        Minutia m;
        m.x = float(word & 0xFF);
        m.y = float((word >> 8) & 0x1FF);
        m.dir = float(((word >> 17) & 63u) * (2 * M_PI / 64.0));
        m.type = uint8_t((word >> 23) & 1u);
        result.push_back(m);
    }
    return result;
}

uint64_t minutiaeKey(const uint8_t *templ, int length)
{
    const int n = storedCount(templ, length);
    return hashBytes(templ + kCountByte, size_t(1 + n * kBytesPerMinutia));
}

} // namespace vxsim
