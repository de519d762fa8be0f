#include "tbioscanfinger.h"

#include "modulelibrary.h"

#include <cstring>

tbioscanfinger::tbioscanfinger(ModuleLibrary &library, std::atomic<uint8_t> &keepScanning, QObject *parent)
    : ModuleWorker(library, keepScanning, parent)
{
}

tbioscanfinger::~tbioscanfinger()
{
    stop();
}

void tbioscanfinger::pass()
{
    ScanMode = 1;
    ResultText.clear();
    {
        ModuleLibrary::Hold hold(m_library);
        if (capture(ScanMode, ResultText)) {
            std::memset(TemplateBuffer, 0, sizeof TemplateBuffer);
            TemplateLength = VXM_TEMPLATE_SIZE;
            if (m_library.GetTemplate(&TemplateLength, TemplateBuffer))
                ResultText = QStringLiteral("OK");
        }
    }
    if (!OnScanDone)
        return;
    const ScanDoneHandler handler = OnScanDone;
    handOver([this, handler] { handler(this, TemplateBuffer, TemplateLength); });
}
