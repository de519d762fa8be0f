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
        armPoll();
        if (m_library.ScanFinger(ScanMode)) {
            ResultText = QStringLiteral("OK");
        } else {
            const int32_t error = m_library.GetLastErrorNum();
            if (error == VXM_ERROR_NONE || error == VXM_ERROR_ABANDONED)
                ResultText = QStringLiteral("abgebrochen");
            else
                ResultText = QString::number(error);
        }
        if (!isInterruptionRequested() && OnScanDone)
            effect = OnScanDone(this);
    }
    handOver(effect);
}
