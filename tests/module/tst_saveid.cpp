#include "handfixture.h"
#include "kolvfixture.h"
#include "modulelibrary.h"
#include "modulesession.h"
#include "scriptedoperatorui.h"
#include "simcontrol.h"
#include "station.h"
#include "tbiotestfinger.h"
#include "tdbini.h"
#include "tsaveidform.h"
#include "ttestinfoform.h"
#include "handpicturebox.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>
#include <QTimer>

class TestSaveid : public QObject
{
    Q_OBJECT

    QTemporaryDir programDir;
    SimControl sim;
    std::unique_ptr<ModuleLibrary> library;
    std::unique_ptr<KolvFixture> kolv;
    std::unique_ptr<Tdbini> settings;
    ScriptedOperatorUi ui;
    Station station;
    std::unique_ptr<ModuleSession> session;
    FingerList fingers;
    ScanList scans;

    // A finger with one scan, its best score given; the template is a real
    // capture of the named virtual finger when one is asked for.
    void scanned(int fingerNo, int bestScore, const char *virtualFinger = nullptr)
    {
        Tfinger &f = *fingers.byNumber(fingerNo);
        f.ScanCount = 1;
        f.BestScan = 1;
        f.BestScore = bestScore;
        auto scan = std::make_unique<Tscan>();
        scan->FingerNo = fingerNo;
        scan->Best = true;
        scan->TemplateLength = 20;
        if (virtualFinger) {
            QVERIFY(sim.command(QByteArray("FINGER ") + virtualFinger));
            QVERIFY(library->ScanFinger(1));
            int32_t length = TEMPLATE_SIZE;
            QVERIFY(library->GetTemplate(&length, scan->Template));
            scan->TemplateLength = length;
        }
        scans.append(std::move(scan));
    }

    // The transfer dialog with its result dialog, shown for the person, ready for "Testen".
    struct TestDialogs
    {
        TsaveidForm form;
        Ttestinfoform info;
        TestDialogs(Station &station, FingerList &fingers, ScanList &scans, const QString &pid)
            : form(station, fingers, scans), info(form)
        {
            form.setTestInfoForm(&info);
            form.show();
            form.setPerson(pid, QStringLiteral("B"), false);
        }
    };

    // Fingers in the order the ranking leaves them: ascending best score.
    void rank()
    {
        for (int i = 0; i < 10; ++i)
            for (int j = 0; j + 1 < 10 - i; ++j)
                if (fingers.at(j).BestScore > fingers.at(j + 1).BestScore)
                    fingers.swap(j, j + 1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim.ok(), qPrintable(sim.error()));
        library = std::make_unique<ModuleLibrary>(SimControl::binDir());
        QVERIFY2(library->loaded(), qPrintable(library->loadError()));
        writeHandFiles(programDir.path() + "/");
    }

    void init()
    {
        QVERIFY(sim.reset());
        kolv = std::make_unique<KolvFixture>();
        QVERIFY2(kolv->ok(), qPrintable(kolv->error()));
        settings = std::make_unique<Tdbini>(kolv->dm());
        station = Station();
        station.dm = &kolv->dm();
        station.Settings = settings.get();
        station.ui = &ui;
        station.ComPort = QStringLiteral("COM3");
        station.ProgramDir = programDir.path() + "/";
        session = std::make_unique<ModuleSession>(station, *library);
        station.module = session.get();
        ui = ScriptedOperatorUi();
        fingers.reset();
        scans.clear();
        QFile regions(station.ProgramDir + "finger.bin");
        QVERIFY(regions.open(QIODevice::ReadOnly));
        const QByteArray bytes = regions.readAll();
        for (int n = 1; n <= 10; ++n) {
            TRegion &r = fingers.byNumber(n)->Region;
            const char *p = bytes.constData() + 16 * (n - 1);
            r = {qFromLittleEndian<int32_t>(p), qFromLittleEndian<int32_t>(p + 4), qFromLittleEndian<int32_t>(p + 8),
                 qFromLittleEndian<int32_t>(p + 12)};
        }
    }

