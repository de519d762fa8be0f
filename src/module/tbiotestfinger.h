// The verification worker: one capture per start, after which the module
// identifies the finger among the templates written into its store.
//
// The capture and the match are one pass with the library held throughout,
// so no other caller can slip in between them. The result handler runs on
// the worker inside that pass; what it returns is then run on the owner's
// (user-interface) thread, after the library has been let go.
#pragma once

#include "moduleworker.h"

#include <QString>

class tbiotestfinger : public ModuleWorker
{
    Q_OBJECT

public:
    // Called on the worker with the library held; returns the effect on the
    // windows, which the worker hands to the owner's thread.
    using ScanDoneHandler = std::function<std::function<void()>(tbiotestfinger *worker)>;

    tbiotestfinger(ModuleLibrary &library, std::atomic<uint8_t> &keepTesting, QObject *parent = nullptr);
    ~tbiotestfinger() override;

    // Set before the first start; not changed while the worker runs.
    ScanDoneHandler OnScanDone;

    uint8_t ScanMode = 1;
    // "OK", "abgebrochen" or the error number; valid while the handler runs.
    QString ResultText;

    ModuleLibrary &library() { return m_library; }

protected:
    void pass() override;
};
