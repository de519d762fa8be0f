// handpicture OUTDIR: writes the hand picture and its finger regions, the
// installation data the station reads from its program directory.
#include "handpicture.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Text needs a font database, hence a GUI application; the offscreen
    // platform lets the build run it without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "Aufruf: handpicture AUSGABEVERZEICHNIS\n";
        return 2;
    }
    const QString error = writeInstallationData(args.at(1));
    if (!error.isEmpty()) {
        err << error << '\n';
        return 1;
    }
    return 0;
}
