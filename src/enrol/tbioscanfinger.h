// The scan worker: one capture on the module per start, on a thread of its
// own, so that the scanning dialog stays responsive while the module blocks.
//
// Starts are counted on a semaphore, so a start given before the worker waits
// again is never lost and each start runs exactly one pass. The library is
// held only for the capture and its read-out and released before the result
// is handed over; the completion handler then runs on the thread that owns
// the worker (the user-interface thread) while the worker waits for it.
#pragma once

#include "vexilmod.h"

#include <QSemaphore>
#include <QString>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class ModuleLibrary;

class tbioscanfinger : public QThread
{
    Q_OBJECT

public:
    using ScanDoneHandler = std::function<void(tbioscanfinger *worker, const uint8_t *templ, int32_t length)>;

    // keepScanning is polled by the library while a capture runs (1 go on, 0 stop).
    tbioscanfinger(ModuleLibrary &library, std::atomic<uint8_t> &keepScanning, QObject *parent = nullptr);
    // Told to terminate: clears the flag so a running capture is abandoned,
    // wakes the worker and waits for its thread to end. A hand-over still
    // pending is dropped.
    ~tbioscanfinger() override;

    // One more pass. The thread is started on the first call.
    void Start();

    // Set by the owner before each start; called on the owner's thread.
    ScanDoneHandler OnScanDone;

    // Valid while the handler runs.
    QString ResultText;
    uint8_t TemplateBuffer[VXM_TEMPLATE_SIZE] = {};
    int32_t TemplateLength = 0;
    // 1 for the first pass, counting every pass since creation; lets the owner
    // tell which start a result belongs to.
    int32_t Pass = 0;

    // The plain poll function handed to the library.
    static int32_t VXM_CALL PollFunction();

protected:
    void run() override;

private:
    struct HandOver
    {
        QSemaphore done;
        std::atomic<bool> cancelled{false};
    };

    void scanOnce();
    void handOver();

    ModuleLibrary &m_library;
    std::atomic<uint8_t> &m_keepScanning;
    QSemaphore m_start;
    uint8_t ScanMode = 1;
};
