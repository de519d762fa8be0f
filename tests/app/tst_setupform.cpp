// The settings dialog and its exchange with the station's fields and the
// settings store, driven through the dialog's own modal loop.
#include "handfixture.h"
#include "kolvfixture.h"
#include "modulelibrary.h"
#include "modulesession.h"
#include "portdetection.h"
#include "scriptedoperatorui.h"
#include "settingsexchange.h"
#include "station.h"
#include "tdbini.h"
#include "tsetupform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

const QList<SerialDevice> noDevices;

SerialDevice bridgeOn(int n)
{
    SerialDevice d;
    d.friendlyName = QStringLiteral("Prolific USB-to-Serial Comm Port (COM%1)").arg(n);
    d.portName = QStringLiteral("COM%1").arg(n);
    return d;
}

}  // namespace

class TestSetupForm : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<KolvFixture> fx;
    std::unique_ptr<Tdbini> settings;
    std::unique_ptr<ModuleLibrary> noLibrary;
    std::unique_ptr<ModuleSession> session;
    std::unique_ptr<TSetupform> form;
    ScriptedOperatorUi ui;
    Station station;
    QList<SerialDevice> devices;
    QString title;

    template <typename W>
    W *control(const char *name)
    {
        W *w = form->findChild<W *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    // Runs the menu item; operate is done inside the dialog's modal loop and
    // ends with a click on "OK" or "Abbrechen".
    bool runDialog(const std::function<void()> &operate, const char *button)
    {
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            shown = form->isVisible();
            operate();
            control<QPushButton>(button)->click();
        });
        Einstellungen1Click(station, *form, [&] { title = UpdatePortCaption(station, devices, PortRule::FriendlyName); });
        return shown;
    }
    bool ok(const std::function<void()> &operate = [] {}) { return runDialog(operate, "BitBtn1"); }
    bool cancel(const std::function<void()> &operate = [] {}) { return runDialog(operate, "BitBtn2"); }

    // The PELVAR rows of the settings table, "KEY|value".
    QStringList stored()
    {
        return fx->rows(QStringLiteral("select schluessel, wert from ini where schluessel like 'PELVAR%' order by schluessel"));
    }

