#include "dialogs/CInterfaceDlg.h"

#include "dialogs/DialogControls.h"
#include "model/AppSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

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
        const int entry = deviceIndex(settings_.PortDevice);
        if (entry >= 0) {
            port->setCurrentIndex(entry);
        } else {
            port->setCurrentIndex(-1);
            port->setEditText(settings_.PortDevice);
        }
    }
    DialogControls::showListValue(controls_.maker, settings_.Maker, 1);
    DialogControls::showListValue(controls_.address, settings_.Address, 1);
    updateEnabling();
}

int CInterfaceDlg::deviceIndex(const QString& path) const
{
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (devices_[i].device == path || devices_[i].systemLocation == path)
            return devicesAt_ + static_cast<int>(i);
    }
    return -1;
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
}

void CInterfaceDlg::accept()
{
    settings_.Interface = controls_.rs232c->isChecked() ? 0 : 1;
    // A list without a selection stores 0, as its index + 1.
    settings_.Maker = controls_.maker->currentIndex() + 1;
    settings_.Address = controls_.address->currentIndex() + 1;

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
