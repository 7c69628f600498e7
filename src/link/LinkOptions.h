#pragma once

#include <QString>

struct AppSettings;

// The link chosen on a command line for one run, over the profile's interface settings:
// "--port DEV" (a serial device path, "COMn" as the Interface dialog names the system's ports, or
// "simulator") or "--gpib MAKER:ADDRESS" with MAKER one of ni, interface, contec, ratoc, ratoc-usb,
// prologix. With a Prologix-compatible controller, --port names the controller's device (a serial
// device or tcp:HOST:PORT), in either order; otherwise the option given last decides between the
// serial port and GPIB.
class LinkOptions {
public:
    // The addresses the Interface dialog offers; the command line takes the same.
    static constexpr int firstGpibAddress = 1;
    static constexpr int lastGpibAddress = 14;
    static constexpr int prologixMaker = 6;

    // "ni:5" and the like; false with a message when the text names no maker or a bad address.
    bool setGpib(const QString& text, QString& error);
    bool setPort(const QString& device, QString& error);

    // Overrides Interface/PortDevice or Interface/Maker/Address (and GpibDevice) as the options say.
    void applyTo(AppSettings& settings) const;
    bool isEmpty() const { return !hasPort && !hasGpib; }

    bool hasPort = false;
    QString portDevice;
    // "COMn" names the port by its number, as the Interface dialog does (/dev/ttyS(n-1)); 0 for a
    // device path.
    int comPort = 0;
    bool hasGpib = false;
    int maker = 0; // InterfaceKind 1..6
    int address = 0;
    bool portAfterGpib = false;
};
