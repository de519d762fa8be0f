#include "clock.h"
#include "handfixture.h"
#include "kolvfixture.h"
#include "scriptedoperatorui.h"
#include "station.h"
#include "tdbini.h"
#include "tsaveidform.h"
#include "tscanfingerform.h"
#include "tscanningform.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The enrolment dialog as the operator meets it around its scans: typing the
// person, "OK" into the transfer dialog and the save, and leaving without saving.
class TestEnrolmentDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir programDir;
    std::unique_ptr<KolvFixture> kolv;
    std::unique_ptr<Tdbini> settings;
    ScriptedOperatorUi ui;
    Clock clock;
    Station station;
    std::unique_ptr<Tscanningform> scanning;
    std::unique_ptr<Tscanfingerform> form;
    std::unique_ptr<TsaveidForm> saveForm;

    QLineEdit *pidedit() { return control<QLineEdit>(form.get(), "pidedit"); }
    QLineEdit *nameedit() { return control<QLineEdit>(form.get(), "nameedit"); }
    void type(QLineEdit *edit, const QString &text)
    {
        edit->setFocus(Qt::MouseFocusReason);
        typeText(edit, text);
    }
    // A finger with one scan of the given best score, as a finished series leaves it.
    void scanned(int fingerNo, int bestScore)
    {
        Tfinger &f = *form->Fingers.byNumber(fingerNo);
        f.ScanCount = 1;
        f.BestScan = 1;
        f.BestScore = bestScore;
        auto scan = std::make_unique<Tscan>();
        scan->FingerNo = fingerNo;
        scan->Best = true;
        scan->Score = bestScore;
        scan->TemplateLength = TEMPLATE_SIZE;
        form->Scans.append(std::move(scan));
        form->RankFingers();
    }
    QStringList stored()
    {
        QStringList all;
        for (const char *table : {"fingerid", "Fingerdata", "Fingerdata_archiv", "fingerid_to_geraet", "fingerstatus"})
            all << kolv->rows(QStringLiteral("select * from ") + QLatin1String(table) + QStringLiteral(" order by 1,2"));
        return all;
    }
    // Clicks "OK"; the transfer dialog, if it opens, is answered by inTransfer
    // from inside its own modal loop (and closed with "Abbrechen" if still open).
    bool pressOk(const std::function<void()> &inTransfer = {})
    {
        bool transferShown = false;
        QTimer::singleShot(0, saveForm.get(), [&] {
            transferShown = saveForm->isVisible();
            if (transferShown && inTransfer)
                inTransfer();
            if (saveForm->isVisible())
                saveForm->reject();
        });
        clickThroughWindow(control<QPushButton>(form.get(), "BitBtn1"));
        // Without a modal loop the timer would fire later; drain it now.
        QCoreApplication::processEvents();
        return transferShown;
    }

