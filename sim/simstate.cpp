#include "simstate.h"

#include <chrono>
#include <cstdlib>

namespace vxsim {

namespace {

constexpr uint64_t kResetSeed = 0x5eed0f1e6e7ull;

const char *const kCountedNames[] = {
    "VXMComOpen", "VXMInit", "VXMComClose", "VXMScanFingerSetCallBack", "VXMScanFinger", "VXMGetLastErrorNum",
    "VXMGetTemplate", "VXMSetTemplate", "VXMMatchTemplate", "VXMWriteTemplate", "VXMDeleteTemplate",
    "VXMFirmwareUpdate", "placements",
};

void clearCounts(SimState &s)
{
    s.calls.clear();
    for (const char *name : kCountedNames)
        s.calls[name] = 0;
}

SimState &makeState()
{
    static SimState s;
    clearCounts(s);
    // A new run gets new demo fingers; RESET makes the sequence repeatable.
    const auto now = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count())
                     ^ uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    s.rng.seed(now);
    s.runTag = std::to_string(s.rng.next() % 100000);
    return s;
}

} // namespace

void FingerRegistry::remember(uint64_t key, const Minutiae &finger)
{
    if (m_fingers.count(key) == 0) {
        m_order.push_back(key);
        if (m_order.size() > kCapacity) {
            m_fingers.erase(m_order.front());
            m_order.pop_front();
        }
    }
    m_fingers[key] = finger;
}

const Minutiae *FingerRegistry::find(uint64_t key) const
{
    auto it = m_fingers.find(key);
    return it == m_fingers.end() ? nullptr : &it->second;
}

void FingerRegistry::clear()
{
    m_fingers.clear();
    m_order.clear();
}

SimState &state()
{
    static SimState &s = makeState();
    return s;
}

void resetState(SimState &s)
{
    s.portOpen = false;
    s.initialised = false;
    s.dataFormat = 1;
    s.security = 60;
    s.quality = 40;
    s.minMinutiae = 7;
    s.poll = nullptr;
    s.lastError = 0;
    s.sessionCount = 0;
    s.sessionFinger.clear();
    s.runTag = "r";
    s.identifying = false;
    s.unknownCount = 0;
    s.haveCapture = false;
    s.lastTemplate.clear();
    s.lastCapture = {};
    s.slotLoaded[0] = s.slotLoaded[1] = false;
    s.slots[0] = s.slots[1] = {};
    s.store.clear();
    s.registry.clear();
    s.scripted = {};
    clearCounts(s);
    s.rng.seed(kResetSeed);
}

int fingerDelayMs(const SimState &s)
{
    if (s.scripted.delayMs >= 0)
        return s.scripted.delayMs;
    if (const char *env = std::getenv("VEXILMOD_FINGER_DELAY_MS")) {
        char *end = nullptr;
        const long v = std::strtol(env, &end, 10);
        if (end != env && v >= 0)
            return int(std::min(v, 600000L));
    }
    return kDefaultFingerDelayMs;
}

} // namespace vxsim
