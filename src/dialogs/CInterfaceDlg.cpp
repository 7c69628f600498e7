#include "dialogs/CInterfaceDlg.h"

#include "dialogs/DialogControls.h"
#include "model/AppSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <iterator>

void CInterfaceDlg::Controls::bind(TemplateForm& form)
{
    form.bind(rs232c, "radioRs232c");
    form.bind(gpib, "radioGpib");
    form.bind(portLabel, "labelPort");
    form.bind(port, "comboPort");
    form.bind(makerLabel, "labelMaker");
    form.bind(maker, "comboMaker");
    form.bind(addressLabel, "labelAddress");
    form.bind(address, "comboAddress");
    form.bind(controllerLabel, "labelController");
    form.bind(controller, "comboController");
    form.bindOkCancel(ok, cancel);
}

CInterfaceDlg::CInterfaceDlg(const TemplateLoader& loader, AppSettings& settings,
                             const std::vector<SerialDevice>& serialDevices, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), settings_(settings),
      devices_(serialDevices)
{
    controls_.bind(form());
    connectOkCancel(controls_.ok, controls_.cancel);
    connect(controls_.rs232c, &QRadioButton::clicked, this, &CInterfaceDlg::updateEnabling);
    connect(controls_.gpib, &QRadioButton::clicked, this, &CInterfaceDlg::updateEnabling);
    connect(controls_.maker, &QComboBox::currentIndexChanged, this, &CInterfaceDlg::updateEnabling);

    // The machine's devices go between COM9 and the simulator entry.
    QComboBox* port = controls_.port;
    devicesAt_ = std::min(kComPorts, port->count());
    for (std::size_t i = 0; i < devices_.size(); ++i)
        port->insertItem(devicesAt_ + static_cast<int>(i), devices_[i].text);
    const int listed = static_cast<int>(devices_.size());
    simulatorIndex_ = port->count() > devicesAt_ + listed ? port->count() - 1 : -1;

    // Every part of the program takes any Interface other than 0 for GPIB; so does the dialog.
    controls_.rs232c->setChecked(settings_.Interface == 0);
    controls_.gpib->setChecked(settings_.Interface != 0);

    if (settings_.PortDevice.isEmpty()) {
        port->setCurrentIndex(settings_.Port >= 1 && settings_.Port <= kComPorts ? settings_.Port - 1 : -1);
    } else if (settings_.PortDevice == QLatin1String(kSimulatorDevice) && simulatorIndex_ >= 0) {
        port->setCurrentIndex(simulatorIndex_);
    } else {
        // A device is found by what is stored or by its node (a path stored before the list
        // offered the adapter's stable link).
        const int entry = deviceEntry(settings_.PortDevice);
        if (entry >= 0) {
            port->setCurrentIndex(devicesAt_ + entry);
        } else {
            port->setCurrentIndex(-1);
            port->setEditText(settings_.PortDevice);
        }
    }

    // The controller's list offers the machine's serial devices; a network address is typed.
    QComboBox* controller = controls_.controller;
    for (const SerialDevice& device : devices_)
        controller->addItem(device.text);
    controller->setCurrentIndex(deviceEntry(settings_.GpibDevice));
    if (controller->currentIndex() < 0)
        controller->setEditText(settings_.GpibDevice);

    // A stored Maker that the list does not offer (the Ratoc boards) shows no selection.
    int makerEntry = -1;
    for (int i = 0; i < static_cast<int>(std::size(kMakers)); ++i) {
        if (kMakers[i] == settings_.Maker && i < controls_.maker->count())
            makerEntry = i;
    }
    controls_.maker->setCurrentIndex(makerEntry);
    DialogControls::showListValue(controls_.address, settings_.Address, 1);
    updateEnabling();
}

int CInterfaceDlg::deviceEntry(const QString& path) const
{
    if (path.isEmpty())
        return -1;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (devices_[i].device == path || devices_[i].systemLocation == path)
            return static_cast<int>(i);
    }
    return -1;
}

bool CInterfaceDlg::controllerChosen() const
{
    const int entry = controls_.maker->currentIndex();
    return entry >= 0 && entry < static_cast<int>(std::size(kMakers)) && kMakers[entry] == kControllerMaker;
}

void CInterfaceDlg::updateEnabling()
{
    const bool serial = controls_.rs232c->isChecked();
    controls_.portLabel->setEnabled(serial);
    controls_.port->setEnabled(serial);
    controls_.makerLabel->setEnabled(!serial);
    controls_.maker->setEnabled(!serial);
    controls_.addressLabel->setEnabled(!serial);
    controls_.address->setEnabled(!serial);
    const bool controller = !serial && controllerChosen();
    controls_.controllerLabel->setEnabled(controller);
    controls_.controller->setEnabled(controller);
}

void CInterfaceDlg::accept()
{
    settings_.Interface = controls_.rs232c->isChecked() ? 0 : 1;
    // A list without a selection stores 0.
    const int makerEntry = controls_.maker->currentIndex();
    settings_.Maker =
        makerEntry >= 0 && makerEntry < static_cast<int>(std::size(kMakers)) ? kMakers[makerEntry] : 0;
    settings_.Address = controls_.address->currentIndex() + 1;

    // The entry of a listed device stores the device; anything else is stored as typed.
    QComboBox* controller = controls_.controller;
    const QString typed = controller->currentText().trimmed();
    const int deviceAt = controller->findText(typed, Qt::MatchExactly);
    settings_.GpibDevice = deviceAt >= 0 && deviceAt < static_cast<int>(devices_.size())
                               ? devices_[static_cast<std::size_t>(deviceAt)].device
                               : typed;

    QComboBox* port = controls_.port;
    const QString text = port->currentText().trimmed();
    // What is typed counts as the entry it names (in any case), so typing "com3" is COM3.
    const int entry = text.isEmpty() ? -1 : port->findText(text, Qt::MatchFixedString);
    if (text.isEmpty()) {
        settings_.Port = 0;
        settings_.PortDevice.clear();
    } else if (entry >= 0 && entry < kComPorts) {
        settings_.Port = entry + 1;
        settings_.PortDevice.clear();
    } else if (entry >= 0 && entry == simulatorIndex_) {
        settings_.PortDevice = QLatin1String(kSimulatorDevice);
    } else if (entry >= devicesAt_ && entry < devicesAt_ + static_cast<int>(devices_.size())) {
        settings_.PortDevice = devices_[static_cast<std::size_t>(entry - devicesAt_)].device;
    } else {
        settings_.PortDevice = text;
    }
    TemplateDialog::accept();
}
