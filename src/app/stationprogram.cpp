// The station's program: creates the data module, the module library and
// every window once, binds the main window's menu to them and runs the event
// loop.
#include "stationprogram.h"

#include "clock.h"
#include "firmwareloading.h"
#include "modulelibrary.h"
#include "modulesession.h"
#include "portdetection.h"
#include "settingsexchange.h"
#include "startup.h"
#include "station.h"
#include "tscanfingerform.h"
#include "tscanningform.h"
#include "tsaveidform.h"
#include "tchdataform.h"
#include "tgzuweisenform.h"
#include "tzuweisungsform.h"
#include "ttestinfoform.h"
#include "tdm.h"
#include "tmainform.h"
#include "tsetupform.h"
#include "widgetoperatorui.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int runStation(QApplication &app, const QString &programDir, const std::function<void(Tmainform &)> &beforeShow)
{
    // The name titles the message boxes; the display name would be appended to every window title.
    QApplication::setApplicationName(QStringLiteral("Quorvel-Pelvar"));
    // Qt's own dialogs (file and folder choosers, standard buttons) speak German
    // like the rest of the station; without the translation files they stay English.
    QTranslator qtGerman;
    if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtGerman);

    Clock clock;
    WidgetOperatorUi operatorUi;
    Station station;
    // Known before any window exists: the enrolment dialog reads its finger regions at creation.
    station.ProgramDir = withTrailingDelimiter(programDir);
    station.clock = &clock;
    station.ui = &operatorUi;
    ModuleLibrary library(programDir);
    ModuleSession module(station, library);
    station.module = &module;

    // The windows in their fixed order; each lives until the program ends.
    Tmainform mainform(station, programDir);
    Tdm dm;
    station.dm = &dm;
    SerialPorts serialPorts;
    TSetupform setupform([&] { return serialPorts.portNames(); }, &mainform);
    // The scanning dialog is handed to the enrolment dialog, so it exists first.
    Tscanningform scanningform(&mainform);
    Tscanfingerform scanfingerform(station, scanningform, &mainform);
    TsaveidForm saveidform(station, scanfingerform.Fingers, scanfingerform.Scans, &mainform);
    Ttestinfoform testinfoform(saveidform, &mainform);
    // The change dialog is handed to the person assignment window, so it exists first.
    Tchdataform chdataform(station, scanfingerform.Fingers, &mainform);
    Tzuweisungsform zuweisungsform(station, scanfingerform, chdataform, &mainform);
    Tgzuweisenform gzuweisenform(station, &mainform);
    scanfingerform.setSaveForm(&saveidform);
    saveidform.setTestInfoForm(&testinfoform);

    Tmainform::Actions actions;
    // At start-up the search takes the run's first listing, which the settings
    // dialog then reuses; after the dialog it lists again.
    actions.UpdatePortCaption = [&] {
        mainform.setWindowTitle(UpdatePortCaption(station, [&] { return serialPorts.listed(); }));
    };
    actions.Einstellungen1Click = [&] {
        Einstellungen1Click(station, setupform, [&] {
            mainform.setWindowTitle(UpdatePortCaption(station, [&] { return serialPorts.relisted(); }));
        });
    };
    actions.Erfassen1Click = [&] {
        scanfingerform.RescanMode = false;
        scanfingerform.exec();
    };
    actions.Zuweisen1Click = [&] { zuweisungsform.exec(); };
    actions.Gertezuweisen1Click = [&] { gzuweisenform.exec(); };
    actions.Firmwareladen1Click = [&] { Firmwareladen1Click(station); };
    mainform.setActions(actions);

    if (beforeShow)
        beforeShow(mainform);
    mainform.show();
    return app.exec();
}
