// Finding the module's USB-to-serial bridge among the machine's serial ports,
// and the window title that reports where the module is expected.
//
// The matching is plain code over a list of devices, so that it is the same on
// every platform and testable without hardware; only enumerateSerialPorts()
// asks the system.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

struct Station;

struct SerialDevice
{
    QString friendlyName;  // the display name the device registry holds, e.g. "Prolific USB-to-Serial Comm Port (COM5)"
    QString portName;      // the name to open: "COM5" on Windows, the device path "/dev/ttyUSB0" elsewhere
    bool hasUsbIds = false;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

enum class PortRule {
    // The bridge's friendly name carries its COM number.
    FriendlyName,
    // Ports have no COM numbers: the bridge is known by its USB vendor id.
    UsbVendor,
};

// The rule of the platform the station was built for.
PortRule defaultPortRule();

// The vendor id of the bridge's maker (Prolific).
constexpr uint16_t moduleBridgeVendorId = 0x067B;

// The port of the first bridge in enumeration order, or the empty text.
QString FindModulePort(const QList<SerialDevice> &devices, PortRule rule = defaultPortRule());

// The serial ports present now, in the system's order.
QList<SerialDevice> enumerateSerialPorts();

// The machine's serial ports for one run. Listing them opens a file per
// possible device, so it happens only where a search or the settings dialog's
// port list needs it: the first need lists, the settings dialog reuses that
// listing, and a search after the settings dialog lists again, since a bridge
// may have been plugged in meanwhile.
class SerialPorts
{
public:
    using Enumerate = std::function<QList<SerialDevice>()>;
    explicit SerialPorts(Enumerate enumerate = enumerateSerialPorts);

    // The run's listing, made now when there is none yet.
    const QList<SerialDevice> &listed();
    // A new listing, kept as the run's listing from now on.
    const QList<SerialDevice> &relisted();
    // The names to open of listed(), in the system's order.
    QStringList portNames();

private:
    Enumerate m_enumerate;
    std::optional<QList<SerialDevice>> m_devices;
};

// In USB mode replaces station.ComPort by the detected bridge port (the empty
// text, with the message "Pelvar-Modul nicht gefunden !!", when there is none);
// serial mode searches nothing. Returns the main window's title.
QString UpdatePortCaption(Station &station, const QList<SerialDevice> &devices,
                          PortRule rule = defaultPortRule());
// The same, listing the devices only when the search needs them (USB mode).
QString UpdatePortCaption(Station &station, const std::function<QList<SerialDevice>()> &devices,
                          PortRule rule = defaultPortRule());
