// The module session and the library loader, against the simulator built as
// the module library.
#include "modulelibrary.h"
#include "modulesession.h"
#include "scriptedoperatorui.h"
#include "simcontrol.h"
#include "station.h"

#include <QTest>
#include <cstring>
#include <memory>

namespace {

int32_t VXM_CALL keepScanning() { return 1; }
int32_t VXM_CALL stopScanning() { return 0; }

using Template = QByteArray;

const QString portFailure = QStringLiteral("Kann Comport nicht öffnen");

}  // namespace

class TestModuleSession : public QObject
{
    Q_OBJECT

private:
    SimControl sim;
    std::unique_ptr<ModuleLibrary> lib;
    Station station;
    ScriptedOperatorUi ui;
    std::unique_ptr<ModuleSession> session;

    // One capture as the scan worker makes it; an empty result when it failed.
    Template capture()
    {
        if (!lib->ScanFingerSetCallBack(keepScanning) || !lib->ScanFinger(1))
            return {};
        uint8_t buffer[VXM_TEMPLATE_SIZE] = {};
        int32_t length = VXM_TEMPLATE_SIZE;
        if (!lib->GetTemplate(&length, buffer) || length <= 0 || length > VXM_TEMPLATE_SIZE)
            return {};
        return Template(reinterpret_cast<const char *>(buffer), length);
    }

    // The station puts the person and the finger into the header before it
    // hands a template back to the module.
    static Template withHeader(Template t, int64_t pid, uint8_t finger)
    {
        t.resize(VXM_TEMPLATE_SIZE, '\0');
        for (int i = 0; i < 8; ++i)
            t[i] = char((uint64_t(pid) >> (8 * i)) & 0xFF);
        t[8] = char(finger);
        return t;
    }