    // The name label is narrower than the longest name: what does not fit is
    // cut with a hint and the whole name is one hover away; markup stays text.
    void personNameShownWholeOrWithTooltip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fits");
        QTest::newRow("short") << QStringLiteral("Änne Öztürk") << true;
        QTest::newRow("fifty characters") << QStringLiteral("Maximiliane-Walburga Überreiter-Hohenzollernschmid")
                                          << false;
        QTest::newRow("markup") << QStringLiteral("<b>Ärger</b>") << true;
    }
    void personNameShownWholeOrWithTooltip()
    {
        QFETCH(QString, name);
        QFETCH(bool, fits);
        QVERIFY(name.size() <= 50);
        TsaveidForm form(station, fingers, scans);
        form.setPerson(QStringLiteral("17"), name, false);
        form.show();
        QLabel *label = control<QLabel>(&form, "namelabel");
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
        if (fits) {
            QCOMPARE(label->text(), name);
            QCOMPARE(label->toolTip(), QString());
        } else {
            QVERIFY(label->text().endsWith(QChar(0x2026)));
            QVERIFY(name.startsWith(label->text().chopped(1)));
            QCOMPARE(label->toolTip(), name);
        }
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }

    void preselectionAndFingerChoice()
    {
        scanned(2, 80);
        scanned(5, 60);
        scanned(8, 70);
        rank();
        TsaveidForm form(station, fingers, scans);
        form.show();
        QVERIFY(fingers.byNumber(5)->Selected);
        QVERIFY(fingers.byNumber(8)->Selected);
        QVERIFY(!fingers.byNumber(2)->Selected);
        // Green selected, yellow scanned, white without scans.
        HandPictureBox *picbox = control<HandPictureBox>(&form, "picbox");
        QCOMPARE(QColor(picbox->pixel(centreOf(5).x(), 90)), QColor(0, 128, 0));
        QCOMPARE(QColor(picbox->pixel(centreOf(2).x(), 90)), QColor(255, 255, 0));
        QCOMPARE(QColor(picbox->pixel(centreOf(1).x(), 90)), QColor(255, 255, 255));

        form.BitBtn1Click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        form.show();

        // A finger without scans is not chosen; clicking it only repaints.
        form.picboxMouseDown(centreOf(1).x(), 90);
        QVERIFY(!fingers.byNumber(1)->Selected);
        form.picboxMouseDown(centreOf(2).x(), 90);
        QCOMPARE(QColor(picbox->pixel(centreOf(2).x(), 90)), QColor(0, 128, 0));
        form.BitBtn1Click();
        QCOMPARE(ui.messages.value(0), QStringLiteral("Sie haben mehr als zwei Finger gewählt"));

        form.picboxMouseDown(centreOf(2).x(), 90);
        form.picboxMouseDown(centreOf(5).x(), 90);
        ui.setNextAnswer(false);
        form.setResult(0);
        form.BitBtn1Click();
        QCOMPARE(ui.questions.value(0), QStringLiteral("Sie haben nur einen Finger gewählt-Weiter ??"));
        QCOMPARE(ui.defaults.value(0), OperatorUi::Default::No);
        QVERIFY(form.isVisible());

        form.picboxMouseDown(centreOf(8).x(), 90);
        form.BitBtn1Click();
        QCOMPARE(ui.messages.value(1), QStringLiteral("Sie haben keinen Finger gewählt"));
        QVERIFY(form.isVisible());
    }

    void terminalsAndGroups()
    {
        // Groups of one level in German order: the umlaut beside its letter, not after "Z".
        kolv->sql("insert into geraetetree (typ,typid,parentref,ref,level,bezeichnung) "
                  "select 'O','90',parentref,'90',level,'Ämter' from geraetetree where bezeichnung='Werk Süd'");
        station.LastTerminalGroup = QStringLiteral("Werk Süd");
        TsaveidForm form(station, fingers, scans);
        form.show();
        QComboBox *groups = control<QComboBox>(&form, "Ggroupbox");
        QCOMPARE(groups->itemText(0), QStringLiteral("Alle"));
        QVERIFY(groups->findText("Ämter") >= 0);
        QCOMPARE(groups->findText("Ämter") + 1, groups->findText("Außenstelle"));
        QCOMPARE(form.groupText(), QStringLiteral("Werk Süd"));
        QListWidget *gbox = control<QListWidget>(&form, "gbox");
        QCOMPARE(gbox->item(0)->text(), QStringLiteral("Geräte"));
        QVERIFY(!(gbox->item(0)->flags() & Qt::ItemIsUserCheckable));
        QCOMPARE(gbox->count(), 4);  // Halle 2, Lager, Tor 'Süd'
        form.setallbtnClick();
        QCOMPARE(int(form.tickedTerminals().size()), 3);
        QCOMPARE(form.tickedTerminals()[2]->bezeichnung, QStringLiteral("Tor 'Süd'"));

        control<QComboBox>(&form, "Ggroupbox")->setCurrentIndex(control<QComboBox>(&form, "Ggroupbox")->findText("Außenstelle"));
        form.GgroupboxClick();
        QCOMPARE(gbox->count(), 1);
        form.setallbtnClick();
        QVERIFY(form.tickedTerminals().empty());
        QCOMPARE(station.LastTerminalGroup, QStringLiteral("Außenstelle"));
    }

    void testWritesEveryScannedFingerAndIdentifies()
    {
        QVERIFY(library->ComOpen("COM3"));
        QVERIFY(library->Init(1, 60, 40, 7));
        scanned(2, 80, "anna-2");
        scanned(5, 60, "anna-5");
        scanned(8, 70, "anna-8");
        library->ComClose();
        rank();
        TestDialogs dialogs(station, fingers, scans, QStringLiteral("17"));
        TsaveidForm &form = dialogs.form;
        Ttestinfoform &info = dialogs.info;

        // The finger not selected is written too, and recognised.
        QVERIFY(sim.command("FINGER anna-2"));
        form.Button1Click();
        QCOMPARE(info.lines().mid(0, 6),
                 (QStringList{"Initialisiere Scanner", "Lösche Scannerdatenbank", "schreibe Datenbank: Finger 5",
                              "schreibe Datenbank: Finger 8", "schreibe Datenbank: Finger 2", "Bitte Finger scannen"}));
        QCOMPARE(sim.calls("VXMWriteTemplate"), 3);
        QVERIFY(!control<QPushButton>(&info, "ntestbtn")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(control<QPushButton>(&info, "ntestbtn")->isEnabled(), 5000);
        QCOMPARE(info.lines().mid(6, 4),
                 (QStringList{"Ergebnis:", "Scan erfolgreich", "Personalid=17", "Fingerid=2"}));
        QVERIFY(info.lines().value(10).startsWith("Trefferquote="));

        QVERIFY(sim.command("FINGER"));
        QVERIFY(sim.command("UNKNOWN"));
        info.ntestbtnClick();
        QTRY_VERIFY_WITH_TIMEOUT(control<QPushButton>(&info, "ntestbtn")->isEnabled(), 5000);
        QCOMPARE(info.lines().mid(11),
                 (QStringList{"-------------------", "Bitte Finger scannen", "Ergebnis:", "Scan nicht erfolgreich"}));

        info.close();
        QVERIFY(!station.ModuleOpen);
        QCOMPARE(sim.calls("VXMComClose"), 2);
    }

    // The operator's way through a test: every button pressed with the mouse
    // while the transfer dialog (and the enrolment dialog under it) run
    // their own modal loops.
    void resultDialogTakesInputWhileTheTransferDialogIsOpen()
    {
        QVERIFY(library->ComOpen("COM3"));
        QVERIFY(library->Init(1, 60, 40, 7));
        scanned(2, 80, "anna-2");
        scanned(5, 60, "anna-5");
        library->ComClose();
        rank();
        QDialog enrolment;  // stands for the enrolment dialog that opened the transfer dialog
        enrolment.resize(300, 200);
        TsaveidForm form(station, fingers, scans, &enrolment);
        Ttestinfoform info(form);
        form.setTestInfoForm(&info);
        form.setPerson(QStringLiteral("17"), QStringLiteral("B"), false);
        QPushButton *next = control<QPushButton>(&info, "ntestbtn");
        const auto attemptDone = [&] { return QTest::qWaitFor([&] { return next->isEnabled(); }, 5000); };

        bool firstResult = false, secondResult = false, thirdResult = false, besideNotOver = false;
        QStringList afterTransferClosed;
        bool closedWhileTransferOpen = false, stillOpenAfterTransfer = false, moduleClosed = false;
        QTimer::singleShot(0, &enrolment, [&] {
            QTimer::singleShot(0, &form, [&] {
                QVERIFY(sim.command("FINGER anna-2"));
                clickThroughWindow(control<QPushButton>(&form, "Button1"));
                firstResult = attemptDone();
                besideNotOver = !info.frameGeometry().intersects(form.frameGeometry());
                QVERIFY(sim.command("FINGER anna-5"));
                clickThroughWindow(next);
                secondResult = attemptDone() && info.lines().contains("Fingerid=5");
                QVERIFY(sim.command("FINGER anna-2"));
                clickThroughWindow(next);
                thirdResult = attemptDone() && info.lines().count("Fingerid=2") == 2;
                clickThroughWindow(control<QPushButton>(&form, "BitBtn2"));
            });
            form.exec();
            // The transfer dialog is closed, the enrolment dialog still open.
            stillOpenAfterTransfer = info.isVisible();
            QVERIFY(sim.command("FINGER anna-5"));
            clickThroughWindow(next);
            attemptDone();
            afterTransferClosed = info.lines();
            clickThroughWindow(control<QPushButton>(&info, "cancelbtn"));
            closedWhileTransferOpen = !info.isVisible();
            moduleClosed = !station.ModuleOpen;
            enrolment.reject();
        });
        enrolment.exec();
        QVERIFY(firstResult);
        QVERIFY(secondResult);
        QVERIFY(thirdResult);
        QVERIFY(besideNotOver);
        QVERIFY(stillOpenAfterTransfer);
        QCOMPARE(afterTransferClosed.count("Fingerid=5"), 2);
        QVERIFY(closedWhileTransferOpen);
        QVERIFY(moduleClosed);
    }

    void closingTheResultDialogWhileTheTransferDialogRuns()
    {
        scanned(3, 50);
        TsaveidForm form(station, fingers, scans);
        Ttestinfoform info(form);
        form.setTestInfoForm(&info);
        form.setPerson(QStringLiteral("5"), QStringLiteral("B"), false);
        bool closed = false, moduleClosed = false;
        QTimer::singleShot(0, &form, [&] {
            QVERIFY(sim.command("NOFINGER"));
            clickThroughWindow(control<QPushButton>(&form, "Button1"));
            QVERIFY(form.testRunning());
            // The window's own close button, as the operator closes it.
            keyThroughWindow(&info, Qt::Key_Escape);
            closed = !info.isVisible();
            moduleClosed = !station.ModuleOpen;
            form.reject();
        });
        form.exec();
        QVERIFY(closed);
        QVERIFY(moduleClosed);
        QVERIFY(!form.testRunning());
    }

    void closingDuringAnAttemptAbandonsIt()
    {
        scanned(3, 50);
        scanned(4, 60);
        TestDialogs dialogs(station, fingers, scans, QStringLiteral("5"));
        TsaveidForm &form = dialogs.form;
        Ttestinfoform &info = dialogs.info;
        QVERIFY(sim.command("NOFINGER"));
        form.Button1Click();
        // The simulator's counters wait for the capture; only the dialog is asked now.
        QTest::qWait(200);
        QVERIFY(form.testRunning());

        // A second "Testen" would enter the library beside the waiting capture.
        form.Button1Click();
        QCOMPARE(ui.messages.value(0), QStringLiteral("Es läuft bereits ein Test"));

        const QStringList before = info.lines();
        info.close();
        // The port was closed only once the capture had given up in the library.
        QVERIFY(!station.ModuleOpen);
        QCOMPARE(sim.calls("VXMComClose"), 1);
        QCOMPARE(sim.calls("VXMDeleteTemplate"), 1);
        QCOMPARE(sim.calls("VXMScanFinger"), 1);
        QTest::qWait(200);
        QCOMPARE(info.lines(), before);
        QVERIFY(!form.testRunning());
    }

    void anotherUserOfTheModuleEndsTheTest()
    {
        scanned(3, 50);
        TestDialogs dialogs(station, fingers, scans, QStringLiteral("5"));
        TsaveidForm &form = dialogs.form;
        Ttestinfoform &info = dialogs.info;
        QVERIFY(sim.command("NOFINGER"));
        form.Button1Click();
        QTest::qWait(200);
        QVERIFY(form.testRunning());
        // The enrolment dialog starts a scan: the waiting attempt must go first.
        QVERIFY(session->OpenModule());
        QVERIFY(!info.isVisible());
        QVERIFY(!form.testRunning());
        QCOMPARE(sim.calls("VXMComClose"), 1);
        QVERIFY(station.ModuleOpen);
    }

    void closingAfterAFailedInitialisationClosesThePort()
    {
        scanned(3, 50);
        TestDialogs dialogs(station, fingers, scans, QStringLiteral("5"));
        QVERIFY(sim.command("INITFAIL"));
        clickThroughWindow(control<QPushButton>(&dialogs.form, "Button1"));
        QCOMPARE(dialogs.info.lines(), QStringList{"Initialisiere Scanner"});
        QVERIFY(station.ModuleOpen);
        clickThroughWindow(control<QPushButton>(&dialogs.info, "cancelbtn"));
        QVERIFY(!dialogs.info.isVisible());
        QVERIFY(!station.ModuleOpen);
        QCOMPARE(sim.calls("VXMComClose"), 1);
    }

    void badNumberWritesNothingToTheModule()
    {
        scanned(3, 50);
        TestDialogs dialogs(station, fingers, scans, QStringLiteral("12a"));
        TsaveidForm &form = dialogs.form;
        Ttestinfoform &info = dialogs.info;
        form.Button1Click();
        QCOMPARE(ui.messages.value(0), QStringLiteral("'12a' ist kein gültiger Integerwert für Feld 'PID'"));
        QCOMPARE(sim.calls("VXMWriteTemplate"), 0);
        QCOMPARE(form.TestWorker(), nullptr);
        info.close();
        QVERIFY(!station.ModuleOpen);
    }
};

QTEST_MAIN(TestSaveid)
#include "tst_saveid.moc"
