#include "portdetection.h"

#include "operatorui.h"
#include "station.h"

#include <QSerialPortInfo>

PortRule defaultPortRule()
{
#ifdef Q_OS_WIN
    return PortRule::FriendlyName;
#else
    return PortRule::UsbVendor;
#endif
}

namespace {

// The COM number of a bridge's friendly name, or 0. The number must be written
// as the device registry writes it: 1 to 256, no sign, no leading zero.
int bridgeComNumber(const QString &friendlyName)
{
    static const QString prefix = QStringLiteral("Prolific USB-to-Serial Comm Port (COM");
    if (!friendlyName.startsWith(prefix) || !friendlyName.endsWith(QLatin1Char(')')))
        return 0;
    const QStringView digits = QStringView(friendlyName).mid(prefix.size(), friendlyName.size() - prefix.size() - 1);
    if (digits.isEmpty() || digits.size() > 3 || digits.front() == QLatin1Char('0'))
        return 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    const int n = digits.toInt();
    return n >= 1 && n <= 256 ? n : 0;
}

}  // namespace

QString FindModulePort(const QList<SerialDevice> &devices, PortRule rule)
{
    for (const SerialDevice &device : devices) {
        if (rule == PortRule::FriendlyName) {
            const int n = bridgeComNumber(device.friendlyName);
            if (n > 0)
                return QStringLiteral("COM") + QString::number(n);
        } else if (device.hasUsbIds && device.vendorId == moduleBridgeVendorId && !device.portName.isEmpty()) {
            return device.portName;
        }
    }
    return QString();
}

QList<SerialDevice> enumerateSerialPorts()
{
    QList<SerialDevice> devices;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        SerialDevice d;
#ifdef Q_OS_WIN
        // The registry's friendly name of a port device is its description
        // followed by the port in parentheses.
        d.friendlyName = info.description() + QStringLiteral(" (") + info.portName() + QLatin1Char(')');
        d.portName = info.portName();
#else
        d.friendlyName = info.description();
        d.portName = info.systemLocation();
#endif
        d.hasUsbIds = info.hasVendorIdentifier();
        d.vendorId = info.vendorIdentifier();
        d.productId = info.productIdentifier();
        devices << d;
    }
    return devices;
}

SerialPorts::SerialPorts(Enumerate enumerate) : m_enumerate(std::move(enumerate)) {}

const QList<SerialDevice> &SerialPorts::listed()
{
    if (!m_devices)
        m_devices = m_enumerate();
    return *m_devices;
}

const QList<SerialDevice> &SerialPorts::relisted()
{
    m_devices = m_enumerate();
    return *m_devices;
}

QStringList SerialPorts::portNames()
{
    QStringList names;
    for (const SerialDevice &device : listed())
        names << device.portName;
    return names;
}

QString UpdatePortCaption(Station &station, const QList<SerialDevice> &devices, PortRule rule)
{
    return UpdatePortCaption(station, [&devices] { return devices; }, rule);
}

QString UpdatePortCaption(Station &station, const std::function<QList<SerialDevice>()> &devices, PortRule rule)
{
    QString title;
    if (station.PortType != 0) {
        title = QStringLiteral("Quorvel-Pelvar [Seriell-");
    } else {
        station.ComPort = FindModulePort(devices(), rule);
        if (!station.ComPort.isEmpty()) {
            title = QStringLiteral("Quorvel-Pelvar [USB-");
        } else {
            if (station.ui)
                station.ui->message(QStringLiteral("Pelvar-Modul nicht gefunden !!"));
            title = QStringLiteral("Quorvel-Pelvar [USB-nicht gefunden");
        }
    }
    return title + station.ComPort + QLatin1Char(']');
}