    const uint8_t *bytes(const Template &t) { return reinterpret_cast<const uint8_t *>(t.constData()); }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim.ok(), qPrintable(sim.error()));
        lib = std::make_unique<ModuleLibrary>(SimControl::binDir());
        QVERIFY2(lib->loaded(), qPrintable(lib->loadError()));
        QVERIFY(lib->loadError().isEmpty());
    }

    void init()
    {
        QVERIFY(sim.reset());
        station = Station();
        station.ComPort = QStringLiteral("COM3");
        ui = ScriptedOperatorUi();
        station.ui = &ui;
        session = std::make_unique<ModuleSession>(station, *lib);
        station.module = session.get();
    }

    void openModuleReportsPortFailure_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("portFails");
        QTest::newRow("port refused") << QStringLiteral("COM3") << true;
        QTest::newRow("no bridge detected") << QString() << false;
    }

    void openModuleReportsPortFailure()
    {
        QFETCH(QString, port);
        QFETCH(bool, portFails);
        station.ComPort = port;
        if (portFails)
            QVERIFY(sim.command("PORTFAIL"));

        QVERIFY(!session->OpenModule());
        QCOMPARE(ui.messages, QStringList{portFailure});
        QVERIFY(!station.ModuleOpen);
        QVERIFY(!session->ModuleInitialised);
        QCOMPARE(sim.calls("VXMInit"), 0);
    }

    void openModuleInitialisesOnceUntilSettingsChange()
    {
        QVERIFY(session->OpenModule());
        QVERIFY(session->OpenModule());
        QVERIFY(station.ModuleOpen);
        QVERIFY(session->ModuleInitialised);
        QCOMPARE(sim.calls("VXMComOpen"), 1);  // an open port is not opened again
        QCOMPARE(sim.calls("VXMInit"), 1);

        session->CloseModule();
        QVERIFY(!station.ModuleOpen);
        QVERIFY(session->ModuleInitialised);  // survives the closing of the port
        QCOMPARE(sim.calls("VXMComClose"), 1);

        QVERIFY(session->OpenModule());
        QCOMPARE(sim.calls("VXMComOpen"), 2);
        QCOMPARE(sim.calls("VXMInit"), 1);

        session->ModuleInitialised = false;  // what accepting new settings does
        QVERIFY(session->OpenModule());
        QCOMPARE(sim.calls("VXMInit"), 2);
        QVERIFY(ui.messages.isEmpty());
    }

    void failedInitialisationIsSilentAndRetried()
    {
        QVERIFY(sim.command("INITFAIL"));
        QVERIFY(!session->OpenModule());
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(station.ModuleOpen);  // the port stays open for the next attempt
        QVERIFY(!session->ModuleInitialised);

        QVERIFY(session->OpenModule());
        QCOMPARE(sim.calls("VXMComOpen"), 1);
        QCOMPARE(sim.calls("VXMInit"), 2);
    }

    void capturesOfOneFingerMatchEachOther()
    {
        QVERIFY(sim.command("FINGER anna-3"));
        QVERIFY(session->OpenModule());
        QList<Template> scans;
        for (int i = 0; i < 3; ++i) {
            const Template t = capture();
            QVERIFY2(!t.isEmpty(), qPrintable(QString::number(lib->GetLastErrorNum())));
            scans << withHeader(t, 17, 3);
        }
        QVERIFY(session->ClearModule());
        for (int a = 0; a < 3; ++a) {
            for (int b = a + 1; b < 3; ++b) {
                QVERIFY(lib->SetTemplate(bytes(scans[a]), 0));
                QVERIFY(lib->SetTemplate(bytes(scans[b]), 1));
                uint8_t score = 0;
                int64_t pid = -1;
                uint8_t finger = 0;
                QVERIFY2(lib->MatchTemplate(1, 1, &score, &pid, &finger), qPrintable(QStringLiteral("pair %1-%2").arg(a).arg(b)));
                QVERIFY2(score >= 20 + station.Security, qPrintable(QString::number(score)));
            }
        }

        // Another finger does not pass for this one.
        QVERIFY(sim.command("FINGER bert-1"));
        const Template other = withHeader(capture(), 42, 1);
        QVERIFY(lib->SetTemplate(bytes(scans[0]), 0));
        QVERIFY(lib->SetTemplate(bytes(other), 1));
        uint8_t score = 0;
        int64_t pid = 0;
        uint8_t finger = 0;
        QVERIFY(!lib->MatchTemplate(1, 1, &score, &pid, &finger));
        session->CloseModule();
    }

    void identifiesAmongWrittenTemplates()
    {
        QVERIFY(session->OpenModule());
        QVERIFY(sim.command("FINGER anna-3"));
        const Template anna = withHeader(capture(), 17, 3);
        QVERIFY(sim.command("FINGER bert-1"));
        const Template bert = withHeader(capture(), 4000000000LL, 1);  // beyond 32 bits: the id is 64-bit
        QVERIFY(anna.size() == VXM_TEMPLATE_SIZE && bert.size() == VXM_TEMPLATE_SIZE);

        QVERIFY(session->ClearModule());
        QVERIFY(lib->WriteTemplate(17, 3, bytes(anna), VXM_TEMPLATE_SIZE));
        QVERIFY(lib->WriteTemplate(4000000000LL, 1, bytes(bert), VXM_TEMPLATE_SIZE));

        struct Case { const char *finger; int64_t pid; uint8_t fingerNo; };
        for (const Case &c : {Case{"FINGER bert-1", 4000000000LL, 1}, Case{"FINGER anna-3", 17, 3}}) {
            QVERIFY(sim.command(c.finger));
            QVERIFY(!capture().isEmpty());
            uint8_t score = 0;
            int64_t pid = 0;
            uint8_t finger = 0;
            QVERIFY2(lib->MatchTemplate(1, 0, &score, &pid, &finger), c.finger);
            QCOMPARE(pid, c.pid);
            QCOMPARE(finger, c.fingerNo);
        }

        // An emptied store identifies nobody.
        QVERIFY(session->ClearModule());
        QVERIFY(!capture().isEmpty());
        uint8_t score = 0;
        int64_t pid = -1;
        uint8_t finger = 0;
        QVERIFY(!lib->MatchTemplate(1, 0, &score, &pid, &finger));
        QCOMPARE(pid, int64_t(0));
        session->CloseModule();
    }

    void failedCaptureGivesItsErrorNumber_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("stop");
        QTest::addColumn<int>("error");
        QTest::newRow("abandoned through the poll function") << QByteArray() << true << int(VXM_ERROR_ABANDONED);
        QTest::newRow("scripted module error") << QByteArray("ERROR 7") << false << 7;
        QTest::newRow("scripted error 0") << QByteArray("ERROR 0") << false << 0;
    }

    void failedCaptureGivesItsErrorNumber()
    {
        QFETCH(QByteArray, command);
        QFETCH(bool, stop);
        QFETCH(int, error);
        QVERIFY(session->OpenModule());
        if (!command.isEmpty())
            QVERIFY(sim.command(command.constData()));
        QVERIFY(lib->ScanFingerSetCallBack(stop ? stopScanning : keepScanning));
        QVERIFY(!lib->ScanFinger(1));
        QCOMPARE(lib->GetLastErrorNum(), error);
        // The module is fine afterwards.
        QVERIFY(!capture().isEmpty());
        session->CloseModule();
    }

    void unusableLibraryFailsAsAClosedPort_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no library") << QStringLiteral("/nonexistent-station-dir") << QString();
        QTest::newRow("function missing") << QStringLiteral(INCOMPLETE_MODULE_DIR) << QStringLiteral("VXMInit");
    }

    void unusableLibraryFailsAsAClosedPort()
    {
        QFETCH(QString, dir);
        QFETCH(QString, reason);
        ModuleLibrary broken(dir);
        QVERIFY(!broken.loaded());
        QVERIFY2(broken.loadError().startsWith(
                     QStringLiteral("Die Modulbibliothek vexilmod konnte nicht geladen werden: ")),
                 qPrintable(broken.loadError()));
        QVERIFY(broken.loadError().contains(reason));

        uint8_t buffer[VXM_TEMPLATE_SIZE] = {};
        int32_t length = VXM_TEMPLATE_SIZE;
        uint8_t score = 0, finger = 0;
        int64_t pid = 0;
        QVERIFY(!broken.ComOpen("COM3"));
        QVERIFY(!broken.Init(1, 60, 40, 7));
        QVERIFY(!broken.ScanFinger(1));
        QCOMPARE(broken.GetLastErrorNum(), -1);
        QVERIFY(!broken.GetTemplate(&length, buffer));
        QVERIFY(!broken.MatchTemplate(1, 1, &score, &pid, &finger));
        QVERIFY(!broken.DeleteTemplate(0, 0, 0));
        QVERIFY(!broken.FirmwareUpdate("/etc/hostname"));

        ModuleSession brokenSession(station, broken);
        QVERIFY(!brokenSession.OpenModule());
        QVERIFY(!brokenSession.OpenModule());
        QCOMPARE(ui.messages, (QStringList{broken.loadError(), portFailure, portFailure}));
        QVERIFY(!station.ModuleOpen);
        QVERIFY(!brokenSession.ClearModule());
    }
};

QTEST_GUILESS_MAIN(TestModuleSession)
#include "tst_modulesession.moc"
