// The program entry.
#include "stationprogram.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return runStation(app, QCoreApplication::applicationDirPath());
}
