// Recognising the module's bridge among the serial ports, and the window title.
#include "portdetection.h"
#include "scriptedoperatorui.h"
#include "station.h"

#include <QTest>

Q_DECLARE_METATYPE(PortRule)

namespace {

SerialDevice named(const QString &friendlyName, const QString &port = QString())
{
    SerialDevice d;
    d.friendlyName = friendlyName;
    d.portName = port;
    return d;
}

SerialDevice usb(uint16_t vendor, uint16_t product, const QString &path)
{
    SerialDevice d;
    d.friendlyName = QStringLiteral("USB-Serial Controller");
    d.portName = path;
    d.hasUsbIds = true;
    d.vendorId = vendor;
    d.productId = product;
    return d;
}

QString bridge(const QString &number)
{
    return QStringLiteral("Prolific USB-to-Serial Comm Port (COM") + number + QLatin1Char(')');
}

}  // namespace

class TestPortDetection : public QObject
{
    Q_OBJECT

private slots:
    void findModulePort_data()
    {
        QTest::addColumn<QList<SerialDevice>>("devices");
        QTest::addColumn<PortRule>("rule");
        QTest::addColumn<QString>("port");

        const PortRule win = PortRule::FriendlyName;
        const PortRule lin = PortRule::UsbVendor;
        QTest::newRow("COM12") << QList<SerialDevice>{named(bridge("12"), "COM12")} << win << "COM12";
        QTest::newRow("COM1, lowest") << QList<SerialDevice>{named(bridge("1"))} << win << "COM1";
        QTest::newRow("COM256, highest") << QList<SerialDevice>{named(bridge("256"))} << win << "COM256";
        QTest::newRow("COM257") << QList<SerialDevice>{named(bridge("257"))} << win << "";
        QTest::newRow("COM0") << QList<SerialDevice>{named(bridge("0"))} << win << "";
        QTest::newRow("COM05, leading zero") << QList<SerialDevice>{named(bridge("05"))} << win << "";
        QTest::newRow("COM+5, sign") << QList<SerialDevice>{named(bridge("+5"))} << win << "";
        QTest::newRow("other letter case")
            << QList<SerialDevice>{named(QStringLiteral("Prolific USB-to-serial Comm Port (COM5)"))} << win << "";
        QTest::newRow("trailing text")
            << QList<SerialDevice>{named(bridge("5") + QLatin1Char(' '))} << win << "";
        QTest::newRow("leading text")
            << QList<SerialDevice>{named(QLatin1Char(' ') + bridge("5"))} << win << "";
        QTest::newRow("other device, then bridge")
            << QList<SerialDevice>{named(QStringLiteral("Kommunikationsanschluss (COM1)")), named(bridge("7"))} << win
            << "COM7";
        QTest::newRow("first of two bridges") << QList<SerialDevice>{named(bridge("9")), named(bridge("4"))} << win
                                              << "COM9";
        QTest::newRow("none") << QList<SerialDevice>{} << win << "";
        // The Windows rule does not look at USB ids, nor the Linux rule at names.
        QTest::newRow("vendor id under the name rule")
            << QList<SerialDevice>{usb(0x067B, 0x2303, "/dev/ttyUSB0")} << win << "";
        QTest::newRow("name under the vendor rule") << QList<SerialDevice>{named(bridge("5"), "COM5")} << lin << "";

        QTest::newRow("Prolific vendor") << QList<SerialDevice>{usb(0x067B, 0x2303, "/dev/ttyUSB0")} << lin
                                         << "/dev/ttyUSB0";
        QTest::newRow("other vendor, then Prolific")
            << QList<SerialDevice>{usb(0x0403, 0x6001, "/dev/ttyUSB0"), usb(0x067B, 0x23A3, "/dev/ttyUSB1")} << lin
            << "/dev/ttyUSB1";
        QTest::newRow("first of two Prolific")
            << QList<SerialDevice>{usb(0x067B, 0x2303, "/dev/ttyUSB2"), usb(0x067B, 0x2303, "/dev/ttyUSB1")} << lin
            << "/dev/ttyUSB2";
        SerialDevice unknownIds = usb(0x067B, 0x2303, "/dev/ttyS0");
        unknownIds.hasUsbIds = false;  // a built-in port reports no ids; 0x067B is then just a stale value
        QTest::newRow("ids not known") << QList<SerialDevice>{unknownIds} << lin << "";
    }