private slots:
    void initTestCase() { writeHandFiles(programDir.path() + "/"); }

    void init()
    {
        kolv = std::make_unique<KolvFixture>();
        QVERIFY2(kolv->ok(), qPrintable(kolv->error()));
        kolv->sql("insert into fingerid (pid,name) values (12,'Alt, Otto')");
        settings = std::make_unique<Tdbini>(kolv->dm());
        ui = ScriptedOperatorUi();
        station = Station();
        station.dm = &kolv->dm();
        station.Settings = settings.get();
        station.ui = &ui;
        station.clock = &clock;
        station.ProgramDir = programDir.path() + "/";
        station.LastTerminalGroup = QStringLiteral("Alle");
        clock.set(QDateTime(QDate(2011, 1, 31), QTime(8, 5, 9)));
        scanning = std::make_unique<Tscanningform>();
        form = std::make_unique<Tscanfingerform>(station, *scanning);
        saveForm = std::make_unique<TsaveidForm>(station, form->Fingers, form->Scans, form.get());
        form->setSaveForm(saveForm.get());
        form->RescanMode = false;
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup()
    {
        saveForm.reset();
        form.reset();
        scanning.reset();
    }

    void okRefusesBeforeTheTransferDialog_data()
    {
        QTest::addColumn<QString>("pid");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("scans");
        QTest::addColumn<QString>("message");
        QTest::newRow("no number") << "" << "Neu" << true << "Keine PersonalId eingetragen !!";
        QTest::newRow("no name") << "7" << "" << true << "Kein Name eingetragen !!";
        QTest::newRow("no scans") << "7" << "Neu" << false << "Keine Scandaten vorhanden !!";
        QTest::newRow("taken number") << "12" << "Neu" << true << "Personalid ist schon Alt, Otto zugeordnet";
        QTest::newRow("not a number") << "7x" << "Neu" << true
                                      << "'7x' ist kein gültiger Integerwert für Feld 'PID'";
    }
    void okRefusesBeforeTheTransferDialog()
    {
        QFETCH(QString, pid);
        QFETCH(QString, name);
        QFETCH(bool, scans);
        QFETCH(QString, message);
        if (scans)
            scanned(3, 40);
        type(nameedit(), name);
        type(pidedit(), pid);
        const QStringList before = stored();
        QVERIFY(!pressOk());
        // Clicking "OK" straight from the number field tells it once, not twice.
        QCOMPARE(ui.messages, QStringList{message});
        QVERIFY(form->isVisible());
        QCOMPARE(stored(), before);
        QVERIFY(!station.DataChanged);
    }

    void savedEnrolmentIsStoredAndRemembered()
    {
        scanned(3, 40);
        scanned(6, 50);
        type(pidedit(), "7");
        type(nameedit(), "Jürgens");
        const bool shown = pressOk([this] {
            auto *groups = control<QComboBox>(saveForm.get(), "Ggroupbox");
            groups->setFocus();
            // Chosen with the keyboard, by its first letter.
            QTest::keyClick(groups, Qt::Key_W);
            clickThroughWindow(control<QPushButton>(saveForm.get(), "setallbtn"));
            clickThroughWindow(control<QPushButton>(saveForm.get(), "BitBtn1"));
        });
        QVERIFY(shown);
        QCOMPARE(ui.messages, QStringList());
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(station.DataChanged);
        QCOMPARE(station.LastTerminalGroup, QStringLiteral("Werk Süd"));
        QCOMPARE(kolv->rows("select pid, name from fingerid where pid=7"), QStringList{"7|Jürgens"});
        QCOMPARE(kolv->rows("select fid from Fingerdata where pid=7 order by fid"), (QStringList{"3", "6"}));
        QCOMPARE(kolv->rows("select geraet from fingerid_to_geraet where pid=7 order by geraet"),
                 (QStringList{"4", "5", "6"}));
    }

    void failedSaveKeepsTheDialogOpen()
    {
        kolv->sql("create trigger broken before insert on Fingerdata begin select raise(abort,'kaputt'); end");
        scanned(3, 40);
        scanned(6, 50);
        type(pidedit(), "7");
        type(nameedit(), "Neu");
        const QStringList before = stored();
        QVERIFY(pressOk([this] { clickThroughWindow(control<QPushButton>(saveForm.get(), "BitBtn1")); }));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(ui.messages[0].contains("kaputt"), qPrintable(ui.messages[0]));
        QVERIFY(form->isVisible());
        QCOMPARE(form->Scans.size(), 2);
        QCOMPARE(stored(), before);
        QVERIFY(!station.DataChanged);
        QCOMPARE(station.LastTerminalGroup, QStringLiteral("Alle"));
    }

    void takenNumberToldOncePerLeavingOfTheField()
    {
        type(pidedit(), "12");
        QTest::keyClick(pidedit(), Qt::Key_Tab);
        QCOMPARE(ui.messages, QStringList{"Personalid ist schon Alt, Otto zugeordnet"});
        // Another window taking the focus, and giving it back, is no leaving.
        pidedit()->setFocus(Qt::MouseFocusReason);
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QApplication::setActiveWindow(form.get());
        QCOMPARE(ui.messages.size(), 1);
        QTest::keyClick(pidedit(), Qt::Key_Tab);
        QCOMPARE(ui.messages.size(), 2);
    }

    void rescanKeepsTheNumberItWasOpenedFor()
    {
        form->hide();
        pidedit()->setText("12");
        nameedit()->setText("Alt, Otto");
        form->RescanMode = true;
        form->show();
        QVERIFY(pidedit()->isReadOnly());
        pidedit()->setFocus(Qt::MouseFocusReason);
        pidedit()->selectAll();
        typeText(pidedit(), "99");
        QCOMPARE(pidedit()->text(), QStringLiteral("12"));
        form->hide();
        form->RescanMode = false;
        form->show();
        QVERIFY(!pidedit()->isReadOnly());
    }

    void leavingWithScansAsksFirst_data()
    {
        QTest::addColumn<bool>("scans");
        QTest::addColumn<bool>("byEsc");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("closed");
        QTest::newRow("no scans") << false << false << false << true;
        QTest::newRow("Abbrechen, Nein") << true << false << false << false;
        QTest::newRow("Esc, Nein") << true << true << false << false;
        QTest::newRow("Abbrechen, Ja") << true << false << true << true;
    }
    void leavingWithScansAsksFirst()
    {
        QFETCH(bool, scans);
        QFETCH(bool, byEsc);
        QFETCH(bool, answer);
        QFETCH(bool, closed);
        if (scans)
            scanned(3, 40);
        ui.setNextAnswer(answer);
        if (byEsc)
            keyThroughWindow(form.get(), Qt::Key_Escape);
        else
            clickThroughWindow(control<QPushButton>(form.get(), "BitBtn2"));
        QCOMPARE(ui.questions, scans ? QStringList{"Scandaten verwerfen ??"} : QStringList());
        if (scans)
            QCOMPARE(ui.defaults.value(0), OperatorUi::Default::No);
        QCOMPARE(form->isVisible(), !closed);
    }
};

QTEST_MAIN(TestEnrolmentDialog)
#include "tst_enrolmentdialog.moc"
