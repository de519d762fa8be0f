// The exported functions: the module library contract and the simulator's
// own two extras. Each takes the state lock for its whole run and first
// applies what was appended to the control script.
#include "vexilmodsim.h"

#include "controlscript.h"
#include "simstate.h"
#include "templatecodec.h"
#include "virtualfinger.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

using namespace vxsim;

namespace {

class Entry
{
public:
    explicit Entry(const char *counted) : s(state()), m_guard(s.lock)
    {
        applyScriptFile(s);
        if (counted)
            ++s.calls[counted];
    }

    SimState &s;

private:
    std::lock_guard<std::recursive_mutex> m_guard;
};

VXMBool fail(SimState &s, int32_t error)
{
    s.lastError = error;
    return 0;
}

bool keepGoing(SimState &s) { return !s.poll || s.poll() != 0; }

int elapsedMs(std::chrono::steady_clock::time_point since)
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count());
}

constexpr int kPollIntervalMs = 20;

// Waits for the finger to arrive, asking the poll function every 20 ms and
// once more before the finger is read; false when the poll function said stop.
bool waitForFinger(SimState &s, int delayMs)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (!keepGoing(s))
            return false;
        const int elapsed = elapsedMs(start);
        if (elapsed >= delayMs)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(kPollIntervalMs, delayMs - elapsed)));
    }
}

// No finger comes: waits until the poll function says stop or the module's
// own patience ends.
VXMBool waitForNoFinger(SimState &s)
{
    const auto start = std::chrono::steady_clock::now();
    while (keepGoing(s)) {
        if (elapsedMs(start) >= kNoFingerTimeoutMs)
            return fail(s, ErrNoFinger);
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollIntervalMs));
    }
    return fail(s, ErrAbandoned);
}

Minutiae unknownFinger(SimState &s)
{
    return virtualFinger("unknown-" + s.runTag + "-" + std::to_string(++s.unknownCount));
}

// The finger that lies on the sensor for this capture.
Minutiae chooseFinger(SimState &s)
{
    const bool identification = s.identifying && !s.store.empty();
    if (identification && s.scripted.unknown) {
        s.scripted.unknown = false;
        return unknownFinger(s);
    }
    if (!s.scripted.finger.empty())
        return virtualFinger(s.scripted.finger);
    if (identification) {
        // Now and then somebody whose finger is not in the store tries.
        if (s.rng.below(6) == 0)
            return unknownFinger(s);
        const StoredTemplate &t = s.store[size_t(s.rng.below(int(s.store.size())))];
        if (const Minutiae *finger = s.registry.find(t.key))
            return *finger;
        // Captured in an earlier run: the template's own minutiae stand in for the finger.
        return t.prepared.minutiae;
    }
    return virtualFinger(s.sessionFinger);
}

