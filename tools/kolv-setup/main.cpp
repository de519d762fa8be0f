// kolv-setup DIR [--demo]: creates a Kolv installation in DIR.
#include "kolvschema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll("--demo") > 0;
    QTextStream err(stderr);
    if (args.size() != 1) {
        err << "usage: kolv-setup DIR [--demo]\n";
        return 2;
    }
    const QString error = kolv::createInstallation(args.first(), demo);
    if (!error.isEmpty()) {
        err << "kolv-setup: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << "Kolv installation created in " << args.first() << "\n";
    return 0;
}
