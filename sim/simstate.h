// The simulated module's whole state, in one place.
//
// The station lets one thread into the library at a time, but a capture calls
// the station's poll function on the capturing thread, and a test may call the
// extra functions from another thread. So every entry takes one recursive lock
// and holds it until it returns, also while a capture waits for the finger:
// the poll function may call back into the library from the capturing thread,
// and another thread that calls in waits until the capture has ended.
#pragma once

#include "capture.h"
#include "matcher.h"
#include "random.h"
#include "scriptfile.h"
#include "vexilmod.h"

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace vxsim {

// Error numbers of the simulator (VXMGetLastErrorNum).
enum SimError : int32_t {
    ErrPortNotOpen = 1,
    ErrNotInitialised = 2,
    ErrPortOpenFailed = 3,
    ErrAbandoned = VXM_ERROR_ABANDONED, // 4
    ErrPoorCapture = 5,
    ErrNoFinger = 6,
    ErrFirmware = 7,
    ErrBadArgument = 8,
    ErrNoTemplate = 9,
    ErrStoreFull = 10,
    ErrInitFailed = 11,
};

constexpr int kMaxPlacements = 5;        // one capture, at most this many placements of the finger
constexpr int kNoFingerTimeoutMs = 60000; // a module gives up waiting eventually
constexpr int kStoreCapacity = 1000;
constexpr int kDefaultFingerDelayMs = 1500;

struct StoredTemplate
{
    int64_t personId = 0;
    uint8_t fingerNo = 0;
    uint64_t key = 0; // minutiaeKey of the written bytes
    PreparedTemplate prepared;
};

// What the control commands have arranged. One-shot conditions apply to the
// next call they concern and then clear themselves.
struct Scripted
{
    std::string finger; // empty: chosen automatically
    bool errorPending = false;
    int32_t nextError = 0;
    bool noFinger = false;
    bool portFail = false;
    bool initFail = false;
    bool firmwareFail = false;
    bool templateFail = false;
    bool unknown = false;
    int delayMs = -1; // negative: VEXILMOD_FINGER_DELAY_MS or the default
    std::deque<PlacementRequest> placements;
};

// Which finger a delivered template was captured from, so that an
// identification capture can lay the same finger on again. Bounded: the
// oldest entries go first.
class FingerRegistry
{
public:
    void remember(uint64_t key, const Minutiae &finger);
    const Minutiae *find(uint64_t key) const;
    void clear();

private:
    static constexpr size_t kCapacity = 2048;
    std::unordered_map<uint64_t, Minutiae> m_fingers;
    std::deque<uint64_t> m_order;
};

struct SimState
{
    std::recursive_mutex lock;

    // Port and initialisation. The initialisation survives closing the port,
    // as it does on the module (the station initialises once per run).
    bool portOpen = false;
    bool initialised = false;
    int dataFormat = 1, security = 60, quality = 40, minMinutiae = 7;
    VXMPollFunction poll = nullptr;
    int32_t lastError = 0;

    // One virtual finger per port session unless a script names one.
    uint64_t sessionCount = 0;
    std::string sessionFinger;
    std::string runTag;
    // Set by VXMWriteTemplate; captures then identify. Cleared when the port
    // opens or closes and when the store is emptied.
    bool identifying = false;
    uint64_t unknownCount = 0;

    bool haveCapture = false;
    std::vector<uint8_t> lastTemplate;
    PreparedTemplate lastCapture;

    bool slotLoaded[2] = {false, false};
    PreparedTemplate slots[2];
    std::vector<StoredTemplate> store;
    FingerRegistry registry;

    Scripted scripted;
    ScriptFile scriptFile;
    std::map<std::string, int32_t> calls;
    Random rng;
};

SimState &state();

// Back to a freshly loaded library (except the script file's read position).
void resetState(SimState &s);

int fingerDelayMs(const SimState &s);

} // namespace vxsim
