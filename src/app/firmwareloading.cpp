#include "firmwareloading.h"

#include "modulelibrary.h"
#include "modulesession.h"
#include "operatorui.h"
#include "station.h"

void Firmwareladen1Click(Station &station)
{
    const QString path = station.ui->chooseFile();
    if (path.isEmpty())
        return;
    ModuleSession &module = *station.module;
    // OpenModule tells the operator itself when the port cannot be opened.
    if (!module.OpenModule())
        return;
    if (module.library().FirmwareUpdate(path.toLocal8Bit()))
        station.ui->message(QStringLiteral("Firmware wurde geladen"));
    module.CloseModule();
}
