// The screenshot program: every picture of the user manual and the README, taken from the program
// itself under Xvfb by scripts/screenshots: screenshots OUTPUT-FOLDER. The manual shows each picture
// by its file name, so a window keeps its name here; a new picture gets a new name and an
// <img src="images/NAME.png"> in the manual. Pictures that neither the manual nor the README shows
// are for review and stay in the output folder.
#include "GuiTestSupport.h"
#include "ScreenshotSupport.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CEnvironmentDlg.h"
#include "dialogs/CInitDlg.h"
#include "dialogs/CInterfaceDlg.h"
#include "dialogs/CModeDlg.h"
#include "dialogs/COptionsDlg.h"
#include "dialogs/CRangeDlg.h"
#include "dialogs/CTransferDlg.h"
#include "dialogs/SerialDeviceList.h"
#include "dialogs/TransferProgress.h"
#include "instrument/TransferProcedures.h"
#include "model/CMainDoc.h"
#include "views/CDecimalEdit.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/CImportReportDlg.h"
#include "views/CommandRouter.h"
#include "views/TemplateLoader.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QPushButton>
#include <QThread>
#include <QtTest>
#include <cstdio>

using namespace Screenshots;

namespace {

// The main window with the four-channel example open, the set value of line 4 being typed over.
bool mainWindowShot(StartedProgram& program, const QDir& out)
{
    CMainFrame& frame = program.frame();
    frame.show();
    settle();
    CGridView& worksheet = *frame.documents().gridView();
    WorksheetTable* table = worksheet.table(0);
    table->setCurrentIndex(table->model()->index(3, 2));
    QTest::keyClick(table, Qt::Key_4);
    QTest::keyClicks(worksheet.textEditor(), QStringLiteral(".75"));
    return grabWindow(frame, out.filePath(QStringLiteral("main-window.png")));
}

// The Interface dialog as it looks with a USB adapter plugged in and chosen, and its port list open.
bool interfaceShots(StartedProgram& program, const QDir& out)
{
    CMainFrame& frame = program.frame();
    AppSettings& settings = frame.settings();
    const QString kept = settings.PortDevice;
    settings.PortDevice = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
    const std::vector<SerialDevice> devices = {
        SerialDevice(settings.PortDevice, QStringLiteral("/dev/ttyUSB0 — FT232R USB UART (FTDI)"),
                     QStringLiteral("/dev/ttyUSB0")),
        SerialDevice(QStringLiteral("/dev/ttyS4"), QStringLiteral("/dev/ttyS4 — 16550A"),
                     QStringLiteral("/dev/ttyS4"))};
    CInterfaceDlg dialog(*program.app->templates(), settings, devices, &frame);
    bool ok = grabWindow(dialog, out.filePath(QStringLiteral("interface-dialog.png")));
    QComboBox* port = dialog.controls().port;
    port->showPopup();
    // The list shows ten entries at a time: scrolled to its end, it shows the machine's devices and
    // the simulator below COM9.
    port->view()->scrollToBottom();
    settle();
    QWidget* popup = QApplication::activePopupWidget();
    if (popup)
        ok = grabWithPopup(dialog, *popup, out.filePath(QStringLiteral("interface-port-list.png"))) && ok;
    else
        ok = save(QPixmap(), out.filePath(QStringLiteral("interface-port-list.png"))) && ok;
    port->hidePopup();
    settings.PortDevice = kept;
    return ok;
}

// The Interface dialog with a Prologix-compatible GPIB controller chosen: its USB serial port by its
// stable link, the load at GPIB address 5.
bool prologixInterfaceShot(StartedProgram& program, const QDir& out)
{
    AppSettings settings = program.frame().settings();
    settings.Interface = 1;
    settings.Maker = 6;
    settings.Address = 5;
    settings.GpibDevice =
        QStringLiteral("/dev/serial/by-id/usb-Prologix_Prologix_GPIB-USB_Controller_PXA1B2C3-if00-port0");
    const std::vector<SerialDevice> devices = {
        SerialDevice(settings.GpibDevice,
                     QStringLiteral("/dev/ttyUSB0 — Prologix GPIB-USB Controller (Prologix)"),
                     QStringLiteral("/dev/ttyUSB0")),
        SerialDevice(QStringLiteral("/dev/ttyS4"), QStringLiteral("/dev/ttyS4 — 16550A"),
                     QStringLiteral("/dev/ttyS4"))};
    CInterfaceDlg dialog(*program.app->templates(), settings, devices, &program.frame());
    return grabWindow(dialog, out.filePath(QStringLiteral("interface-prologix.png")));
}

// The dialogs of the Sequence and Help menus that need no instrument.
bool dialogShots(StartedProgram& program, const QDir& out)
{
    CMainFrame& frame = program.frame();
    const TemplateLoader& loader = *program.app->templates();
    AppSettings& settings = frame.settings();
    bool ok = true;
    {
        CEnvironmentDlg dialog(loader, settings, &frame);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("environment-dialog.png"))) && ok;
    }
    {
        CAboutDlg dialog(loader, QStringLiteral(TESSOR_VERSION), &frame);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("about-dialog.png"))) && ok;
    }
    {
        // The values set before processing: a dialog no menu offers, kept for review.
        AppSettings initial = settings;
        initial.bInitCurr = 1;
        initial.InitCurr = 1.5;
        CInitDlg dialog(loader, initial, &frame);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("initial-values-dialog.png"))) && ok;
    }
    {
        AppSettings ranges = settings;
        ranges.RangeCC[0] = 1;
        ranges.RangeCV[0] = 1;
        ranges.ChRange = {1, 1, 0, 0, 0};
        TransferProcedures procedures(frame.device(), ranges, frame.currentDocument(), program.prompt);
        CRangeDlg dialog(loader, RangeData::fromSettings(ranges), procedures, nullptr, &frame);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("ranges-dialog.png"))) && ok;
    }
    {
        AppSettings mode = settings;
        mode.ModeChSoft[0] = ModeCCCV;
        mode.Volt1Ch[0] = 12.5;
        mode.RepeatCh[0] = 10;
        mode.deriveActiveValues();
        CModeDlg dialog(loader, mode, frame.currentDocument(), program.prompt, &frame);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("mode-dialog.png"))) && ok;
    }
    {
        COptionsDlg dialog(loader, settings, frame.currentDocument(), program.prompt, &frame);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("options-dialog.png"))) && ok;
    }
    return ok;
}

