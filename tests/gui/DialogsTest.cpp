#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/MessageBoxPrompt.h"
#include "app/StatusPanes.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CEnvironmentDlg.h"
#include "dialogs/CInterfaceDlg.h"
#include "link/LinkOptions.h"
#include "model/AppSettings.h"
#include "ui/ResourceModule.h"
#include "views/CDecimalEdit.h"
#include "views/CommandRouter.h"
#include "views/TemplateLoader.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

// The shell's dialogs built from their templates: Interface, Set Environment, About, and the
// decimal edit field.
class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void everyTemplateHasTheControlsItsDialogUses();
    void aMissingControlIsNamedAndNeverNull();
    void interfaceListsFollowTheChosenLink();
    void interfaceOffersTheGpibAddressesTessorctlTakes();
    void interfaceStoresTheChosenComPortAndClearsTheDevice();
    void interfaceStoresADeviceATypedPathOrTheSimulator();
    void interfaceOffersAUsbAdapterByItsStableLink();
    void interfaceShowsTheStoredDevice();
    void interfaceStoresMakerZeroWhenTheListHasNoSelection();
    void interfaceChoosesAPrologixControllerAndItsDevice();
    void interfaceCancelChangesNothing();
    void interfaceCommandStoresOnOk();
    void interfaceCommandHandsTheControllerToThePort();
    void interfaceWithoutAMakerMakesTheLinkTheComPortOfTheAddress();
    void environmentRefusesAnEmptyExtension();
    void environmentStoresSeparatorsAndTheTrimmedExtension();
    void aboutBoxShowsTheVersion();
    void decimalEditTakesDigitsAndOnePoint();
    void decimalEditFiltersPastedText();
    void messageBoxesCarryTheTextIconAndButtons();

private:
    ResourceModule module_;
    RecordingShellPrompt prompt_;
    std::unique_ptr<TemplateLoader> loader_;
    AppSettings settings_;
};

void DialogsTest::initTestCase()
{
    QVERIFY(module_.loadFromProgramFolder());
    loader_ = std::make_unique<TemplateLoader>(module_, prompt_);
}

void DialogsTest::cleanupTestCase()
{
    loader_.reset();
}

void DialogsTest::init()
{
    settings_ = AppSettings();
    prompt_.clear();
}