private slots:
    void init()
    {
        fx = std::make_unique<KolvFixture>(false);
        QVERIFY2(fx->ok(), qPrintable(fx->error()));
        settings = std::make_unique<Tdbini>(fx->dm());
        settings->setDecimalSeparator(QStringLiteral("."));
        station = Station();
        ui = ScriptedOperatorUi();
        station.ui = &ui;
        station.Settings = settings.get();
        station.ComPort = QStringLiteral("COM3");
        station.PortType = 1;
        station.SyncTime = 46000.75;  // a day at 18:00
        noLibrary = std::make_unique<ModuleLibrary>(QStringLiteral("/nonexistent-station-dir"));
        session = std::make_unique<ModuleSession>(station, *noLibrary);
        session->ModuleInitialised = true;
        station.module = session.get();
        devices.clear();
        title.clear();
        form = std::make_unique<TSetupform>(QStringList{"COM7", "COM3", "COM10", "COM1"});
    }

    void cleanup()
    {
        form.reset();
        session.reset();
        settings.reset();
        fx.reset();
    }

    // A run that never opens the dialog never lists the ports; the first
    // filling lists them once, and a port from the list is chosen as stored.
    void portListIsTakenAtTheFirstFilling()
    {
        int listings = 0;
        form = std::make_unique<TSetupform>([&] {
            ++listings;
            return QStringList{"COM9", "COM2"};
        });
        QCOMPARE(listings, 0);
        station.ComPort = QStringLiteral("COM9");
        QVERIFY(ok());
        QCOMPARE(listings, 1);
        QCOMPARE(control<QComboBox>("Comcombo")->count(), 2);
        QCOMPARE(station.ComPort, QString("COM9"));
        QVERIFY(cancel());
        QCOMPARE(listings, 1);
    }

    void portListSortedAsTextFirstChosen()
    {
        auto *combo = control<QComboBox>("Comcombo");
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, (QStringList{"COM1", "COM10", "COM3", "COM7"}));
        QCOMPARE(combo->currentText(), QStringLiteral("COM1"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Setupform"));
    }

    void okWithSerialPortStoresIt()
    {
        station.PortType = 0;
        devices = {bridgeOn(5)};
        QVERIFY(ok([&] {
            QVERIFY(!control<QComboBox>("Comcombo")->isEnabled());  // USB chosen on opening
            control<QRadioButton>("SchnittstelleSeriell")->click();
            QVERIFY(control<QComboBox>("Comcombo")->isEnabled());
            control<QComboBox>("Comcombo")->setCurrentText(QStringLiteral("COM7"));
        }));
        QCOMPARE(title, QStringLiteral("Quorvel-Pelvar [Seriell-COM7]"));
        QCOMPARE(station.ComPort, QStringLiteral("COM7"));
        QCOMPARE(station.PortType, 1);
        QVERIFY(!session->ModuleInitialised);  // the next OpenModule initialises with the new values
        QCOMPARE(stored(), (QStringList{"PELVAR_COMPORT|COM7", "PELVAR_DATAFORMAT|1", "PELVAR_MINMINUTIAE|7",
                                        "PELVAR_NOFSCANS|3", "PELVAR_PORTTYPE|1", "PELVAR_QUALITY|40",
                                        "PELVAR_SECURITY|60", "PELVAR_SYNCMODE|0", "PELVAR_SYNCTIME|46000.75"}));
    }

    void okWithUsbAndNoBridgeStoresEmptyPort()
    {
        QVERIFY(ok([&] { control<QRadioButton>("SchnittstelleUSB")->click(); }));
        QCOMPARE(ui.messages, QStringList{QStringLiteral("Pelvar-Modul nicht gefunden !!")});
        QCOMPARE(title, QStringLiteral("Quorvel-Pelvar [USB-nicht gefunden]"));
        QCOMPARE(station.ComPort, QString());
        QVERIFY(stored().contains(QStringLiteral("PELVAR_COMPORT|")));
        QVERIFY(stored().contains(QStringLiteral("PELVAR_PORTTYPE|0")));
    }

    void cancelRedetectsAndRewritesCurrentValues()
    {
        fx->sql(QStringLiteral("insert into ini (schluessel, wert) values ('PELVAR_SECURITY', '99')"));
        station.PortType = 0;
        station.ComPort = QStringLiteral("COM3");  // stale: the bridge now sits on COM5
        station.Security = 30;
        devices = {bridgeOn(5)};
        QVERIFY(cancel([&] {
            control<QSlider>("securitytrack")->setValue(80);
            QCOMPARE(control<QLabel>("seclabel")->text(), QStringLiteral("Sicherheit:80"));
            control<QLineEdit>("scans")->setText(QStringLiteral("9"));
            control<QRadioButton>("synctime")->click();
        }));
        QCOMPARE(title, QStringLiteral("Quorvel-Pelvar [USB-COM5]"));
        QVERIFY(session->ModuleInitialised);
        QCOMPARE(station.Security, uint8_t(30));
        QCOMPARE(station.NofScans, 3);
        QCOMPARE(station.SyncMode, uint8_t(0));
        QCOMPARE(stored(), (QStringList{"PELVAR_COMPORT|COM5", "PELVAR_DATAFORMAT|1", "PELVAR_MINMINUTIAE|7",
                                        "PELVAR_NOFSCANS|3", "PELVAR_PORTTYPE|0", "PELVAR_QUALITY|40",
                                        "PELVAR_SECURITY|30", "PELVAR_SYNCMODE|0", "PELVAR_SYNCTIME|46000.75"}));

        // The next opening shows the station's values again, not the discarded ones.
        QVERIFY(cancel([&] {
            QCOMPARE(control<QSlider>("securitytrack")->value(), 30);
            QCOMPARE(control<QLabel>("seclabel")->text(), QStringLiteral("Sicherheit:30"));
            QCOMPARE(control<QLineEdit>("scans")->text(), QStringLiteral("3"));
            QVERIFY(control<QRadioButton>("syncimmediate")->isChecked());
            QVERIFY(!control<QTimeEdit>("syncedit")->isEnabled());
        }));
    }

    void scansText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("nofScans");
        QTest::newRow("number") << "5" << 5;
        QTest::newRow("zero taken unchanged") << "0" << 0;
        QTest::newRow("negative taken unchanged") << "-2" << -2;
    }

    void scansText()
    {
        QFETCH(QString, text);
        QFETCH(int, nofScans);
        QVERIFY(ok([&] { control<QLineEdit>("scans")->setText(text); }));
        QCOMPARE(station.NofScans, nofScans);
        QVERIFY(stored().contains(QStringLiteral("PELVAR_NOFSCANS|") + QString::number(nofScans)));
    }

    void scansNotAnIntegerRefusedWhileOpen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("number and text") << "4x";
        QTest::newRow("beyond 32 bits") << "4294967297";
    }

    void scansNotAnIntegerRefusedWhileOpen()
    {
        QFETCH(QString, text);
        station.NofScans = 5;
        bool stayedOpen = false;
        QStringList storedMeanwhile;
        QTimer::singleShot(0, this, [&] {
            QLineEdit *scans = control<QLineEdit>("scans");
            scans->setFocus();
            scans->selectAll();
            QTest::keyClick(scans, Qt::Key_Delete);
            QTest::keyClicks(scans, text);
            clickThroughWindow(control<QPushButton>("BitBtn1"));
            stayedOpen = form->isVisible();
            storedMeanwhile = stored();
            scans->selectAll();
            QTest::keyClicks(scans, "4");
            clickThroughWindow(control<QPushButton>("BitBtn1"));
            if (form->isVisible())
                form->reject();
        });
        Einstellungen1Click(station, *form, [] {});
        QCOMPARE(ui.messages,
                 QStringList{QStringLiteral("'%1' ist kein gültiger Integerwert für Feld 'Anzahl Scans/ Finger'").arg(text)});
        QVERIFY(stayedOpen);
        QVERIFY(storedMeanwhile.isEmpty());
        QCOMPARE(station.NofScans, 4);
        QVERIFY(stored().contains(QStringLiteral("PELVAR_NOFSCANS|4")));
    }

    void failedSaveStoresNothingAndSaysWhy()
    {
        // SYNCTIME is written last; refusing it must take the eight before it back.
        fx->sql("create trigger refuse before insert on ini when new.schluessel='PELVAR_SYNCTIME' "
                "begin select raise(abort, 'gesperrt'); end");
        QVERIFY(ok());
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(ui.messages[0].contains("gesperrt"), qPrintable(ui.messages[0]));
        QCOMPARE(stored(), QStringList());
    }

    void slidersAndLabels_data()
    {
        QTest::addColumn<int>("security");
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("minutiae");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<int>>("positions");
        // The sliders start at 50, 40 and 20 from an earlier showing.
        QTest::newRow("zeros") << 0 << 0 << 0 << QStringList{"Sicherheit:0", "Qualität:0", "Minimum-Minuzien:0"}
                               << QList<int>{0, 0, 0};
        QTest::newRow("range ends") << 100 << 99 << 50
                                    << QStringList{"Sicherheit:100", "Qualität:99", "Minimum-Minuzien:50"}
                                    << QList<int>{100, 99, 50};
        QTest::newRow("beyond the ranges keeps the positions")
            << 101 << 100 << 51 << QStringList{"Sicherheit:50", "Qualität:40", "Minimum-Minuzien:20"}
            << QList<int>{50, 40, 20};
    }

    void slidersAndLabels()
    {
        QFETCH(int, security);
        QFETCH(int, quality);
        QFETCH(int, minutiae);
        QFETCH(QStringList, labels);
        QFETCH(QList<int>, positions);
        station.Security = 50;
        station.Quality = 40;
        station.MinMinutiae = 20;
        QVERIFY(cancel());

        station.Security = uint8_t(security);
        station.Quality = uint8_t(quality);
        station.MinMinutiae = uint8_t(minutiae);
        QVERIFY(ok([&] {
            QCOMPARE((QStringList{control<QLabel>("seclabel")->text(), control<QLabel>("quallabel")->text(),
                                  control<QLabel>("minlabel")->text()}),
                     labels);
        }));
        // Confirming stores the positions the sliders show.
        QCOMPARE((QList<int>{station.Security, station.Quality, station.MinMinutiae}), positions);
        QVERIFY(stored().contains(QStringLiteral("PELVAR_QUALITY|") + QString::number(positions[1])));
    }

    void radioGroupsFollowTheFields_data()
    {
        QTest::addColumn<int>("portType");
        QTest::addColumn<int>("dataFormat");
        QTest::addColumn<bool>("serial");
        QTest::addColumn<bool>("idencom");
        QTest::newRow("USB, DIN") << 0 << 0 << false << false;
        QTest::newRow("serial, Idencom") << 1 << 1 << true << true;
        QTest::newRow("beyond the last items") << 7 << 9 << true << true;
    }

    void radioGroupsFollowTheFields()
    {
        QFETCH(int, portType);
        QFETCH(int, dataFormat);
        QFETCH(bool, serial);
        QFETCH(bool, idencom);
        station.PortType = portType;
        station.DataFormat = uint8_t(dataFormat);
        QVERIFY(ok([&] {
            QCOMPARE(control<QRadioButton>("SchnittstelleSeriell")->isChecked(), serial);
            QCOMPARE(control<QComboBox>("Comcombo")->isEnabled(), serial);
            QCOMPARE(control<QRadioButton>("formatIdencom")->isChecked(), idencom);
        }));
        QCOMPARE(station.PortType, serial ? 1 : 0);
        QCOMPARE(station.DataFormat, uint8_t(idencom ? 1 : 0));
    }

    void storedPortNotListedStaysChosen()
    {
        // The demo's port: not among this machine's ports, kept by an OK that does not touch it.
        station.ComPort = QStringLiteral("COM99");
        QVERIFY(ok());
        QCOMPARE(station.ComPort, QStringLiteral("COM99"));
        QCOMPARE(control<QComboBox>("Comcombo")->currentText(), QStringLiteral("COM99"));
        QVERIFY(stored().contains(QStringLiteral("PELVAR_COMPORT|COM99")));
        QCOMPARE(title, QStringLiteral("Quorvel-Pelvar [Seriell-COM99]"));
        // Chosen from the list afterwards, the listed port is taken.
        QVERIFY(ok([&] { control<QComboBox>("Comcombo")->setCurrentText(QStringLiteral("COM10")); }));
        QCOMPARE(station.ComPort, QStringLiteral("COM10"));
    }

    void syncTimeOfDay()
    {
        station.SyncMode = 1;
        QVERIFY(ok([&] {
            QVERIFY(control<QRadioButton>("synctime")->isChecked());
            auto *edit = control<QTimeEdit>("syncedit");
            QVERIFY(edit->isEnabled());
            QCOMPARE(edit->time(), QTime(18, 0));
            edit->setTime(QTime(6, 30));
        }));
        QCOMPARE(station.SyncMode, uint8_t(1));
        QCOMPARE(station.SyncTime, 46000.0 + (6 * 60 + 30) / 1440.0);  // the day stays, the time changes
        QCOMPARE(settings->ReadFloat(QStringLiteral("PELVAR"), QStringLiteral("SYNCTIME"), -1), station.SyncTime);

        QVERIFY(ok([&] {
            control<QRadioButton>("syncimmediate")->click();
            QVERIFY(!control<QTimeEdit>("syncedit")->isEnabled());
        }));
        QCOMPARE(station.SyncMode, uint8_t(0));
    }

    void loadReadsWhatSaveWrote()
    {
        station.ComPort = QStringLiteral("/dev/ttyUSB1");
        station.PortType = 1;
        station.DataFormat = 0;
        station.Security = 70;
        station.Quality = 30;
        station.MinMinutiae = 12;
        station.NofScans = 5;
        station.SyncMode = 1;
        SaveSettings(station);
        Station loaded;
        loaded.Settings = settings.get();
        LoadSettings(loaded);
        QCOMPARE(loaded.ComPort, station.ComPort);
        QCOMPARE((QList<int>{loaded.PortType, loaded.DataFormat, loaded.Security, loaded.Quality, loaded.MinMinutiae,
                             loaded.NofScans, loaded.SyncMode}),
                 (QList<int>{1, 0, 70, 30, 12, 5, 1}));
        QCOMPARE(loaded.SyncTime, station.SyncTime);
    }
};

QTEST_MAIN(TestSetupForm)
#include "tst_setupform.moc"