    void findModulePort()
    {
        QFETCH(QList<SerialDevice>, devices);
        QFETCH(PortRule, rule);
        QFETCH(QString, port);
        QCOMPARE(FindModulePort(devices, rule), port);
    }

    void updatePortCaption_data()
    {
        QTest::addColumn<int>("portType");
        QTest::addColumn<QList<SerialDevice>>("devices");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("comPort");
        QTest::addColumn<QStringList>("messages");

        const QList<SerialDevice> com5{named(bridge("5"))};
        QTest::newRow("USB, bridge found") << 0 << com5 << "Quorvel-Pelvar [USB-COM5]" << "COM5" << QStringList();
        QTest::newRow("USB, no bridge") << 0 << QList<SerialDevice>{} << "Quorvel-Pelvar [USB-nicht gefunden]" << ""
                                        << QStringList{QStringLiteral("Pelvar-Modul nicht gefunden !!")};
        // Serial mode never searches: the configured port stands even with a bridge present.
        QTest::newRow("serial") << 1 << com5 << "Quorvel-Pelvar [Seriell-COM1]" << "COM1" << QStringList();
        QTest::newRow("serial, any non-zero type") << -3 << QList<SerialDevice>{} << "Quorvel-Pelvar [Seriell-COM1]"
                                                   << "COM1" << QStringList();
    }

    void updatePortCaption()
    {
        QFETCH(int, portType);
        QFETCH(QList<SerialDevice>, devices);
        QFETCH(QString, title);
        QFETCH(QString, comPort);
        QFETCH(QStringList, messages);

        ScriptedOperatorUi ui;
        Station station;
        station.ui = &ui;
        station.PortType = portType;
        station.ComPort = QStringLiteral("COM1");
        QCOMPARE(UpdatePortCaption(station, devices, PortRule::FriendlyName), title);
        QCOMPARE(station.ComPort, comPort);
        QCOMPARE(ui.messages, messages);
    }

    // Listing the ports opens a file per possible device: serial mode lists
    // nothing, and the settings dialog reuses the start-up's listing, while a
    // search after the dialog lists again for a bridge plugged in since.
    void portsAreListedOnlyWhereNeeded()
    {
        int listings = 0;
        QList<SerialDevice> present{named(bridge("5"), "COM5"), named("Kommunikationsanschluss", "COM1")};
        SerialPorts ports([&] {
            ++listings;
            return present;
        });
        ScriptedOperatorUi ui;
        Station station;
        station.ui = &ui;
        station.PortType = 1;
        station.ComPort = QStringLiteral("COM1");
        const auto listed = [&] { return ports.listed(); };
        QCOMPARE(UpdatePortCaption(station, listed, PortRule::FriendlyName), QString("Quorvel-Pelvar [Seriell-COM1]"));
        QCOMPARE(listings, 0);

        station.PortType = 0;
        QCOMPARE(UpdatePortCaption(station, listed, PortRule::FriendlyName), QString("Quorvel-Pelvar [USB-COM5]"));
        QCOMPARE(ports.portNames(), QStringList({"COM5", "COM1"}));
        QCOMPARE(listings, 1);

        present = {named(bridge("9"), "COM9")};
        QCOMPARE(UpdatePortCaption(station, [&] { return ports.relisted(); }, PortRule::FriendlyName),
                 QString("Quorvel-Pelvar [USB-COM9]"));
        QCOMPARE(listings, 2);
        QCOMPARE(ui.messages, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPortDetection)
#include "tst_portdetection.moc"
