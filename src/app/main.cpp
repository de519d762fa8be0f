// The program entry: the station's windows (stationprogram.h) with the
// operator's real message boxes, in German, until the main window closes.
#include "clock.h"
#include "stationprogram.h"
#include "widgetoperatorui.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The name titles the message boxes; the display name would be appended to every window title.
    QApplication::setApplicationName(QStringLiteral("Quorvel-Pelvar"));
    const QString programDir = QCoreApplication::applicationDirPath();
    QTranslator qtGerman;
    installQtGerman(qtGerman);

    Clock clock;
    WidgetOperatorUi operatorUi;
    StationProgram program(clock, operatorUi, programDir, programDir);
    program.mainform->show();
    return app.exec();
}
