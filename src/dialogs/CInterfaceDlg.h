#pragma once

#include "dialogs/SerialDeviceList.h"
#include "views/TemplateLoader.h"

#include <vector>

struct AppSettings;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The Interface dialog: RS-232C with its port, or GPIB with the board maker and the instrument's
// address. The port list holds COM1 to COM9 (the template's first nine entries, stored as Port 1 to
// 9), the serial devices of the machine with what identifies them ("/dev/ttyUSB0 — FT232R USB UART
// (FTDI)"), and the built-in simulator (the template's last entry); a device path can also be
// typed. A device (a USB adapter by its stable by-id link), a typed path or the simulator is
// stored in PortDevice. The makers' list ends with the Prologix-compatible controller (Maker 6),
// whose device, one of the machine's serial devices or a typed host:port, goes to GpibDevice.
class CInterfaceDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "Interface.ui";
    static constexpr int kComPorts = 9;
    static constexpr const char* kSimulatorDevice = "simulator";
    // The Maker of each entry of the makers' list.
    static constexpr int kMakers[] = {1, 2, 3, 6};
    static constexpr int kControllerMaker = 6;

    struct Controls {
        QRadioButton* rs232c = nullptr;
        QRadioButton* gpib = nullptr;
        QLabel* portLabel = nullptr;
        QComboBox* port = nullptr;
        QLabel* makerLabel = nullptr;
        QComboBox* maker = nullptr;
        QLabel* addressLabel = nullptr;
        QComboBox* address = nullptr;
        QLabel* controllerLabel = nullptr;
        QComboBox* controller = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };

    CInterfaceDlg(const TemplateLoader& loader, AppSettings& settings,
                  const std::vector<SerialDevice>& serialDevices, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // OK: stores Interface, Port or PortDevice, Maker, Address and GpibDevice.
    void accept() override;

private:
    void updateEnabling();
    int simulatorIndex() const { return simulatorIndex_; }
    // The index in devices_ of a serial device, by what is stored or by its node, or -1.
    int deviceEntry(const QString& path) const;
    bool controllerChosen() const;

    AppSettings& settings_;
    Controls controls_;
    std::vector<SerialDevice> devices_;
    int devicesAt_ = 0;
    int simulatorIndex_ = -1;
};
