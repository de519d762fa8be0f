// Start-up of the station's whole process up to its painted, filled status
// bar, paired round by round with an empty Qt main window whose status bar
// shows one text, both as processes of their own on the same platform.
//
//   bench-startup [--persons N] [--rounds R]
//
// Each round starts this program twice as a child: once running the station's
// program (the same windows and start-up as quorvel-pelvar) on a generated site of N persons
// (default 20,000) with its installation files copied from beside this
// program, once the empty window. A child ends, without tearing down, as soon
// as its status bar has painted; the time is from starting the child to its end.
#include "clock.h"
#include "paintprobe.h"
#include "rounds.h"
#include "sitegenerator.h"
#include "stationprogram.h"
#include "tmainform.h"
#include "widgetoperatorui.h"

#include "kolvschema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

namespace {

// Ends the child once the label has painted with a text (after the paint,
// not at its start).
class EndAtPaint : public QObject
{
public:
    explicit EndAtPaint(QLabel *label) : m_label(label) { label->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint && !m_label->text().isEmpty())
            QTimer::singleShot(0, [] {
                std::fflush(stdout);
                std::_Exit(0);
            });
        return QObject::eventFilter(watched, event);
    }

private:
    QLabel *m_label;
};

int runChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QByteArray kind(argv[2]);
    if (kind == "empty") {
        QMainWindow window;
        auto *label = new QLabel(QStringLiteral("Dienst läuft"), &window);
        window.statusBar()->addWidget(label);
        window.resize(544, 303);
        EndAtPaint end(label);
        window.show();
        return app.exec();
    }
    // What the program entry does, with the generated site's program folder.
    QApplication::setApplicationName(QStringLiteral("Quorvel-Pelvar"));
    QTranslator qtGerman;
    if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtGerman);
    Clock clock;
    WidgetOperatorUi operatorUi;
    const QString programDir = QString::fromLocal8Bit(argv[3]);
    StationProgram program(clock, operatorUi, programDir, programDir);
    EndAtPaint end(program.mainform->findChild<QLabel *>(QStringLiteral("sbarPanel0")));
    program.mainform->show();
    return app.exec();
}

double runOnce(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer t;
    t.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        std::fprintf(stderr, "child %s did not end at its painted status bar\n", qPrintable(arguments.join(' ')));
        child.kill();
        child.waitForFinished();
        std::exit(1);
    }
    return elapsedMs(t);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv);

    QCoreApplication app(argc, argv);
    int persons = 20000, roundCount = 7;
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == "--persons")
            persons = std::max(1, std::atoi(argv[++i]));
        else if (QByteArray(argv[i]) == "--rounds")
            roundCount = std::max(5, std::atoi(argv[++i]));
    }
    QTemporaryDir site, program;
    SiteSize size;
    size.persons = persons;
    const QString error = generateSite(site.path(), size);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QDir here(QCoreApplication::applicationDirPath());
    for (const char *file : {"libvexilmod.so", "finger.bin", "hands_small_256.bmp"})
        if (!QFile::copy(here.filePath(QString::fromLatin1(file)), QDir(program.path()).filePath(QString::fromLatin1(file))))
            std::fprintf(stderr, "%s not found beside this program\n", file);
    QFile ini(QDir(program.path()).filePath(QStringLiteral("data.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[APPLICATION]\r\nDATAPATH=" + site.path().toLocal8Bit() + "/\r\n");
    ini.close();

    std::printf("start-up on a site of %d persons, %d terminals; platform %s\n", persons, size.terminals,
                qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default"))));
    printHead(roundCount);
    const QStringList station{QStringLiteral("--child"), QStringLiteral("station"), program.path()};
    const QStringList empty{QStringLiteral("--child"), QStringLiteral("empty")};
    // One warm-up of each, so that the first round does not pay for a cold file cache alone.
    runOnce(station);
    runOnce(empty);
    Samples s, b;
    for (int i = 0; i < roundCount; ++i) {
        // Alternating which goes first, so that neither always follows the other.
        if (i % 2) {
            b.ms.push_back(runOnce(empty));
            s.ms.push_back(runOnce(station));
        } else {
            s.ms.push_back(runOnce(station));
            b.ms.push_back(runOnce(empty));
        }
    }
    printFigure("start-up to the painted status bar (process)", s, b, "<= 1.5x");
    return 0;
}
