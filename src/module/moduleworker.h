// A worker that runs one module capture per start on a thread of its own.
//
// Starts are counted on a semaphore, so a start given before the worker waits
// again (a "Weitertesten" pressed while the last attempt still reports) is
// never lost and each start runs exactly one pass. A pass holds the library
// only as long as it needs it and hands its effects on the windows to the
// owner's thread (handOver) after letting go of it, so the user-interface
// thread may wait for the library (closing the port) without a deadlock.
#pragma once

#include "vexilmod.h"

#include <QSemaphore>
#include <QString>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>

class ModuleLibrary;

class ModuleWorker : public QThread
{
    Q_OBJECT

public:
    // keepGoing is polled by the library while a capture runs (1 go on, 0 stop).
    ModuleWorker(ModuleLibrary &library, std::atomic<uint8_t> &keepGoing, QObject *parent = nullptr);

    // One more pass. The thread is started on the first call.
    void Start();

    // 1 for the first pass, counting every pass since creation; lets the owner
    // tell which start a result belongs to.
    std::atomic<int32_t> Pass{0};

    // The plain poll function handed to the library: the flag of the worker
    // whose capture runs (one at a time, the library lets one thread in).
    static int32_t VXM_CALL PollFunction();

protected:
    // Derived destructors call it first: clears the flag so a running capture
    // is abandoned, wakes the worker and waits for its thread to end. A
    // hand-over still pending is dropped.
    void stop();

    // One pass, on the worker thread. Exceptions are dropped by the caller.
    virtual void pass() = 0;
    // Hands this worker's flag to PollFunction and PollFunction to the
    // library, then runs one capture; call it with the library held. True
    // when a finger was captured; otherwise failure becomes "abgebrochen" (the
    // capture was abandoned or failed without an error) or the error number.
    bool capture(uint8_t scanMode, QString &failure);
    // Runs effect on the owner's thread and waits until it ran; gives up when
    // the worker is told to terminate. Never call it with the library held.
    void handOver(const std::function<void()> &effect);

    ModuleLibrary &m_library;
    std::atomic<uint8_t> &m_keepGoing;

private:
    void run() override;

    QSemaphore m_start;
};
