// station-screenshots OUTDIR INSTALLATION: runs the station's own windows on a
// Kolv installation (with its service running), enrols a few persons through
// the enrolment dialog and the module simulator as an operator would, and
// writes a picture of every window in a state worth seeing into OUTDIR.
//
// The windows are driven with real key and mouse events; modal windows from
// inside their own event loop. Message boxes are not shown: their texts are
// printed, and an unexpected one ends the run with an error, so that a picture
// never silently shows a failed step.
#include "bioobjects.h"
#include "clock.h"
#include "inifile.h"
#include "operatorui.h"
#include "stationprogram.h"
#include "tchdataform.h"
#include "tgzuweisenform.h"
#include "tsaveidform.h"
#include "tscanfingerform.h"
#include "tscanningform.h"
#include "tsetupform.h"
#include "ttestinfoform.h"
#include "tzuweisungsform.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace {

class PrintingUi : public OperatorUi
{
public:
    void message(const QString &text) override
    {
        std::fprintf(stderr, "screenshots: message \"%s\"\n", qPrintable(text));
        if (!expectMessages)
            failed = true;
    }
    bool confirm(const QString &text, Default defaultButton) override
    {
        std::fprintf(stderr, "screenshots: question \"%s\" answered %s\n", qPrintable(text),
                     defaultButton == Default::Yes ? "Ja" : "Nein");
        return defaultButton == Default::Yes;
    }
    QString chooseFolder(const QString &) override { return {}; }
    QString chooseFile() override { return {}; }

    bool expectMessages = false;
    bool failed = false;
};

struct Failure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// Lets the windows work until the condition holds; a step that never gets
// there ends the run instead of taking a picture of the wrong state.
void waitUntil(const std::function<bool()> &condition, const char *what, int timeoutMs = 20000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMs)
            throw Failure(std::string("timed out waiting for ") + what);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

// Runs body inside the modal loop that open starts, once window is shown.
// Whatever body leaves open is closed, so that the tour never hangs; an open
// that starts no loop (the station refused) ends the tour.
void inModal(QDialog *window, const std::function<void()> &open, const std::function<void()> &body)
{
    QString error;
    bool ran = false;
    // Owned here, so that it can never fire after this function has returned.
    QTimer start;
    start.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, window, [&] {
        ran = true;
        try {
            waitUntil([&] { return window->isVisible(); }, "a window to open");
            body();
        } catch (const Failure &e) {
            error = QString::fromStdString(e.what());
        }
        if (window->isVisible())
            window->reject();
    });
    start.start(0);
    open();
    if (!ran)
        throw Failure("the window " + window->objectName().toStdString() + " did not open");
    if (!error.isEmpty())
        throw Failure(error.toStdString());
}

template <typename T>
T *control(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        throw Failure(std::string("no control ") + name);
    return widget;
}

