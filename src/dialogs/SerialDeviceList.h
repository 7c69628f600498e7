#pragma once

#include <QString>
#include <QStringList>

// The serial devices of the machine that the Interface dialog offers besides COM1 to COM9:
// /dev/ttyUSB*, /dev/ttyACM* and the /dev/ttyS* that have a UART behind them (the kernel creates
// ttyS nodes for ports that do not exist and reports those with the port type 0).
namespace SerialDeviceList {

// The device paths, USB adapters first, then ACM modems, then built-in ports, each in numeric order.
QStringList scan(const QString& deviceFolder = QStringLiteral("/dev"),
                 const QString& ttyClassFolder = QStringLiteral("/sys/class/tty"));

} // namespace SerialDeviceList