// The change report of a semicolon-separated spreadsheet export pasted at the end of channel 1.
bool importReportShot(StartedProgram& program, const QDir& out)
{
    CMainFrame& frame = program.frame();
    const CMainDoc& document = *frame.currentDocument().get();
    const QString columns = QStringLiteral("Current[A];Interval[s];Transition;Load;Comment\n"
                                           "0,5;10;Step;on;warm-up\n"
                                           "1,25;2,7;Ramp;on;\n"
                                           "2,5;30;Step;on;plateau\n"
                                           "n/a;5;Step;on;sensor gap\n"
                                           "4;1200,2;Step;on;\n"
                                           "0;5;Step;off;rest\n");
    StepImport::Target target;
    target.channel = 0;
    for (int c = 0; c < kChannelCount; ++c)
        target.counts[c] = document.channel(c).count;
    target.line = target.counts[0] + 1;
    CImportReportDlg dialog(*program.app->templates(), StepColumns::read(columns), frame.settings(), target,
                            QStringLiteral("drive-cycle.csv"), &frame);
    return grabWindow(dialog, out.filePath(QStringLiteral("import-report.png")));
}

// A Hardware Control document of 255 steps in channel 2, written into the built-in simulator
// through the Transfer dialog; the screen is taken half-way, with the progress in the status bar.
bool transferShots(StartedProgram& program, const QDir& out)
{
    CMainFrame& frame = program.frame();
    AppSettings& settings = frame.settings();
    program.prompt.threeWayAnswers = {ShellPrompt::Answer::No};
    frame.router().trigger(CMainFrame::IdNew);
    frame.changeControlMethod(HardwareControl);
    CMainDoc* document = frame.currentDocument().get();
    ChannelSequence& channel = document->channel(1);
    for (int k = 0; k < kHardwareStepLimit; ++k) {
        channel.steps[k].value = QString::number(0.5 + 0.01 * k, 'f', 4);
        channel.steps[k].interval = QStringLiteral("1.000");
        channel.steps[k].transition = QStringLiteral("0");
        channel.steps[k].load = QStringLiteral("1");
        channel.steps[k].load2 = QStringLiteral("1");
    }
    channel.count = kHardwareStepLimit;
    document->recomputeTimes(1, 0);
    frame.documents().refillAllChannels();
    frame.switchChannel(1);
    // 255 boundary lines would fill the graph: it shows the line alone.
    frame.mdiArea()->setActiveSubWindow(frame.documents().graphWindow());
    frame.router().trigger(CGraphView::IdVerticalAxis);
    frame.mdiArea()->setActiveSubWindow(frame.documents().worksheetWindow());
    settings.Ch = {0, 1, 0, 0, 0};
    settings.Interface = 0;
    settings.PortDevice = QStringLiteral("simulator");
    frame.applyInterfaceSettings();
    frame.showMaximized();
    settle();
    bool ok = true;
    bool midTransfer = false;
    const QWidget* transferDialog = nullptr;
    TransferProgress* progress = frame.transferProgress();
    frame.device().setWriteProgress([&](int c, int k, int n) {
        progress->step(c, k, n);
        if (k != 120)
            return;
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(20);
        }
        midTransfer =
            grabScreen(frame, transferDialog, out.filePath(QStringLiteral("main-window-transfer.png")));
    });
    program.services.onDialog = [&](QDialog& dialog) {
        auto* transfer = qobject_cast<CTransferDlg*>(&dialog);
        if (!transfer)
            return int(QDialog::Rejected);
        ok = grabWindow(dialog, out.filePath(QStringLiteral("transfer-dialog.png"))) && ok;
        transferDialog = &dialog;
        transfer->controls().write->click();
        dialog.hide();
        return int(QDialog::Rejected);
    };
    frame.router().trigger(CMainFrame::IdTransfer);
    program.services.onDialog = nullptr;
    if (!midTransfer)
        std::fprintf(stderr, "no screen taken during the transfer: %s\n",
                     qPrintable(program.prompt.texts().join('|')));
    return ok && midTransfer;
}

// The main window, its dialogs and a transfer, in one program with the four-channel example open.
bool shellShots(const QDir& out)
{
    StartedProgram program;
    QFile example(QStringLiteral(TESSOR_EXAMPLES_DIR "/four-channel.tsr"));
    if (!example.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(example.fileName()));
        return false;
    }
    const QString file = program.folders.writeFile(QStringLiteral("four-channel.tsr"), example.readAll());
    if (!startLaidOut(program, file, WindowLayout{QSize(1000, 640), 480, 990, 500}))
        return false;
    bool ok = mainWindowShot(program, out);
    ok = interfaceShots(program, out) && ok;
    ok = prologixInterfaceShot(program, out) && ok;
    ok = dialogShots(program, out) && ok;
    ok = importReportShot(program, out) && ok;
    ok = transferShots(program, out) && ok;
    program.stop();
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    bool ok = shellShots(out);
    ok = graphShots(out) && ok;
    ok = runWindowShots(out) && ok;
    ok = curveShots(out) && ok;
    return ok ? 0 : 1;
}
