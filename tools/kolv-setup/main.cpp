// kolv-setup DIR [--server CONNECT] [--demo]: creates a Kolv installation in
// DIR, as an SQLite file or on a database server.
#include "kolvschema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll("--demo") > 0;
    QString connect;
    const int server = args.indexOf("--server");
    if (server >= 0 && server + 1 < args.size()) {
        connect = args.takeAt(server + 1);
        args.removeAt(server);
    }
    QTextStream err(stderr);
    if (args.size() != 1 || args.first().startsWith("--") || (server >= 0 && connect.isNull())) {
        err << "usage: kolv-setup DIR [--server CONNECT] [--demo]\n"
               "  DIR               the installation; its data dictionary is DIR/daten/kolv.add\n"
               "  --server CONNECT  keep the tables on the PostgreSQL server named by the libpq\n"
               "                    connection string CONNECT (no password: use ~/.pgpass)\n"
               "  --demo            add the demo terminal tree and settings\n";
        return 2;
    }
    const QString error = server >= 0 ? kolv::createServerInstallation(args.first(), connect, demo)
                                      : kolv::createInstallation(args.first(), demo);
    if (!error.isEmpty()) {
        err << "kolv-setup: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << "Kolv installation created in " << args.first() << "\n";
    return 0;
}