// Replaces what the field holds, typed key by key, umlauts included
// (keyClicks knows only ASCII keys).
void type(QLineEdit *field, const QString &text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(field, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    if (field->text() != text)
        throw Failure("typed " + text.toStdString() + ", the field holds " + field->text().toStdString());
}

// A mouse move without a button, as the hand picture sees it while the
// operator hovers (QTest's moves do not reach a widget on every platform).
void hover(QWidget *widget, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

void clickItem(QListWidget *list, int row)
{
    QListWidgetItem *item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

struct Person
{
    QString pid;
    QString name;
    QList<int> fingers;
    QString group;  // the terminal group whose terminals all receive the person
};

class Tour
{
public:
    Tour(StationProgram &program, PrintingUi &ui, const QString &outDir)
        : p(program), m_ui(ui), m_out(outDir)
    {
        QLibrary sim(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vexilmod")));
        m_simCommand = reinterpret_cast<SimCommand>(sim.resolve("VXMSimCommand"));
        if (!m_simCommand)
            throw Failure("the module library has no simulator control: " + sim.errorString().toStdString());
    }

    void run()
    {
        p.mainform->show();
        waitUntil([&] { return p.station.Settings != nullptr; }, "the station to connect");
        waitUntil([&] { return p.mainform->statusText(0) == QStringLiteral("Dienst:läuft"); }, "the Kolv service");

        settings();
        simulate("DELAY 0");
        enrol({"1001", "Änne Öztürk", {2, 3, 7}, "Werk Süd"}, true);
        for (const Person &person : {Person{"1002", "Maximiliane-Walburga Überreiter-Hohenzollernschmid", {2, 7},
                                            "Verwaltung"},
                                     Person{"1003", "Jörg Ärmelkanal", {1, 6}, "Werk Süd"},
                                     Person{"1004", "Ülkü Çelik", {7, 8}, "Verwaltung"}})
            enrol(person, false);
        personAssignment();
        terminalAssignment();
        mainWindow();
    }

private:
    using SimCommand = int32_t (*)(const char *);

    void simulate(const char *command)
    {
        if (m_simCommand(command) != 1)
            throw Failure(std::string("simulator refused ") + command);
    }

    // settle: let pending paints happen first. The enrolment dialog's marks
    // show only in the paint that follows a pointer move, so its picture is
    // taken straight after the move.
    void shot(QWidget *window, const char *name, bool settle = true)
    {
        if (settle)
            QCoreApplication::processEvents();
        const QString file = m_out + QLatin1String(name) + QStringLiteral(".png");
        if (!window->grab().save(file))
            throw Failure("cannot write " + file.toStdString());
        std::printf("screenshots: %s\n", qPrintable(file));
    }

    QAction *menu(const char *action) { return control<QAction>(p.mainform.get(), action); }

    void settings()
    {
        inModal(p.setupform.get(), [&] { menu("Einstellungen1")->trigger(); },
                [&] { shot(p.setupform.get(), "einstellungen"); });
    }

    // Hovers over the finger and double-clicks it; the series runs in the
    // scanning dialog until the scan limit closes it.
    void series(int fingerNo, bool pictures)
    {
        Tscanfingerform *form = p.scanfingerform.get();
        QWidget *picbox = control<QWidget>(form, "picbox");
        const TRegion &region = form->Fingers.byNumber(fingerNo)->Region;
        const QPoint centre(region.centreX(), region.centreY());
        hover(picbox, centre);
        if (!form->CurrentFinger || form->CurrentFinger->FingerNo != fingerNo)
            throw Failure("the finger under the mouse is not " + std::to_string(fingerNo));
        Tscanningform *scanning = p.scanningform.get();
        inModal(scanning, [&] { QTest::mouseDClick(picbox, Qt::LeftButton, {}, centre); }, [&] {
            if (pictures)
                shot(scanning, "scannen-bereit");
            // The finger takes its time, so that the picture shows the scan under way.
            if (pictures)
                simulate("DELAY 1500");
            click(scanning, "scanbtn");
            if (pictures) {
                QPlainTextEdit *memo = control<QPlainTextEdit>(scanning, "scanmemo");
                waitUntil([&] { return memo->toPlainText().contains(QStringLiteral("Scan Nr.2")); },
                          "the second scan");
                shot(scanning, "scannen");
                simulate("DELAY 0");
            }
            waitUntil([&] { return !scanning->isVisible(); }, "the series to end");
        });
        if (form->Fingers.byNumber(fingerNo)->BestScan < 1)
            throw Failure("finger " + std::to_string(fingerNo) + " has no best scan");
    }

    void enrol(const Person &person, bool pictures)
    {
        Tscanfingerform *form = p.scanfingerform.get();
        inModal(form, [&] { menu("Erfassen1")->trigger(); }, [&] {
            type(form->pidedit(), person.pid);
            type(form->nameedit(), person.name);
            for (int finger : person.fingers)
                series(finger, pictures && finger == person.fingers.first());
            if (pictures) {
                QCoreApplication::processEvents();
                // Pointing at a finger other than the best one shows every colour at once.
                const Tfinger *pointed = form->Fingers.byNumber(person.fingers.first());
                for (int finger : person.fingers)
                    if (form->Fingers.byNumber(finger)->Rank > pointed->Rank)
                        pointed = form->Fingers.byNumber(finger);
                hover(control<QWidget>(form, "picbox"),
                      QPoint(pointed->Region.centreX(), pointed->Region.centreY()));
                shot(form, "erfassen", false);
            }
            TsaveidForm *transfer = p.saveidform.get();
            inModal(transfer, [&] { click(form, "BitBtn1"); }, [&] {
                QComboBox *groups = control<QComboBox>(transfer, "Ggroupbox");
                const int group = groups->findText(person.group);
                if (group < 0)
                    throw Failure("no terminal group " + person.group.toStdString());
                groups->setCurrentIndex(group);
                emit groups->activated(group);
                click(transfer, "setallbtn");
                if (pictures) {
                    shot(transfer, "uebertragen");
                    test(transfer);
                }
                click(transfer, "BitBtn1");
                waitUntil([&] { return !transfer->isVisible(); }, "the transfer dialog to close");
            });
            waitUntil([&] { return !form->isVisible(); }, "the enrolment to be stored");
        });
    }

    // "Testen": the simulator presents one of the fingers just written.
    void test(TsaveidForm *transfer)
    {
        Ttestinfoform *result = p.testinfoform.get();
        click(transfer, "Button1");
        waitUntil([&] { return result->isVisible() && !transfer->testRunning(); }, "the test result");
        QPushButton *next = control<QPushButton>(result, "ntestbtn");
        waitUntil([&] { return next->isEnabled(); }, "Weitertesten");
        // One attempt in six presents a finger the module does not know: try
        // again, so that the picture shows a recognised finger as well.
        for (int attempt = 1; attempt < 6 && !result->lines().contains(QStringLiteral("Scan erfolgreich")); ++attempt) {
            QTest::mouseClick(next, Qt::LeftButton);
            waitUntil([&] { return next->isEnabled(); }, "Weitertesten");
        }
        shot(result, "testergebnis");
        click(result, "cancelbtn");
        waitUntil([&] { return !result->isVisible(); }, "the result dialog to close");
    }

    void personAssignment()
    {
        Tzuweisungsform *window = p.zuweisungsform.get();
        inModal(window, [&] { menu("Zuweisen1")->trigger(); }, [&] {
            QTableView *grid = window->pgrid();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(1, 1)).center());
            shot(window, "personen-zuweisen");
            Tchdataform *change = p.chdataform.get();
            inModal(change, [&] { window->Eintragbearbeiten1->trigger(); }, [&] {
                QListWidget *stored = change->fbox();
                if (stored->count() > 0)
                    clickItem(stored, 0);
                shot(change, "daten-aendern");
                click(change, "BitBtn2");
            });
        });
    }

    void terminalAssignment()
    {
        Tgzuweisenform *window = p.gzuweisenform.get();
        inModal(window, [&] { menu("Gertezuweisen1")->trigger(); }, [&] {
            QListWidget *terminals = window->gbox();
            const auto found = terminals->findItems(QStringLiteral("Empfang"), Qt::MatchExactly);
            clickItem(terminals, found.isEmpty() ? 0 : terminals->row(found.first()));
            shot(window, "geraete-zuweisen");
        });
    }

    // After "Quorvel-Terminals abgleichen", once the service has answered.
    void mainWindow()
    {
        m_ui.expectMessages = true;  // the request's confirmation
        const QString before = p.mainform->statusText(2);
        menu("QuorvelKolvGerteupdate1")->trigger();
        m_ui.expectMessages = false;
        waitUntil([&] { return p.mainform->statusText(2) != before; }, "the service to synchronise");
        shot(p.mainform.get(), "hauptfenster");
    }

    StationProgram &p;
    PrintingUi &m_ui;
    QString m_out;
    SimCommand m_simCommand = nullptr;
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel-Pelvar"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: station-screenshots OUTDIR INSTALLATION\n");
        return 2;
    }
    QTranslator qtGerman;
    installQtGerman(qtGerman);
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QStringLiteral("/");
    const QString installation = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QStringLiteral("/");
    QDir().mkpath(out);

    // A program directory of its own, so that the demo's data.ini stays as it is.
    QTemporaryDir programDir;
    const QString binDir = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    for (const char *file : {"hands_small_256.bmp", "finger.bin"})
        if (!QFile::copy(binDir + QLatin1String(file), programDir.filePath(QLatin1String(file)))) {
            std::fprintf(stderr, "screenshots: %s missing in %s\n", file, qPrintable(binDir));
            return 1;
        }
    IniFile(programDir.filePath(QStringLiteral("data.ini")))
        .writeString(QStringLiteral("APPLICATION"), QStringLiteral("DATAPATH"), installation);

    Clock clock;
    PrintingUi ui;
    StationProgram program(clock, ui, programDir.path(), binDir);
    int result = 0;
    QTimer::singleShot(0, [&] {
        try {
            Tour(program, ui, out).run();
        } catch (const Failure &e) {
            std::fprintf(stderr, "screenshots: %s\n", e.what());
            result = 1;
        }
        if (ui.failed)
            result = 1;
        QCoreApplication::exit(result);
    });
    app.exec();
    return result;
}
