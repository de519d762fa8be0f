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
    // A failed load must not pass for the old firmware still being current.
    station.ui->message(module.library().FirmwareUpdate(path.toLocal8Bit())
                            ? QStringLiteral("Firmware wurde geladen")
                            : QStringLiteral("Firmware konnte nicht geladen werden"));
    module.CloseModule();
}