void DialogsTest::everyTemplateHasTheControlsItsDialogUses()
{
    QCOMPARE(CTessorApp::checkDialogTemplates(*loader_), QString());
    CInterfaceDlg interface(*loader_, settings_, {});
    CEnvironmentDlg environment(*loader_, settings_);
    CAboutDlg about(*loader_, QStringLiteral("3.20"));
    QVERIFY(interface.isComplete());
    QVERIFY(environment.isComplete());
    QVERIFY(about.isComplete());
    QCOMPARE(interface.windowTitle(), QStringLiteral("Interface"));
    QCOMPARE(environment.windowTitle(), QStringLiteral("Set Environment"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Tessor"));
}

void DialogsTest::aMissingControlIsNamedAndNeverNull()
{
    QWidget host;
    auto* form = new QWidget(&host);
    new QLabel(form);
    TemplateForm template_(QStringLiteral("ui/Test.ui"), &host, form, QString());
    QComboBox* list = nullptr;
    template_.bind(list, "comboMissing");
    QVERIFY(list != nullptr);
    QVERIFY(!template_.isComplete());
    QCOMPARE(template_.problems(), QStringLiteral("ui/Test.ui: no QComboBox named \"comboMissing\""));

    // A template that is not in the module refuses to open, with the reason.
    TemplateDialog dialog(*loader_, QStringLiteral("Nowhere.ui"), nullptr);
    QVERIFY(!dialog.isComplete());
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(prompt_.texts(),
             QStringList{QStringLiteral("Module Error\nui/Nowhere.ui: missing from TessorOpt.rcc")});
    QCOMPARE(prompt_.entries.front().icon, UserPrompt::Icon::Critical);
}

void DialogsTest::interfaceListsFollowTheChosenLink()
{
    CInterfaceDlg dialog(*loader_, settings_, {});
    const CInterfaceDlg::Controls& c = dialog.controls();
    QVERIFY(c.rs232c->isChecked());
    QVERIFY(c.port->isEnabled());
    QVERIFY(!c.maker->isEnabled());
    QVERIFY(!c.address->isEnabled());
    c.gpib->click();
    QVERIFY(!c.port->isEnabled());
    QVERIFY(c.maker->isEnabled());
    QVERIFY(c.address->isEnabled());
    c.rs232c->click();
    QVERIFY(c.port->isEnabled());
    QVERIFY(!c.address->isEnabled());

    settings_.Interface = 1;
    CInterfaceDlg gpib(*loader_, settings_, {});
    QVERIFY(gpib.controls().gpib->isChecked());
    QVERIFY(!gpib.controls().port->isEnabled());
    QVERIFY(gpib.controls().maker->isEnabled());

    // A stored value that is neither 0 nor 1 is GPIB everywhere; the dialog shows it so and stores 1.
    settings_.Interface = 7;
    CInterfaceDlg odd(*loader_, settings_, {});
    QVERIFY(odd.controls().gpib->isChecked());
    QVERIFY(!odd.controls().rs232c->isChecked());
    odd.accept();
    QCOMPARE(settings_.Interface, 1);
}

void DialogsTest::interfaceOffersTheGpibAddressesTessorctlTakes()
{
    // One range, documented once: "--gpib MAKER:ADDRESS" takes what the dialog lists.
    CInterfaceDlg dialog(*loader_, settings_, {});
    QStringList listed;
    for (int i = 0; i < dialog.controls().address->count(); ++i)
        listed << dialog.controls().address->itemText(i);
    QStringList range;
    for (int address = LinkOptions::firstGpibAddress; address <= LinkOptions::lastGpibAddress; ++address)
        range << QString::number(address);
    QCOMPARE(listed, range);
}

void DialogsTest::interfaceStoresTheChosenComPortAndClearsTheDevice()
{
    settings_.Port = 2;
    settings_.PortDevice = QStringLiteral("/dev/ttyUSB0");
    CInterfaceDlg dialog(*loader_, settings_, {QStringLiteral("/dev/ttyUSB0")});
    const CInterfaceDlg::Controls& c = dialog.controls();
    QCOMPARE(c.port->itemText(0), QStringLiteral("COM1"));
    QCOMPARE(c.port->itemText(8), QStringLiteral("COM9"));
    QCOMPARE(c.port->itemText(9), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(c.port->itemText(10), QStringLiteral("Simulator"));
    QCOMPARE(c.port->currentText(), QStringLiteral("/dev/ttyUSB0"));
    c.port->setCurrentIndex(4);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(settings_.Interface, 0);
    QCOMPARE(settings_.Port, 5);
    QVERIFY(settings_.PortDevice.isEmpty());

    // Typed in any case, a COM entry still counts as that entry.
    CInterfaceDlg typed(*loader_, settings_, {});
    typed.controls().port->setEditText(QStringLiteral("com7"));
    typed.accept();
    QCOMPARE(settings_.Port, 7);
}

void DialogsTest::interfaceStoresADeviceATypedPathOrTheSimulator()
{
    const std::vector<SerialDevice> devices = {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS0")};
    {
        CInterfaceDlg dialog(*loader_, settings_, devices);
        dialog.controls().port->setCurrentIndex(10);
        dialog.accept();
        QCOMPARE(settings_.PortDevice, QStringLiteral("/dev/ttyS0"));
        QCOMPARE(settings_.Port, 1);
    }
    {
        CInterfaceDlg dialog(*loader_, settings_, devices);
        dialog.controls().port->setEditText(QStringLiteral("  /dev/serial/by-id/usb-kdrx  "));
        dialog.accept();
        QCOMPARE(settings_.PortDevice, QStringLiteral("/dev/serial/by-id/usb-kdrx"));
    }
    {
        CInterfaceDlg dialog(*loader_, settings_, devices);
        QComboBox* port = dialog.controls().port;
        port->setCurrentIndex(port->count() - 1);
        QCOMPARE(port->currentText(), QStringLiteral("Simulator"));
        dialog.accept();
        QCOMPARE(settings_.PortDevice, QStringLiteral("simulator"));
    }
    {
        // Nothing chosen: port 0, as the list's missing selection.
        CInterfaceDlg dialog(*loader_, settings_, devices);
        dialog.controls().port->setEditText(QString());
        dialog.accept();
        QCOMPARE(settings_.Port, 0);
        QVERIFY(settings_.PortDevice.isEmpty());
    }
}

void DialogsTest::interfaceOffersAUsbAdapterByItsStableLink()
{
    const QString link = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
    const std::vector<SerialDevice> devices = {
        SerialDevice(link, QStringLiteral("/dev/ttyUSB0 — FT232R USB UART (FTDI)"),
                     QStringLiteral("/dev/ttyUSB0")),
        QStringLiteral("/dev/ttyS0")};
    {
        CInterfaceDlg dialog(*loader_, settings_, devices);
        QComboBox* port = dialog.controls().port;
        QCOMPARE(port->itemText(9), QStringLiteral("/dev/ttyUSB0 — FT232R USB UART (FTDI)"));
        QCOMPARE(port->itemText(10), QStringLiteral("/dev/ttyS0"));
        port->setCurrentIndex(9);
        dialog.accept();
        QCOMPARE(settings_.PortDevice, link);
    }
    // Shown again as the adapter's entry, whether stored by its link or (from before) by its node.
    for (const QString& stored : {link, QStringLiteral("/dev/ttyUSB0")}) {
        settings_.PortDevice = stored;
        CInterfaceDlg dialog(*loader_, settings_, devices);
        QCOMPARE(dialog.controls().port->currentIndex(), 9);
        dialog.accept();
        QCOMPARE(settings_.PortDevice, link);
    }
    // A node typed by hand is stored as typed.
    CInterfaceDlg typed(*loader_, settings_, devices);
    typed.controls().port->setEditText(QStringLiteral("/dev/ttyUSB0"));
    typed.accept();
    QCOMPARE(settings_.PortDevice, QStringLiteral("/dev/ttyUSB0"));
}

void DialogsTest::interfaceShowsTheStoredDevice()
{
    settings_.PortDevice = QStringLiteral("simulator");
    {
        CInterfaceDlg dialog(*loader_, settings_, {QStringLiteral("/dev/ttyACM0")});
        QCOMPARE(dialog.controls().port->currentText(), QStringLiteral("Simulator"));
        // OK without a change keeps it.
        dialog.accept();
        QCOMPARE(settings_.PortDevice, QStringLiteral("simulator"));
    }
    settings_.PortDevice = QStringLiteral("/dev/ttyUSB7");
    {
        CInterfaceDlg dialog(*loader_, settings_, {QStringLiteral("/dev/ttyACM0")});
        QCOMPARE(dialog.controls().port->currentText(), QStringLiteral("/dev/ttyUSB7"));
        dialog.accept();
        QCOMPARE(settings_.PortDevice, QStringLiteral("/dev/ttyUSB7"));
    }
    settings_.PortDevice.clear();
    settings_.Port = 3;
    CInterfaceDlg dialog(*loader_, settings_, {});
    QCOMPARE(dialog.controls().port->currentText(), QStringLiteral("COM3"));
}

void DialogsTest::interfaceStoresMakerZeroWhenTheListHasNoSelection()
{
    // The list offers three makers: a stored 4 or 5 shows no selection and is stored back as 0,
    // which the port layer takes for RS-232C on COM<Address>.
    settings_.Interface = 1;
    settings_.Maker = 4;
    settings_.Address = 14;
    CInterfaceDlg dialog(*loader_, settings_, {});
    QCOMPARE(dialog.controls().maker->currentIndex(), -1);
    QCOMPARE(dialog.controls().address->currentText(), QStringLiteral("14"));
    dialog.accept();
    QCOMPARE(settings_.Interface, 1);
    QCOMPARE(settings_.Maker, 0);
    QCOMPARE(settings_.Address, 14);

    CInterfaceDlg contec(*loader_, settings_, {});
    contec.controls().maker->setCurrentIndex(2);
    contec.controls().address->setCurrentIndex(4);
    contec.accept();
    QCOMPARE(settings_.Maker, 3);
    QCOMPARE(settings_.Address, 5);
}

void DialogsTest::interfaceChoosesAPrologixControllerAndItsDevice()
{
    const QString link =
        QStringLiteral("/dev/serial/by-id/usb-Prologix_Prologix_GPIB-USB_Controller_PX1-if00-port0");
    const std::vector<SerialDevice> devices = {
        SerialDevice(link, QStringLiteral("/dev/ttyUSB0 — FT245R USB FIFO (Prologix)"),
                     QStringLiteral("/dev/ttyUSB0")),
        QStringLiteral("/dev/ttyS0")};
    settings_.PortDevice = QStringLiteral("/dev/ttyS0");
    {
        CInterfaceDlg dialog(*loader_, settings_, devices);
        const CInterfaceDlg::Controls& c = dialog.controls();
        QCOMPARE(c.maker->itemText(3), QStringLiteral("Prologix-compatible controller"));
        QCOMPARE(c.controller->count(), 2);
        QVERIFY(!c.controller->isEnabled());
        c.gpib->click();
        QVERIFY2(!c.controller->isEnabled(), "a board maker has no controller device");
        c.maker->setCurrentIndex(3);
        QVERIFY(c.controller->isEnabled());
        QVERIFY(c.controllerLabel->isEnabled());
        c.controller->setCurrentIndex(0);
        c.address->setCurrentIndex(4);
        c.ok->click();
        QCOMPARE(settings_.Interface, 1);
        QCOMPARE(settings_.Maker, 6);
        QCOMPARE(settings_.Address, 5);
        QCOMPARE(settings_.GpibDevice, link);
        QCOMPARE(settings_.PortDevice, QStringLiteral("/dev/ttyS0"));
    }
    {
        // Shown again as stored; the network model's address is typed.
        CInterfaceDlg dialog(*loader_, settings_, devices);
        const CInterfaceDlg::Controls& c = dialog.controls();
        QCOMPARE(c.maker->currentText(), QStringLiteral("Prologix-compatible controller"));
        QCOMPARE(c.controller->currentIndex(), 0);
        QVERIFY(c.controller->isEnabled());
        c.controller->lineEdit()->selectAll();
        QTest::keyClicks(c.controller->lineEdit(), QStringLiteral("192.0.2.7:1234"));
        dialog.accept();
        QCOMPARE(settings_.GpibDevice, QStringLiteral("192.0.2.7:1234"));
    }
    {
        // RS232C greys the controller and keeps what it holds.
        CInterfaceDlg dialog(*loader_, settings_, devices);
        QCOMPARE(dialog.controls().controller->currentText(), QStringLiteral("192.0.2.7:1234"));
        dialog.controls().rs232c->click();
        QVERIFY(!dialog.controls().controller->isEnabled());
        dialog.accept();
        QCOMPARE(settings_.Interface, 0);
        QCOMPARE(settings_.Maker, 6);
        QCOMPARE(settings_.GpibDevice, QStringLiteral("192.0.2.7:1234"));
    }
}

void DialogsTest::interfaceCancelChangesNothing()
{
    const AppSettings before = settings_;
    CInterfaceDlg dialog(*loader_, settings_, {});
    dialog.controls().gpib->click();
    dialog.controls().maker->setCurrentIndex(1);
    dialog.controls().cancel->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(settings_.Interface, before.Interface);
    QCOMPARE(settings_.Maker, before.Maker);
    QCOMPARE(settings_.Port, before.Port);
}

void DialogsTest::interfaceCommandStoresOnOk()
{
    StartedProgram program;
    QCOMPARE(program.start(), CTessorApp::kRunning);
    program.services.onDialog = [](QDialog& dialog) {
        auto* interface = qobject_cast<CInterfaceDlg*>(&dialog);
        if (!interface)
            return int(QDialog::Rejected);
        interface->controls().gpib->click();
        interface->controls().maker->setCurrentIndex(0);
        interface->controls().address->setCurrentIndex(6);
        interface->controls().ok->click();
        return interface->result();
    };
    QVERIFY(program.frame().router().trigger(CMainFrame::IdInterface));
    QCOMPARE(program.services.dialogsRun, 1);
    QCOMPARE(program.frame().settings().Interface, 1);
    QCOMPARE(program.frame().settings().Maker, 1);
    QCOMPARE(program.frame().settings().Address, 7);
    program.frame().updateCommandUi();
    QCOMPARE(program.frame().statusPanes().text(StatusPanes::kLink), QStringLiteral("GPIB"));
    // The port takes the new settings at once.
    QCOMPARE(program.frame().port().kind, int(CInstrumentPort::NiGpib));
    QCOMPARE(program.frame().port().address, 7);

    // Cancel leaves the port as it is.
    program.services.onDialog = [](QDialog& dialog) {
        auto* interface = qobject_cast<CInterfaceDlg*>(&dialog);
        interface->controls().rs232c->click();
        interface->controls().cancel->click();
        return interface->result();
    };
    program.frame().router().trigger(CMainFrame::IdInterface);
    QCOMPARE(program.frame().port().kind, int(CInstrumentPort::NiGpib));
    QCOMPARE(program.frame().settings().Interface, 1);
}

void DialogsTest::interfaceCommandHandsTheControllerToThePort()
{
    StartedProgram program;
    QCOMPARE(program.start(), CTessorApp::kRunning);
    program.services.onDialog = [](QDialog& dialog) {
        auto* interface = qobject_cast<CInterfaceDlg*>(&dialog);
        if (!interface)
            return int(QDialog::Rejected);
        interface->controls().gpib->click();
        interface->controls().maker->setCurrentIndex(3);
        interface->controls().address->setCurrentIndex(8);
        interface->controls().controller->setEditText(QStringLiteral("tcp:192.0.2.7:1234"));
        interface->controls().ok->click();
        return interface->result();
    };
    QVERIFY(program.frame().router().trigger(CMainFrame::IdInterface));
    QCOMPARE(program.frame().settings().Maker, 6);
    QCOMPARE(program.frame().port().kind, int(CInstrumentPort::PrologixGpib));
    QCOMPARE(program.frame().port().address, 9);
    QCOMPARE(program.frame().port().prologix().device, QStringLiteral("tcp:192.0.2.7:1234"));
}

void DialogsTest::interfaceWithoutAMakerMakesTheLinkTheComPortOfTheAddress()
{
    StartedProgram program;
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Config/Interface"), 1);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Config/Maker"), 5);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Config/Address"), 4);
    QCOMPARE(program.start(), CTessorApp::kRunning);
    // Ratoc USB, which the English list does not offer.
    QCOMPARE(program.frame().port().kind, int(CInstrumentPort::RatocUsbGpib));
    program.services.onDialog = [](QDialog& dialog) {
        auto* interface = qobject_cast<CInterfaceDlg*>(&dialog);
        interface->controls().ok->click();
        return interface->result();
    };
    program.frame().router().trigger(CMainFrame::IdInterface);
    QCOMPARE(program.frame().settings().Maker, 0);
    QCOMPARE(program.frame().port().kind, int(CInstrumentPort::Rs232c));
    QCOMPARE(program.frame().port().address, 4);
}

void DialogsTest::environmentRefusesAnEmptyExtension()
{
    CEnvironmentDlg dialog(*loader_, settings_);
    const CEnvironmentDlg::Controls& c = dialog.controls();
    QCOMPARE(c.extension->currentText(), QStringLiteral("txt"));
    QCOMPARE(c.extension->count(), 3);
    c.tsrComma->setChecked(true);
    c.extension->setEditText(QStringLiteral("   "));
    c.ok->click();
    QCOMPARE(prompt_.texts(), QStringList{QStringLiteral("Enter the extension.")});
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(settings_.Tsr, 0);
    QCOMPARE(settings_.Ext, QStringLiteral("txt"));
}

void DialogsTest::environmentStoresSeparatorsAndTheTrimmedExtension()
{
    {
        CEnvironmentDlg dialog(*loader_, settings_);
        const CEnvironmentDlg::Controls& c = dialog.controls();
        QVERIFY(c.tsrTab->isChecked());
        QVERIFY(c.txtTab->isChecked());
        c.tsrComma->setChecked(true);
        c.txtComma->setChecked(true);
        c.extension->setEditText(QStringLiteral("  log "));
        c.ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(settings_.Tsr, 1);
    QCOMPARE(settings_.Txt, 1);
    QCOMPARE(settings_.Ext, QStringLiteral("log"));

    CEnvironmentDlg again(*loader_, settings_);
    QVERIFY(again.controls().tsrComma->isChecked());
    QVERIFY(again.controls().txtComma->isChecked());
    again.controls().tsrTab->setChecked(true);
    again.controls().extension->setCurrentIndex(1);
    again.controls().cancel->click();
    QCOMPARE(settings_.Tsr, 1);
    QCOMPARE(settings_.Ext, QStringLiteral("log"));
}

void DialogsTest::aboutBoxShowsTheVersion()
{
    CAboutDlg dialog(*loader_, QStringLiteral(TESSOR_VERSION));
    QCOMPARE(dialog.controls().version->text(), QStringLiteral("Tessor Version 3.20"));
}

void DialogsTest::decimalEditTakesDigitsAndOnePoint()
{
    CDecimalEdit edit;
    QTest::keyClicks(&edit, QStringLiteral("1.2.3"));
    QCOMPARE(edit.text(), QStringLiteral("1.23"));
    edit.clear();
    QTest::keyClicks(&edit, QStringLiteral("-"));
    QCOMPARE(edit.text(), QString());
    QTest::keyClicks(&edit, QStringLiteral("+1e5 ,x7"));
    QCOMPARE(edit.text(), QStringLiteral("157"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("15"));
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClicks(&edit, QStringLiteral(".9"));
    QCOMPARE(edit.text(), QStringLiteral(".915"));

    edit.setToolTipText(QStringLiteral("500 to 600000"));
    QCOMPARE(edit.toolTip(), QStringLiteral("500 to 600000"));
}

void DialogsTest::decimalEditFiltersPastedText()
{
    CDecimalEdit edit;
    QTest::keyClicks(&edit, QStringLiteral("4."));
    QGuiApplication::clipboard()->setText(QStringLiteral("a1.2b-3"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("4.123"));
    // The context menu's paste takes only text that is a decimal as a whole.
    edit.clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("-5"));
    edit.paste();
    QCOMPARE(edit.text(), QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("2.5"));
    edit.paste();
    QCOMPARE(edit.text(), QStringLiteral("2.5"));
}

namespace {

// What a message box showed, answered with a button once it is up.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::CursorShape cursor = Qt::BlankCursor;
};

void answerNextBox(SeenBox& seen, QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = SeenBox{box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                       QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                      : Qt::BlankCursor};
        box->button(button)->click();
    });
}

} // namespace

void DialogsTest::messageBoxesCarryTheTextIconAndButtons()
{
    MessageBoxPrompt prompt;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    prompt.showMessage(QStringLiteral("Change without entering data."));
    QCOMPARE(seen.title, QStringLiteral("Tessor"));
    QCOMPARE(seen.text, QStringLiteral("Change without entering data."));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    answerNextBox(seen, QMessageBox::Ok);
    prompt.showMessage(QStringLiteral("Module Error"), UserPrompt::Icon::Critical);
    QCOMPARE(seen.icon, QMessageBox::Critical);

    answerNextBox(seen, QMessageBox::No);
    QVERIFY(!prompt.askYesNo(QStringLiteral("Overwrite?")));
    QCOMPARE(seen.icon, QMessageBox::Information);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    answerNextBox(seen, QMessageBox::Yes);
    QVERIFY(prompt.askYesNo(QStringLiteral("Overwrite?"), UserPrompt::Icon::None));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);

    answerNextBox(seen, QMessageBox::Cancel);
    QCOMPARE(prompt.askYesNoCancel(QStringLiteral("Save changes to Tessor1?")), ShellPrompt::Answer::Cancel);
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    answerNextBox(seen, QMessageBox::No);
    QCOMPARE(prompt.askYesNoCancel(QStringLiteral("Save changes to Tessor1?")), ShellPrompt::Answer::No);

    // The wait cursor, and the normal one over a message shown meanwhile.
    prompt.setBusy(true);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    answerNextBox(seen, QMessageBox::Ok);
    prompt.showMessage(QStringLiteral("There is no data to save."));
    QCOMPARE(seen.cursor, Qt::ArrowCursor);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    prompt.setBusy(false);
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
