// Takes screenshots of the main window with an open document (an editor open in its worksheet), of
// the dialogs and of the main window during a transfer, for the manual, the README and for review.
// Run under Xvfb by scripts/screenshots: screenshots OUTPUT-FOLDER. The manual shows each picture by
// its file name, so a window keeps its name here; a new window adds its own grab() with a new name.
#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CEnvironmentDlg.h"
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
#include "views/CGridView.h"
#include "views/CommandRouter.h"
#include "views/TemplateLoader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QtTest>
#include <cstdio>

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

// What the screen shows where the window is, dialogs over it included.
bool saveScreen(const QWidget& window, const QString& path)
{
    const QRect area = window.frameGeometry();
    const bool saved = QGuiApplication::primaryScreen()
                           ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                           .save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

bool grab(QWidget& widget, const QString& path)
{
    widget.show();
    widget.raise();
    widget.activateWindow();
    settle();
    const bool saved = widget.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
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

    StartedProgram program;
    QFile example(QStringLiteral(TESSOR_EXAMPLES_DIR "/four-channel.tsr"));
    if (!example.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(example.fileName()));
        return 1;
    }
    const QString file = program.folders.writeFile(QStringLiteral("four-channel.tsr"), example.readAll());
    writeProfileValue(program.folders.profilePath(), QStringLiteral("bPos"), 1);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Right"), 1000);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Bottom"), 640);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Grid/Right"), 480);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Grid/Bottom"), 500);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Left"), 480);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Right"), 990);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Bottom"), 500);
    if (program.start({file}) != CTessorApp::kRunning) {
        std::fprintf(stderr, "the program did not start: %s\n",
                     qPrintable(program.prompt.texts().join('\n')));
        return 1;
    }
    CMainFrame& frame = program.frame();
    frame.show();
    settle();
    // The set value of line 4 being typed over.
    CGridView& worksheet = *frame.documents().gridView();
    WorksheetTable* table = worksheet.table(0);
    table->setCurrentIndex(table->model()->index(3, 2));
    QTest::keyClick(table, Qt::Key_4);
    QTest::keyClicks(worksheet.textEditor(), QStringLiteral(".75"));
    bool ok = grab(frame, out.filePath(QStringLiteral("main-window.png")));

    const TemplateLoader& loader = *program.app->templates();
    AppSettings& settings = frame.settings();
    {
        settings.PortDevice = QStringLiteral("simulator");
        CInterfaceDlg dialog(loader, settings, SerialDeviceList::scan(), &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("interface-dialog.png"))) && ok;
    }
    {
        // As it looks with a USB adapter plugged in and chosen.
        settings.PortDevice = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
        const std::vector<SerialDevice> devices = {
            SerialDevice(settings.PortDevice, QStringLiteral("/dev/ttyUSB0 — FT232R USB UART (FTDI)"),
                         QStringLiteral("/dev/ttyUSB0")),
            SerialDevice(QStringLiteral("/dev/ttyS4"), QStringLiteral("/dev/ttyS4 — 16550A"),
                         QStringLiteral("/dev/ttyS4"))};
        CInterfaceDlg dialog(loader, settings, devices, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("interface-dialog-usb.png"))) && ok;
        settings.PortDevice = QStringLiteral("simulator");
    }
    {
        CEnvironmentDlg dialog(loader, settings, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("environment-dialog.png"))) && ok;
    }
    {
        CAboutDlg dialog(loader, QStringLiteral(TESSOR_VERSION), &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("about-dialog.png"))) && ok;
    }
    {
        TransferProcedures procedures(frame.device(), settings, frame.currentDocument(), program.prompt);
        CRangeDlg dialog(loader, RangeData::fromSettings(settings), procedures, nullptr, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("ranges-dialog.png"))) && ok;
    }
    {
        settings.ModeChSoft[0] = ModeCCCV;
        settings.Volt1Ch[0] = 12.5;
        settings.deriveActiveValues();
        CModeDlg dialog(loader, settings, frame.currentDocument(), program.prompt, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("mode-dialog.png"))) && ok;
    }
    {
        COptionsDlg dialog(loader, settings, frame.currentDocument(), program.prompt, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("options-dialog.png"))) && ok;
    }

    // A Hardware Control document of 255 steps in channel 2, written into the built-in simulator
    // through the Transfer dialog; the screen is taken half-way, with the progress in the status bar.
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
    settings.Ch = {0, 1, 0, 0, 0};
    settings.Interface = 0;
    settings.PortDevice = QStringLiteral("simulator");
    frame.applyInterfaceSettings();
    frame.showMaximized();
    settle();
    bool midTransfer = false;
    TransferProgress* progress = frame.transferProgress();
    frame.device().setWriteProgress([&](int c, int k, int n) {
        progress->step(c, k, n);
        if (k != 120)
            return;
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(20);
        }
        midTransfer = saveScreen(frame, out.filePath(QStringLiteral("main-window-transfer.png")));
    });
    program.services.onDialog = [&](QDialog& dialog) {
        auto* transfer = qobject_cast<CTransferDlg*>(&dialog);
        if (!transfer)
            return int(QDialog::Rejected);
        ok = grab(dialog, out.filePath(QStringLiteral("transfer-dialog.png"))) && ok;
        transfer->controls().write->click();
        dialog.hide();
        return int(QDialog::Rejected);
    };
    frame.router().trigger(CMainFrame::IdTransfer);
    if (!midTransfer)
        std::fprintf(stderr, "no screen taken during the transfer: %s\n",
                     qPrintable(program.prompt.texts().join('|')));
    return ok && midTransfer ? 0 : 1;
}
