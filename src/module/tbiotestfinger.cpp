#include "tbiotestfinger.h"

#include "modulelibrary.h"

tbiotestfinger::tbiotestfinger(ModuleLibrary &library, std::atomic<uint8_t> &keepTesting, QObject *parent)
    : ModuleWorker(library, keepTesting, parent)
{
}

tbiotestfinger::~tbiotestfinger()
{
    stop();
}

void tbiotestfinger::pass()
{
    std::function<void()> effect;
    {
        ModuleLibrary::Hold hold(m_library);
        ScanMode = 1;
        ResultText.clear();
        if (capture(ScanMode, ResultText))
            ResultText = QStringLiteral("OK");
        if (!isInterruptionRequested() && OnScanDone)
            effect = OnScanDone(this);
    }
    handOver(effect);
}
