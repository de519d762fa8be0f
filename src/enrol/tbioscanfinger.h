// The scan worker: one capture on the module per start, on a thread of its
// own, so that the scanning dialog stays responsive while the module blocks.
//
// The library is held only for the capture and its read-out and released
// before the result is handed over; the completion handler then runs on the
// thread that owns the worker (the user-interface thread) while the worker
// waits for it.
#pragma once

#include "moduleworker.h"

#include <QString>
#include <cstdint>
#include <functional>

class tbioscanfinger : public ModuleWorker
{
    Q_OBJECT

public:
    using ScanDoneHandler = std::function<void(tbioscanfinger *worker, const uint8_t *templ, int32_t length)>;

    // keepScanning is polled by the library while a capture runs (1 go on, 0 stop).
    tbioscanfinger(ModuleLibrary &library, std::atomic<uint8_t> &keepScanning, QObject *parent = nullptr);
    ~tbioscanfinger() override;

    // Set by the owner before each start; called on the owner's thread.
    ScanDoneHandler OnScanDone;

    // Valid while the handler runs.
    QString ResultText;
    uint8_t TemplateBuffer[VXM_TEMPLATE_SIZE] = {};
    int32_t TemplateLength = 0;

protected:
    void pass() override;

private:
    uint8_t ScanMode = 1;
};
