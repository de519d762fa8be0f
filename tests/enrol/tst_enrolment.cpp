#include "handfixture.h"
#include "kolvfixture.h"
#include "modulelibrary.h"
#include "modulesession.h"
#include "scriptedoperatorui.h"
#include "simcontrol.h"
#include "station.h"
#include "tbioscanfinger.h"
#include "tdbini.h"
#include "tscanfingerform.h"
#include "tscanningform.h"
#include "handpicturebox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestEnrolment : public QObject
{
    Q_OBJECT

private:
    SimControl sim;
    QTemporaryDir programDir;
    std::unique_ptr<KolvFixture> kolv;
    std::unique_ptr<Tdbini> settings;
    std::unique_ptr<ModuleLibrary> library;
    std::unique_ptr<ModuleSession> session;
    ScriptedOperatorUi ui;
    Station station;
    std::unique_ptr<Tscanningform> scanning;
    std::unique_ptr<Tscanfingerform> form;

    QString memo() { return control<QPlainTextEdit>(scanning.get(), "scanmemo")->toPlainText(); }
    QString results() { return control<QPlainTextEdit>(form.get(), "resultmemo")->toPlainText(); }
    void setScanLimit(int n) { settings->WriteInteger("PELVAR", "NOFSCANS", n); }

    // Makes the finger current and double-clicks it; body runs inside the
    // scanning dialog's own modal loop. Returns when the dialog has closed.
    void runSeries(int fingerNo, const std::function<void()> &body)
    {
        form->picboxMouseMove(centreOf(fingerNo).x(), centreOf(fingerNo).y());
        QCOMPARE(form->CurrentFinger->FingerNo, fingerNo);
        bool ran = false;
        QTimer::singleShot(0, scanning.get(), [&] {
            ran = true;
            body();
            // Whatever the body left open must not block the test.
            if (scanning->isVisible())
                scanning->reject();
        });
        form->picboxDblClick();
        QVERIFY(!scanning->isVisible());
        QVERIFY(ran);
    }

    Tfinger &finger(int n) { return *form->Fingers.byNumber(n); }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim.ok(), qPrintable(sim.error()));
        writeHandFiles(programDir.path() + "/");
        kolv = std::make_unique<KolvFixture>(false);
        QVERIFY2(kolv->ok(), qPrintable(kolv->error()));
        settings = std::make_unique<Tdbini>(kolv->dm());
        library = std::make_unique<ModuleLibrary>(SimControl::binDir());
        QVERIFY2(library->loaded(), qPrintable(library->loadError()));
        station.ui = &ui;
        station.Settings = settings.get();
        station.ProgramDir = programDir.path() + "/";
        station.ComPort = "COM3";
        session = std::make_unique<ModuleSession>(station, *library);
        station.module = session.get();
    }

    void init()
    {
        QVERIFY(sim.reset());
        station.ModuleOpen = false;
        session->ModuleInitialised = false;
        ui.messages.clear();
        setScanLimit(3);
        scanning = std::make_unique<Tscanningform>();
        form = std::make_unique<Tscanfingerform>(station, *scanning);
        form->show();
    }

    void cleanup()
    {
        form.reset();
        scanning.reset();
    }

    void fullSeriesIsScoredAndRanked()
    {
        setScanLimit(2);
        runSeries(6, [&] {
            QCOMPARE(scanning->windowTitle(), QStringLiteral("Scanning"));
            scanning->scanbtnClick();
            QTRY_COMPARE_WITH_TIMEOUT(memo(), QStringLiteral("Warten"), 3000);
            QTRY_VERIFY_WITH_TIMEOUT(!scanning->isVisible(), 5000);
        });
        QCOMPARE(finger(6).ScanCount, 2);
        QCOMPARE(form->Scans.size(), 2);
        QCOMPARE(results(), QStringLiteral("OK\nOK"));
        QCOMPARE(finger(6).Rank, 1);
        QVERIFY(finger(6).BestScan == 1 || finger(6).BestScan == 2);
        QCOMPARE(finger(6).BestScore, form->Scans.FindScan(6, finger(6).BestScan)->Score);
        QVERIFY(form->Scans.FindScan(6, finger(6).BestScan)->Best);
        QCOMPARE(finger(1).Rank, -1);
        QCOMPARE(sim.calls("VXMMatchTemplate"), 2);
        QVERIFY(!station.ModuleOpen);  // closed after the series
    }

    void oneScanLimitClosesWithoutWaiting()
    {
        setScanLimit(1);
        QStringList seen;
        runSeries(2, [&] {
            scanning->scanbtnClick();
            seen << memo();
            QTRY_VERIFY_WITH_TIMEOUT(!scanning->isVisible(), 3000);
        });
        QCOMPARE(seen, QStringList{"Scanne Finger Nr.2\nScan Nr.1"});
        QCOMPARE(finger(2).ScanCount, 1);
        QCOMPARE(form->Scans.at(0).Score, 10);
        QCOMPARE(finger(2).BestScan, 1);
    }

    void oneScanScoresWithOnlyCloseModule()
    {
        form->picboxMouseMove(centreOf(4).x(), centreOf(4).y());
        auto scan = std::make_unique<Tscan>();
        scan->FingerNo = 4;
        form->Scans.append(std::move(scan));
        finger(4).ScanCount = 1;
        const char *functions[] = {"VXMComOpen", "VXMInit", "VXMDeleteTemplate", "VXMSetTemplate",
                                   "VXMMatchTemplate", "VXMScanFinger"};
        form->ScoreFinger(finger(4));
        for (const char *f : functions)
            QCOMPARE(sim.calls(f), 0);
        QCOMPARE(sim.calls("VXMComClose"), 1);
        QCOMPARE(form->Scans.at(0).Score, 10);
    }

    void scanLimitMessage()
    {
        setScanLimit(3);
        form->picboxMouseMove(centreOf(5).x(), centreOf(5).y());
        finger(5).ScanCount = 3;
        bool opened = false;
        QTimer::singleShot(0, scanning.get(), [&] {
            opened = scanning->isVisible();
            scanning->reject();
        });
        form->picboxDblClick();
        QCOMPARE(ui.messages, QStringList{"Es sind bereits 3 Scans vorhanden"});
        QVERIFY(!opened);
        QTest::qWait(10);  // lets the pending check run outside any dialog
    }

    void portFailureReturnsToStart()
    {
        QVERIFY(sim.command("PORTFAIL"));
        runSeries(3, [&] {
            scanning->scanbtnClick();
            QCOMPARE(ui.messages, QStringList{"Kann Comport nicht öffnen"});
            QVERIFY(control<QPushButton>(scanning.get(), "scanbtn")->isEnabled());
            QVERIFY(!control<QPushButton>(scanning.get(), "cnxbtn")->isEnabled());
            QVERIFY(control<QPlainTextEdit>(scanning.get(), "scanmemo")->isHidden());
            QVERIFY(!form->KeepScanning);
        });
        QCOMPARE(finger(3).ScanCount, 0);
    }

    void failedOrCancelledScanEndsTheSeries_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("module error") << false << "7";
        QTest::newRow("Abbrechen") << true << "abgebrochen";
    }

    void failedOrCancelledScanEndsTheSeries()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, lastLine);
        runSeries(7, [&] {
            scanning->scanbtnClick();
            QTRY_COMPARE_WITH_TIMEOUT(memo(), QStringLiteral("Warten"), 3000);
            QVERIFY(sim.command(cancel ? "NOFINGER" : "ERROR 7"));
            QTRY_COMPARE_WITH_TIMEOUT(memo(), QStringLiteral("Scanne Finger Nr.7\nScan Nr.2"), 3000);
            if (cancel) {
                QTest::qWait(100);
                QVERIFY(scanning->isVisible());
                scanning->cnxbtnClick();
            }
            QTRY_VERIFY_WITH_TIMEOUT(!scanning->isVisible(), 3000);
        });
        QCOMPARE(results(), "OK\n" + lastLine);
        QCOMPARE(finger(7).ScanCount, 1);
        QCOMPARE(form->Scans.size(), 1);
        QCOMPARE(form->Scans.at(0).Score, 10);
        QCOMPARE(finger(7).BestScan, 1);
        QCOMPARE(finger(7).Rank, 1);
    }

    void cancelWhileWaitingStartsTheNextScan()
    {
        setScanLimit(2);
        runSeries(1, [&] {
            scanning->scanbtnClick();
            QTRY_COMPARE_WITH_TIMEOUT(memo(), QStringLiteral("Warten"), 3000);
            scanning->cnxbtnClick();
            QVERIFY(!form->KeepScanning);
            QTRY_VERIFY_WITH_TIMEOUT(!scanning->isVisible(), 5000);
        });
        QCOMPARE(results(), QStringLiteral("OK\nOK"));
        QCOMPARE(finger(1).ScanCount, 2);
    }

    void closingWhileWaitingStartsNoScan()
    {
        runSeries(8, [&] {
            scanning->scanbtnClick();
            QTRY_COMPARE_WITH_TIMEOUT(memo(), QStringLiteral("Warten"), 3000);
            scanning->close();  // the window's close button
        });
        QTest::qWait(1300);
        QCOMPARE(sim.calls("VXMScanFinger"), 1);
        QCOMPARE(finger(8).ScanCount, 1);
        QCOMPARE(form->Scans.at(0).Score, 10);
        QCOMPARE(results(), QStringLiteral("OK"));
    }

    void closingDuringACaptureScoresOnceTheWorkerLeft()
    {
        int errorReads = 0;
        int closes = 0;
        runSeries(9, [&] {
            scanning->scanbtnClick();
            QTRY_COMPARE_WITH_TIMEOUT(memo(), QStringLiteral("Warten"), 3000);
            // The simulator answers nobody while a capture runs: count first.
            closes = sim.calls("VXMComClose");
            QVERIFY(sim.command("NOFINGER"));
            QTRY_COMPARE_WITH_TIMEOUT(memo(), QStringLiteral("Scanne Finger Nr.9\nScan Nr.2"), 3000);
            QTest::qWait(100);  // the capture now waits for a finger
            scanning->close();
            // Scoring waited for the worker: its capture and error read-out are done.
            errorReads = sim.calls("VXMGetLastErrorNum");
        });
        QCOMPARE(errorReads, 1);
        QCOMPARE(finger(9).ScanCount, 1);
        QCOMPARE(form->Scans.at(0).Score, 10);
        QCOMPARE(finger(9).BestScan, 1);
        // The abandoned capture reports later; it is listed, but neither adds
        // a scan nor scores a second time.
        QTRY_COMPARE_WITH_TIMEOUT(results(), QStringLiteral("OK\nabgebrochen"), 3000);
        QTest::qWait(50);
        QCOMPARE(sim.calls("VXMComClose"), closes + 1);
        QCOMPARE(form->Scans.size(), 1);

        // The finger can be opened again and takes the missing scans.
        setScanLimit(2);
        runSeries(9, [&] {
            scanning->scanbtnClick();
            QTRY_VERIFY_WITH_TIMEOUT(!scanning->isVisible(), 3000);
        });
        QCOMPARE(finger(9).ScanCount, 2);
        QCOMPARE(form->Scans.FindScan(9, 2)->ScanIndex, 1);
    }

    void lateResultDoesNotTouchTheNextSeries()
    {
        // Closing during a capture and opening another finger at once: the
        // first capture's result arrives while the second series is open.
        setScanLimit(1);
        runSeries(2, [&] {
            QVERIFY(sim.command("NOFINGER"));
            scanning->scanbtnClick();
            QTest::qWait(100);
            scanning->close();
            // Without an event loop: the abandoned capture's result is posted
            // now and is delivered only once the next series is open.
            QThread::msleep(200);
        });
        bool openAtStart = false;
        runSeries(3, [&] {
            openAtStart = scanning->isVisible();
            scanning->scanbtnClick();
            QTRY_VERIFY_WITH_TIMEOUT(!scanning->isVisible(), 3000);
        });
        QVERIFY(openAtStart);
        QTRY_COMPARE_WITH_TIMEOUT(results(), QStringLiteral("abgebrochen\nOK"), 3000);
        QCOMPARE(finger(2).ScanCount, 0);
        QCOMPARE(finger(3).ScanCount, 1);
        QCOMPARE(finger(3).BestScan, 1);  // scored when its own series closed
        QCOMPARE(form->Scans.at(0).Score, 10);
    }

    void pointerListsScansAndMarksFingers()
    {
        auto add = [this](int fingerNo, int index, int quality, int minutiae, int score) {
            auto s = std::make_unique<Tscan>();
            s->FingerNo = fingerNo;
            s->ScanIndex = index;
            s->Template[9] = uint8_t(quality);
            s->Template[10] = uint8_t(minutiae);
            s->Score = score;
            form->Scans.append(std::move(s));
        };
        add(2, 0, 61, 23, 40);
        add(2, 1, 70, 31, 45);
        add(3, 0, 50, 20, 10);
        finger(2).ScanCount = 2;
        finger(2).BestScan = 2;
        finger(2).BestScore = 45;
        finger(3).ScanCount = 1;
        finger(3).BestScan = 1;
        finger(3).BestScore = 10;
        form->RankFingers();

        form->picboxMouseMove(0, 0);  // outside every finger: nothing changes
        QCOMPARE(control<QLabel>(form.get(), "Label1")->text(), QStringLiteral("kein Finger gewählt"));
        QVERIFY(!form->CurrentFinger);

        form->picboxMouseMove(centreOf(2).x(), centreOf(2).y());
        QCOMPARE(results(), QStringLiteral("Finger:2\nScan:1\nQualität: 61\nAnzahl Minutien: 23\nScore:40\n"
                                           "*Scan:2\nQualität: 70\nAnzahl Minutien: 31\nScore:45"));
        QCOMPARE(control<QLabel>(form.get(), "Label1")->text(), QStringLiteral("Finger:2"));

        form->picboxMouseMove(centreOf(1).x(), centreOf(1).y());
        QCOMPARE(results(), QString());  // a finger without scans lists nothing
        HandPictureBox *picbox = control<HandPictureBox>(form.get(), "picbox");
        auto colourAt = [picbox](int n) { return QColor(picbox->pixel(centreOf(n).x(), centreOf(n).y())); };
        QCOMPARE(colourAt(1), QColor(0, 0, 255));
        QCOMPARE(colourAt(2), QColor(0, 128, 0));
        QCOMPARE(colourAt(3), QColor(255, 255, 0));
        QCOMPARE(colourAt(4), QColor(255, 255, 255));
        // The fill covers the drawn finger area, not beyond its outline.
        QCOMPARE(QColor(picbox->pixel(24 * 3 - 19, 41)), QColor(255, 255, 0));
        QCOMPARE(QColor(picbox->pixel(24 * 3 - 20, 41)), QColor(Qt::black));

        // The paint the marks asked for shows them; any later repaint shows
        // the plain picture again.
        QCOMPARE(QColor(picbox->grab().toImage().pixel(centreOf(2))), QColor(0, 128, 0));
        QCOMPARE(QColor(picbox->grab().toImage().pixel(centreOf(2))), HandSkin);
        QCOMPARE(colourAt(2), HandSkin);
    }

    void deletingFingerData()
    {
        form->PopupMenu1Popup();  // before any finger was current: nothing
        form->Fingerdatenlschen1Click();

        for (int n : {4, 5}) {
            auto s = std::make_unique<Tscan>();
            s->FingerNo = n;
            form->Scans.append(std::move(s));
            finger(n).ScanCount = 1;
            finger(n).BestScan = 1;
            finger(n).BestScore = 10 * n;
        }
        finger(4).Selected = true;
        form->RankFingers();
        QCOMPARE(finger(4).Rank, 2);

        form->picboxMouseMove(centreOf(5).x(), centreOf(5).y());
        form->PopupMenu1Popup();
        form->picboxMouseMove(centreOf(4).x(), centreOf(4).y());  // the menu keeps finger 5
        form->Fingerdatenlschen1Click();
        QCOMPARE(form->Scans.size(), 1);
        QCOMPARE(form->Scans.at(0).FingerNo, 4);
        QCOMPARE(finger(5).ScanCount, 0);
        QCOMPARE(finger(5).BestScan, -1);
        QCOMPARE(finger(5).Rank, -1);
        QCOMPARE(finger(4).Rank, 1);
        QVERIFY(finger(4).Selected);
    }

    // The name field stops at 50 characters, counted as characters: typing
    // on stops there, and 50 characters outside the Basic Multilingual
    // Plane (100 UTF-16 units) fit whole.
    void nameFieldCountsCharacters()
    {
        QLineEdit *edit = form->nameedit();
        edit->setFocus();
        QTest::keyClicks(edit, QString(60, 'a'));
        QCOMPARE(edit->text(), QString(50, 'a'));
        edit->clear();
        const QString clef = QString::fromUcs4(U"\U0001D11E");
        edit->insert(clef.repeated(50));
        QCOMPARE(edit->text(), clef.repeated(50));
        edit->insert(QStringLiteral("x"));
        QCOMPARE(edit->text(), clef.repeated(50));
    }

    // A damaged region file: one message naming it when the dialog is made,
    // and pointer moves and clicks over the picture reach no finger.
    void unusableRegionFile()
    {
        QTemporaryDir badDir;
        writeHandFiles(badDir.path() + "/");
        QFile regions(badDir.path() + "/finger.bin");
        QVERIFY(regions.open(QIODevice::ReadWrite));
        const char extreme[8] = {0, 0, 0, '\x80', '\xff', '\xff', '\xff', '\x7f'};  // Left INT32_MIN, Top INT32_MAX
        regions.write(extreme, 8);
        regions.close();
        form.reset();
        station.ProgramDir = badDir.path() + "/";
        form = std::make_unique<Tscanfingerform>(station, *scanning);
        station.ProgramDir = programDir.path() + "/";
        form->show();
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(ui.messages[0].contains(QDir::toNativeSeparators(badDir.path() + "/finger.bin")),
                 qPrintable(ui.messages[0]));
        HandPictureBox *picbox = control<HandPictureBox>(form.get(), "picbox");
        for (int n = 1; n <= 10; ++n)
            QTest::mouseMove(picbox, centreOf(n));
        QTest::mouseDClick(picbox, Qt::LeftButton, {}, centreOf(3));
        QVERIFY(!form->CurrentFinger);
        QVERIFY(!scanning->isVisible());
        QCOMPARE(ui.messages.size(), 1);
    }

    void showingResetsTheFingers()
    {
        finger(3).ScanCount = 2;
        finger(3).BestScan = 1;
        finger(3).Rank = 1;
        form->Scans.append(std::make_unique<Tscan>());
        form->picboxMouseMove(centreOf(3).x(), centreOf(3).y());
        form->hide();
        form->show();
        QVERIFY(!form->CurrentFinger);
        QCOMPARE(form->Scans.size(), 0);
        QCOMPARE(finger(3).ScanCount, 0);
        QCOMPARE(finger(3).BestScan, 0);
        QCOMPARE(finger(3).Rank, 0);
        QCOMPARE(control<QLabel>(form.get(), "Label1")->text(), QStringLiteral("Finger:3"));  // kept until the pointer moves
    }

    void destroyingWhileTheWorkerWaitsInAHandOver()
    {
        form->picboxMouseMove(centreOf(2).x(), centreOf(2).y());
        scanning->Finger = &finger(2);
        form->StartScan();
        QVERIFY(form->ScanWorker());
        // No event loop runs, so the hand-over cannot: the worker waits in it.
        QThread::msleep(300);
        QCOMPARE(sim.calls("VXMScanFinger"), 1);
        QElapsedTimer timer;
        timer.start();
        form.reset();
        QVERIFY(timer.elapsed() < 2000);
        QTest::qWait(50);  // the dropped hand-over must not reach the freed dialog
    }
};

QTEST_MAIN(TestEnrolment)
#include "tst_enrolment.moc"
