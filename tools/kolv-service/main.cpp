// kolv-service DIR [--once] [--interval-ms N]: the stand-in for the Kolv
// synchronisation service on the installation in DIR.
#include "clock.h"
#include "dberror.h"
#include "kolvservice.h"
#include "quitonsignal.h"
#include "tdm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace {

void writeLine(FILE *stream, const QString &line)
{
    std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int usage()
{
    writeLine(stderr, QStringLiteral(
        "usage: kolv-service DIR [--once] [--interval-ms N]\n"
        "  DIR              the Kolv installation (DIR/daten/kolv.add)\n"
        "  --once           handle a pending request if it is due, then exit\n"
        "                   (SERVICE_ISALIVE stays untouched)\n"
        "  --interval-ms N  check for a request every N ms (default 1000)"));
    return 2;
}

// A lasting database error (a lock held elsewhere, a full disk) is reported
// once, not once per tick, and its end is reported too.
class ErrorLog
{
public:
    void failed(const QString &what, const DbError &e)
    {
        const QString text = what + QStringLiteral(": ") + e.text();
        if (text != m_last)
            writeLine(stderr, QStringLiteral("kolv-service: ") + text);
        m_last = text;
    }
    void succeeded()
    {
        if (!m_last.isEmpty())
            writeLine(stderr, QStringLiteral("kolv-service: Datenbank wieder erreichbar"));
        m_last.clear();
    }

private:
    QString m_last;
};

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString dir;
    bool once = false;
    int intervalMs = 1000;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--once")) {
            once = true;
        } else if (args[i] == QLatin1String("--interval-ms") && i + 1 < args.size()) {
            bool ok = false;
            intervalMs = args[++i].toInt(&ok);
            if (!ok || intervalMs <= 0)
                return usage();
        } else if (!args[i].startsWith(QLatin1String("--")) && dir.isEmpty()) {
            dir = args[i];
        } else {
            return usage();
        }
    }
    if (dir.isEmpty())
        return usage();

    // Opening a missing file would create an empty database in its place.
    const QString file = QDir(dir).filePath(QStringLiteral("daten/kolv.add"));
    if (!QFileInfo(file).isFile()) {
        writeLine(stderr, QStringLiteral("kolv-service: %1 nicht gefunden").arg(file));
        return 1;
    }
    Tdm db(QStringLiteral("kolv-service"));
    db.setConnectionPath(file);
    Clock clock;
    try {
        db.open();
    } catch (const DbError &e) {
        writeLine(stderr, QStringLiteral("kolv-service: %1: %2").arg(file, e.text()));
        return 1;
    }

    ErrorLog errors;
    auto handle = [&] {
        const QDateTime now = clock.now();
        if (const auto result = kolvservice::handlePendingRequest(db, now))
            writeLine(stdout, kolvservice::requestLogLine(now, *result));
    };

    if (once) {
        try {
            handle();
        } catch (const DbError &e) {
            errors.failed(QStringLiteral("Abgleich"), e);
            return 1;
        }
        return 0;
    }

    if (!quitOnSignal(app))
        writeLine(stderr, QStringLiteral("kolv-service: Signale können nicht abgefangen werden"));

    bool alive = false;
    auto tick = [&] {
        try {
            if (!alive) {
                kolvservice::setAlive(db, true);
                alive = true;
            }
            handle();
            errors.succeeded();
        } catch (const DbError &e) {
            errors.failed(alive ? QStringLiteral("Abgleich") : QStringLiteral("SERVICE_ISALIVE"), e);
        }
    };
    writeLine(stdout, kolvservice::didUpdateText(clock.now()) + QStringLiteral(" Dienst gestartet: ") + file);
    tick();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &app, tick);
    timer.start(intervalMs);
    app.exec();
    timer.stop();

    int rc = 0;
    try {
        kolvservice::setAlive(db, false);
    } catch (const DbError &e) {
        errors.failed(QStringLiteral("SERVICE_ISALIVE"), e);
        rc = 1;
    }
    writeLine(stdout, kolvservice::didUpdateText(clock.now()) + QStringLiteral(" Dienst beendet"));
    return rc;
}
