#include "stationprogram.h"

#include "clock.h"
#include "firmwareloading.h"
#include "operatorui.h"
#include "portdetection.h"
#include "settingsexchange.h"
#include "startup.h"
#include "tchdataform.h"
#include "tdm.h"
#include "tgzuweisenform.h"
#include "tsaveidform.h"
#include "tscanfingerform.h"
#include "tscanningform.h"
#include "tsetupform.h"
#include "ttestinfoform.h"
#include "tzuweisungsform.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Known before any window exists: the enrolment dialog reads its finger regions at creation.
Station initialStation(Clock &clock, OperatorUi &ui, const QString &programDir)
{
    Station station;
    station.ProgramDir = withTrailingDelimiter(programDir);
    station.clock = &clock;
    station.ui = &ui;
    return station;
}

}  // namespace

StationProgram::StationProgram(Clock &clock, OperatorUi &ui, const QString &programDir, const QString &libraryDir)
    : station(initialStation(clock, ui, programDir)), library(libraryDir), module(station, library)
{
    station.module = &module;

    // The windows in their fixed order; each lives until the program ends.
    mainform = std::make_unique<Tmainform>(station, programDir);
    dm = std::make_unique<Tdm>();
    station.dm = dm.get();
    Tmainform *main = mainform.get();
    setupform = std::make_unique<TSetupform>([this] { return serialPorts.portNames(); }, main);
    // The scanning dialog is handed to the enrolment dialog, so it exists first.
    scanningform = std::make_unique<Tscanningform>(main);
    scanfingerform = std::make_unique<Tscanfingerform>(station, *scanningform, main);
    saveidform = std::make_unique<TsaveidForm>(station, scanfingerform->Fingers, scanfingerform->Scans, main);
    testinfoform = std::make_unique<Ttestinfoform>(*saveidform, main);
    // The change dialog is handed to the person assignment window, so it exists first.
    chdataform = std::make_unique<Tchdataform>(station, scanfingerform->Fingers, main);
    zuweisungsform = std::make_unique<Tzuweisungsform>(station, *scanfingerform, *chdataform, main);
    gzuweisenform = std::make_unique<Tgzuweisenform>(station, main);
    scanfingerform->setSaveForm(saveidform.get());
    saveidform->setTestInfoForm(testinfoform.get());

    // At start-up the search takes the run's first listing, which the settings
    // dialog then reuses; after the dialog it lists again, for a bridge
    // plugged in meanwhile. Serial mode lists nothing.
    actions.UpdatePortCaption = [this] {
        mainform->setWindowTitle(UpdatePortCaption(station, [this] { return serialPorts.listed(); }));
    };
    actions.Einstellungen1Click = [this] {
        Einstellungen1Click(station, *setupform, [this] {
            mainform->setWindowTitle(UpdatePortCaption(station, [this] { return serialPorts.relisted(); }));
        });
    };
    actions.Erfassen1Click = [this] {
        scanfingerform->RescanMode = false;
        scanfingerform->exec();
    };
    actions.Zuweisen1Click = [this] { zuweisungsform->exec(); };
    actions.Gertezuweisen1Click = [this] { gzuweisenform->exec(); };
    actions.Firmwareladen1Click = [this] { Firmwareladen1Click(station); };
    mainform->setActions(actions);
}

StationProgram::~StationProgram() = default;

void installQtGerman(QTranslator &translator)
{
    if (translator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}