bool readableNonEmptyFile(const char *path)
{
    struct stat st;
    if (!path || !*path || ::stat(path, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
        return false;
    std::ifstream in(path, std::ios::binary);
    char c;
    return bool(in.read(&c, 1));
}

PreparedTemplate prepareBytes(const uint8_t *templ, int length)
{
    return prepareTemplate(decodeTemplate(templ, length));
}

} // namespace

extern "C" {

VXMBool VXM_CALL VXMComOpen(const char *port)
{
    Entry e("VXMComOpen");
    SimState &s = e.s;
    if (s.scripted.portFail) {
        s.scripted.portFail = false;
        return fail(s, ErrPortOpenFailed);
    }
    if (!port || !*port)
        return fail(s, ErrPortOpenFailed);
    if (!s.portOpen) {
        s.portOpen = true;
        s.identifying = false;
        s.sessionFinger = "demo-" + s.runTag + "-" + std::to_string(++s.sessionCount);
    }
    return 1;
}

VXMBool VXM_CALL VXMInit(uint8_t dataFormat, uint8_t security, uint8_t quality, uint8_t minMinutiae)
{
    Entry e("VXMInit");
    SimState &s = e.s;
    if (!s.portOpen)
        return fail(s, ErrPortNotOpen);
    if (s.scripted.initFail) {
        s.scripted.initFail = false;
        s.initialised = false;
        return fail(s, ErrInitFailed);
    }
    if (dataFormat > 1) {
        s.initialised = false;
        return fail(s, ErrBadArgument);
    }
    s.dataFormat = dataFormat;
    s.security = security;
    s.quality = quality;
    s.minMinutiae = minMinutiae;
    s.initialised = true;
    return 1;
}

VXMBool VXM_CALL VXMComClose(void)
{
    Entry e("VXMComClose");
    e.s.portOpen = false;
    e.s.identifying = false;
    return 1;
}

VXMBool VXM_CALL VXMScanFingerSetCallBack(VXMPollFunction poll)
{
    Entry e("VXMScanFingerSetCallBack");
    e.s.poll = poll;
    return 1;
}

VXMBool VXM_CALL VXMScanFinger(uint8_t /*mode: every mode captures*/)
{
    Entry e("VXMScanFinger");
    SimState &s = e.s;
    s.haveCapture = false;
    if (!s.portOpen)
        return fail(s, ErrPortNotOpen);
    if (!s.initialised)
        return fail(s, ErrNotInitialised);
    if (s.scripted.errorPending) {
        s.scripted.errorPending = false;
        return fail(s, s.scripted.nextError);
    }
    if (s.scripted.noFinger) {
        s.scripted.noFinger = false;
        return waitForNoFinger(s);
    }

    const Minutiae finger = chooseFinger(s);
    // A module asks for the finger again when the image is too poor, and
    // gives up after a few tries.
    for (int attempt = 0; attempt < kMaxPlacements; ++attempt) {
        if (!waitForFinger(s, fingerDelayMs(s)))
            return fail(s, ErrAbandoned);
        PlacementRequest request;
        if (!s.scripted.placements.empty()) {
            request = s.scripted.placements.front();
            s.scripted.placements.pop_front();
        }
        const Placement placement = placeFinger(finger, s.rng, request);
        ++s.calls["placements"];
        std::vector<uint8_t> templ = encodeTemplate(placement.quality, placement.minutiae, s.dataFormat);
        if (templ[kQualityByte] < s.quality || templ[kCountByte] < s.minMinutiae)
            continue;
        const int length = int(templ.size());
        s.registry.remember(minutiaeKey(templ.data(), length), finger);
        s.lastCapture = prepareBytes(templ.data(), length);
        s.lastTemplate = std::move(templ);
        s.haveCapture = true;
        return 1;
    }
    return fail(s, ErrPoorCapture);
}

int32_t VXM_CALL VXMGetLastErrorNum(void)
{
    Entry e("VXMGetLastErrorNum");
    return e.s.lastError;
}

VXMBool VXM_CALL VXMGetTemplate(int32_t *length, uint8_t *buffer)
{
    Entry e("VXMGetTemplate");
    SimState &s = e.s;
    if (s.scripted.templateFail) {
        s.scripted.templateFail = false;
        return fail(s, ErrNoTemplate);
    }
    if (!length || !buffer)
        return fail(s, ErrBadArgument);
    if (!s.haveCapture)
        return fail(s, ErrNoTemplate);
    if (*length < int32_t(s.lastTemplate.size()))
        return fail(s, ErrBadArgument);
    std::memcpy(buffer, s.lastTemplate.data(), s.lastTemplate.size());
    *length = int32_t(s.lastTemplate.size());
    return 1;
}

VXMBool VXM_CALL VXMSetTemplate(const uint8_t *templ, uint8_t slot)
{
    Entry e("VXMSetTemplate");
    SimState &s = e.s;
    if (!s.portOpen)
        return fail(s, ErrPortNotOpen);
    if (!templ || slot > 1)
        return fail(s, ErrBadArgument);
    // The slot takes a full buffer; the count in byte 10 says how much of it is used.
    s.slots[slot] = prepareBytes(templ, kMaxTemplateBytes);
    s.slotLoaded[slot] = true;
    return 1;
}

VXMBool VXM_CALL VXMMatchTemplate(uint8_t selectorA, uint8_t selectorB, uint8_t *score, int64_t *personId,
                                  uint8_t *fingerNo)
{
    Entry e("VXMMatchTemplate");
    SimState &s = e.s;
    if (!s.portOpen)
        return fail(s, ErrPortNotOpen);
    int best = 0;
    int64_t person = 0;
    uint8_t finger = 0;
    if (selectorA == 1 && selectorB == 1) {
        if (!s.slotLoaded[0] || !s.slotLoaded[1])
            return fail(s, ErrNoTemplate);
        best = matchScore(s.slots[0], s.slots[1]);
    } else if (selectorA == 1 && selectorB == 0) {
        if (!s.haveCapture)
            return fail(s, ErrNoTemplate);
        const StoredTemplate *bestTemplate = nullptr;
        for (const StoredTemplate &t : s.store) {
            const int v = matchScore(s.lastCapture, t.prepared);
            if (v > best || !bestTemplate) {
                best = v;
                bestTemplate = &t;
            }
        }
        if (bestTemplate && best >= matchThreshold(s.security)) {
            person = bestTemplate->personId;
            finger = bestTemplate->fingerNo;
        }
    } else {
        return fail(s, ErrBadArgument);
    }
    if (score)
        *score = uint8_t(best);
    if (personId)
        *personId = person;
    if (fingerNo)
        *fingerNo = finger;
    return best >= matchThreshold(s.security) ? 1 : 0;
}

VXMBool VXM_CALL VXMWriteTemplate(const int64_t *personId, const uint8_t *fingerNo, const uint8_t *templ,
                                  const int32_t *length)
{
    Entry e("VXMWriteTemplate");
    SimState &s = e.s;
    if (!s.portOpen)
        return fail(s, ErrPortNotOpen);
    if (!personId || !fingerNo || !templ || !length || *length < kHeaderBytes || *length > kMaxTemplateBytes)
        return fail(s, ErrBadArgument);
    if (int(s.store.size()) >= kStoreCapacity)
        return fail(s, ErrStoreFull);
    StoredTemplate t;
    t.personId = *personId;
    t.fingerNo = *fingerNo;
    t.key = minutiaeKey(templ, *length);
    t.prepared = prepareBytes(templ, *length);
    s.store.push_back(std::move(t));
    s.identifying = true;
    return 1;
}

VXMBool VXM_CALL VXMDeleteTemplate(const int64_t *personId, uint8_t fingerNo, int32_t /*flags*/)
{
    Entry e("VXMDeleteTemplate");
    SimState &s = e.s;
    if (!s.portOpen)
        return fail(s, ErrPortNotOpen);
    if (!personId)
        return fail(s, ErrBadArgument);
    if (*personId == 0) {
        s.store.clear();
    } else {
        const int64_t pid = *personId;
        s.store.erase(std::remove_if(s.store.begin(), s.store.end(),
                                     [&](const StoredTemplate &t) {
                                         return t.personId == pid && (fingerNo == 0 || t.fingerNo == fingerNo);
                                     }),
                      s.store.end());
    }
    if (s.store.empty())
        s.identifying = false;
    return 1;
}

VXMBool VXM_CALL VXMFirmwareUpdate(const char *path)
{
    Entry e("VXMFirmwareUpdate");
    SimState &s = e.s;
    if (!s.portOpen)
        return fail(s, ErrPortNotOpen);
    if (s.scripted.firmwareFail) {
        s.scripted.firmwareFail = false;
        return fail(s, ErrFirmware);
    }
    if (!readableNonEmptyFile(path))
        return fail(s, ErrFirmware);
    return 1;
}

int32_t VXM_CALL VXMSimCommand(const char *line)
{
    Entry e(nullptr);
    return line && applyCommand(e.s, line) ? 1 : 0;
}

int32_t VXM_CALL VXMSimCallCount(const char *functionName)
{
    Entry e(nullptr);
    if (!functionName)
        return -1;
    auto it = e.s.calls.find(functionName);
    return it == e.s.calls.end() ? -1 : it->second;
}

} // extern "C"
