#include "moduleworker.h"

#include "modulelibrary.h"

#include <memory>

namespace {

std::atomic<std::atomic<uint8_t> *> s_pollFlag{nullptr};

// Lets a termination request through while the worker waits.
constexpr int WaitSliceMs = 50;

struct HandOverToken
{
    QSemaphore done;
    std::atomic<bool> cancelled{false};
};

}  // namespace

ModuleWorker::ModuleWorker(ModuleLibrary &library, std::atomic<uint8_t> &keepGoing, QObject *parent)
    : QThread(parent), m_library(library), m_keepGoing(keepGoing)
{
}

void ModuleWorker::stop()
{
    requestInterruption();
    m_keepGoing = 0;
    m_start.release();
    wait();
}

int32_t VXM_CALL ModuleWorker::PollFunction()
{
    std::atomic<uint8_t> *flag = s_pollFlag.load();
    return flag && flag->load() ? 1 : 0;
}

void ModuleWorker::Start()
{
    m_start.release();
    if (!isRunning())
        start();
}

bool ModuleWorker::capture(uint8_t scanMode, QString &failure)
{
    s_pollFlag = &m_keepGoing;
    m_library.ScanFingerSetCallBack(&ModuleWorker::PollFunction);
    if (m_library.ScanFinger(scanMode))
        return true;
    const int32_t error = m_library.GetLastErrorNum();
    if (error == VXM_ERROR_NONE || error == VXM_ERROR_ABANDONED)
        failure = QStringLiteral("abgebrochen");
    else
        failure = QString::number(error);
    return false;
}

void ModuleWorker::run()
{
    for (;;) {
        while (!m_start.tryAcquire(1, WaitSliceMs))
            if (isInterruptionRequested())
                return;
        if (isInterruptionRequested())
            return;
        ++Pass;
        try {
            pass();
        } catch (...) {
            // A failing pass must not end the worker; the next start runs again.
        }
    }
}

void ModuleWorker::handOver(const std::function<void()> &effect)
{
    if (!effect || isInterruptionRequested())
        return;
    // The token outlives both sides: a call that arrives after the worker gave
    // up waiting finds it cancelled and does nothing. The call is also tied to
    // this object, so destroying the worker drops it.
    auto token = std::make_shared<HandOverToken>();
    QMetaObject::invokeMethod(
        this,
        [token, effect]() {
            if (!token->cancelled)
                effect();
            token->done.release();
        },
        Qt::QueuedConnection);
    while (!token->done.tryAcquire(1, WaitSliceMs)) {
        if (isInterruptionRequested()) {
            token->cancelled = true;
            return;
        }
    }
}
