// The station's whole program, from creating its windows to the end of the
// event loop; the program entry runs it, and so does the start-up benchmark.
#pragma once

#include <QString>
#include <functional>

class QApplication;
class Tmainform;

// Runs the station with its installation files (data.ini, the module library,
// the hand picture) in programDir. beforeShow sees the main window once every
// window exists, just before it is shown.
int runStation(QApplication &app, const QString &programDir,
               const std::function<void(Tmainform &)> &beforeShow = {});
