#include "tbioscanfinger.h"

#include "modulelibrary.h"

#include <cstring>

namespace {

// The library takes a plain function; only one capture runs at a time, so one
// slot for the flag it reads is enough.
std::atomic<std::atomic<uint8_t> *> s_pollFlag{nullptr};

constexpr int WaitSliceMs = 50;

}  // namespace

tbioscanfinger::tbioscanfinger(ModuleLibrary &library, std::atomic<uint8_t> &keepScanning, QObject *parent)
    : QThread(parent), m_library(library), m_keepScanning(keepScanning)
{
}

tbioscanfinger::~tbioscanfinger()
{
    requestInterruption();
    m_keepScanning = 0;
    m_start.release();
    wait();
}

int32_t VXM_CALL tbioscanfinger::PollFunction()
{
    std::atomic<uint8_t> *flag = s_pollFlag.load();
    return flag && flag->load() ? 1 : 0;
}

void tbioscanfinger::Start()
{
    m_start.release();
    if (!isRunning())
        start();
}

void tbioscanfinger::run()
{
    for (;;) {
        // A start is taken off the semaphore before its pass; the short slices
        // only let a termination request through without a start.
        while (!m_start.tryAcquire(1, WaitSliceMs))
            if (isInterruptionRequested())
                return;
        if (isInterruptionRequested())
            return;
        try {
            scanOnce();
            if (!isInterruptionRequested())
                handOver();
        } catch (...) {
            // A failing pass must not end the worker; the next start runs again.
        }
    }
}

void tbioscanfinger::scanOnce()
{
    ++Pass;
    ScanMode = 1;
    ResultText.clear();
    ModuleLibrary::Hold hold(m_library);
    s_pollFlag = &m_keepScanning;
    m_library.ScanFingerSetCallBack(&tbioscanfinger::PollFunction);
    if (m_library.ScanFinger(ScanMode)) {
        std::memset(TemplateBuffer, 0, sizeof TemplateBuffer);
        TemplateLength = VXM_TEMPLATE_SIZE;
        if (m_library.GetTemplate(&TemplateLength, TemplateBuffer))
            ResultText = QStringLiteral("OK");
    } else {
        const int32_t error = m_library.GetLastErrorNum();
        if (error == VXM_ERROR_NONE || error == VXM_ERROR_ABANDONED)
            ResultText = QStringLiteral("abgebrochen");
        else
            ResultText = QString::number(error);
    }
}

void tbioscanfinger::handOver()
{
    if (!OnScanDone)
        return;
    // The token outlives both sides: a call that arrives after the worker gave
    // up waiting finds it cancelled and does nothing. The call is also tied to
    // this object, so destroying the worker drops it.
    auto token = std::make_shared<HandOver>();
    ScanDoneHandler handler = OnScanDone;
    QMetaObject::invokeMethod(
        this,
        [this, token, handler]() {
            if (!token->cancelled)
                handler(this, TemplateBuffer, TemplateLength);
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
