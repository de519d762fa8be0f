// Every window of the station, created once in their fixed order and bound to
// the main window's menu. The program entry runs it; the screenshot tool runs
// the very same windows, with its own program directory and operator.
#pragma once

#include "modulelibrary.h"
#include "modulesession.h"
#include "portdetection.h"
#include "station.h"
#include "tmainform.h"

#include <QString>
#include <memory>

class Clock;
class QTranslator;
class OperatorUi;
class Tdm;
class TSetupform;
class Tscanningform;
class Tscanfingerform;
class TsaveidForm;
class Ttestinfoform;
class Tchdataform;
class Tzuweisungsform;
class Tgzuweisenform;

class StationProgram
{
public:
    // programDir holds data.ini and the installation data (hand picture and
    // finger regions); libraryDir holds the module library. The program entry
    // passes its own directory for both.
    StationProgram(Clock &clock, OperatorUi &ui, const QString &programDir, const QString &libraryDir);
    ~StationProgram();
    StationProgram(const StationProgram &) = delete;
    StationProgram &operator=(const StationProgram &) = delete;

    Station station;
    ModuleLibrary library;
    ModuleSession module;
    // Listed where a search or the settings dialog first needs them.
    SerialPorts serialPorts;

    // Declared in creation order, so that they are destroyed in the reverse.
    std::unique_ptr<Tmainform> mainform;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<TSetupform> setupform;
    std::unique_ptr<Tscanningform> scanningform;
    std::unique_ptr<Tscanfingerform> scanfingerform;
    std::unique_ptr<TsaveidForm> saveidform;
    std::unique_ptr<Ttestinfoform> testinfoform;
    std::unique_ptr<Tchdataform> chdataform;
    std::unique_ptr<Tzuweisungsform> zuweisungsform;
    std::unique_ptr<Tgzuweisenform> gzuweisenform;

    Tmainform::Actions actions;
};

// Qt's own dialogs (file and folder choosers, standard buttons) speak German
// like the rest of the station; without the translation files they stay
// English. The translator must live as long as the application.
void installQtGerman(QTranslator &translator);
