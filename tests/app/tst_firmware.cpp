// Loading firmware into the module, against the simulator.
#include "firmwareloading.h"
#include "modulelibrary.h"
#include "modulesession.h"
#include "scriptedoperatorui.h"
#include "simcontrol.h"
#include "station.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestFirmware : public QObject
{
    Q_OBJECT

private:
    SimControl sim;
    std::unique_ptr<ModuleLibrary> lib;
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY2(sim.ok(), qPrintable(sim.error()));
        lib = std::make_unique<ModuleLibrary>(SimControl::binDir());
        QVERIFY2(lib->loaded(), qPrintable(lib->loadError()));
        QVERIFY(dir.isValid());
    }

    void firmwareladen_data()
    {
        QTest::addColumn<QString>("file");         // the operator's choice; empty: cancelled
        QTest::addColumn<QByteArray>("command");   // what the module is told beforehand
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("opens");
        QTest::addColumn<int>("loads");
        QTest::addColumn<int>("closes");

        const QStringList loaded{QStringLiteral("Firmware wurde geladen")};
        QTest::newRow("cancelled") << QString() << QByteArray() << QStringList() << 0 << 0 << 0;
        QTest::newRow("loaded") << "firmware.bin" << QByteArray() << loaded << 1 << 1 << 1;
        QTest::newRow("path beyond ASCII") << "Größe-ä.bin" << QByteArray() << loaded << 1 << 1 << 1;
        // A failure must not look like success.
        QTest::newRow("load refused") << "firmware.bin" << QByteArray("FIRMWAREFAIL")
                                      << QStringList{QStringLiteral("Firmware konnte nicht geladen werden")} << 1 << 1
                                      << 1;
        QTest::newRow("port refused") << "firmware.bin" << QByteArray("PORTFAIL")
                                      << QStringList{QStringLiteral("Kann Comport nicht öffnen")} << 1 << 0 << 0;
        // A failed initialisation leaves the port open for the next attempt.
        QTest::newRow("initialisation refused") << "firmware.bin" << QByteArray("INITFAIL") << QStringList() << 1 << 0
                                                << 0;
    }

    void firmwareladen()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, command);
        QFETCH(QStringList, messages);
        QFETCH(int, opens);
        QFETCH(int, loads);
        QFETCH(int, closes);

        QVERIFY(sim.reset());
        if (!command.isEmpty())
            QVERIFY(sim.command(command.constData()));
        ScriptedOperatorUi ui;
        Station station;
        station.ui = &ui;
        station.ComPort = QStringLiteral("COM3");
        ModuleSession session(station, *lib);
        station.module = &session;
        if (!file.isEmpty()) {
            const QString path = dir.filePath(file);
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\x7f" "FW image");
            f.close();
            ui.setNextFile(path);
        }

        Firmwareladen1Click(station);

        QCOMPARE(ui.fileChoosers, 1);
        QCOMPARE(ui.messages, messages);
        QCOMPARE(sim.calls("VXMComOpen"), opens);
        QCOMPARE(sim.calls("VXMFirmwareUpdate"), loads);
        QCOMPARE(sim.calls("VXMComClose"), closes);
        QCOMPARE(station.ModuleOpen, opens > 0 && closes == 0 && command == "INITFAIL");
        if (station.ModuleOpen)
            session.CloseModule();
    }
};

QTEST_GUILESS_MAIN(TestFirmware)
#include "tst_firmware.moc"
