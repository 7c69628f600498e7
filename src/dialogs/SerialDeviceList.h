#pragma once

#include <QString>
#include <vector>

// What the serial-port library knows of one port of the machine, as the port list uses it.
struct SerialPortDetails {
    QString systemLocation; // "/dev/ttyUSB0"
    QString description;    // "FT232R USB UART"
    QString manufacturer;   // "FTDI"
};

// One serial device the Interface dialog offers besides COM1 to COM9.
struct SerialDevice {
    // A bare device path, shown as it is.
    SerialDevice(const QString& path) : device(path), text(path), systemLocation(path) {}
    SerialDevice(QString device, QString text, QString systemLocation)
        : device(std::move(device)), text(std::move(text)), systemLocation(std::move(systemLocation))
    {
    }

    QString device;         // what PortDevice stores: the /dev/serial/by-id/ link of a USB adapter
    QString text;           // what the list shows: "/dev/ttyUSB0 — FT232R USB UART (FTDI)"
    QString systemLocation; // the device node
};

// The serial devices of the machine, from the serial-port library: USB adapters first, then ACM
// modems, then built-in ports, then any other, each in numeric order (ttyS10 after ttyS9). A USB
// adapter is stored by its /dev/serial/by-id/ link, which names the adapter itself, so the load
// is found again after it was plugged into another socket.
namespace SerialDeviceList {

std::vector<SerialDevice> entries(const std::vector<SerialPortDetails>& ports,
                                  const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));
// The ports the library finds now.
std::vector<SerialDevice> scan();

} // namespace SerialDeviceList
