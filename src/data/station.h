// The run-wide fields that the main window owns and every window reads.
#pragma once

#include <QString>
#include <cstdint>

class Tdm;
class Tdbini;
class Clock;
class OperatorUi;
class ModuleSession;

struct Station
{
    Tdm *dm = nullptr;
    Tdbini *Settings = nullptr;  // exists from the start-up's settings step on
    Clock *clock = nullptr;
    OperatorUi *ui = nullptr;
    ModuleSession *module = nullptr;  // the one module session of the run

    QString ComPort;
    int32_t PortType = 0;  // 0 = USB bridge, anything else = serial
    bool ModuleOpen = false;
    uint8_t SyncMode = 0;  // 1 = at SyncTime, anything else = at once
    double SyncTime = 0;   // only its time of day is used
    uint8_t DataFormat = 1;
    uint8_t Security = 60;
    uint8_t Quality = 40;
    uint8_t MinMinutiae = 7;
    int32_t NofScans = 3;
    QString ProgramDir;  // ends in a path delimiter
    QString DataPath;    // ends in a path delimiter
    QString LastTerminalGroup;
    bool DataChanged = false;
};
