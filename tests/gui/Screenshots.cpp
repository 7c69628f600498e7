// Takes screenshots of the main window with an open document (an editor open in its worksheet), of
// the dialogs and of the main window during a transfer, for the manual, the README and for review.
// Run under Xvfb by scripts/screenshots: screenshots OUTPUT-FOLDER. The manual shows each picture by
// its file name, so a window keeps its name here; a new window adds its own grab() with a new name.
#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CEnvironmentDlg.h"
#include "dialogs/CInitDlg.h"
#include "dialogs/CInterfaceDlg.h"
#include "dialogs/CModeDlg.h"
#include "dialogs/CMonitorSetupDlg.h"
#include "dialogs/COptionsDlg.h"
#include "dialogs/CRangeDlg.h"
#include "dialogs/CRunDlg.h"
#include "dialogs/CTransferDlg.h"
#include "dialogs/SerialDeviceList.h"
#include "dialogs/TransferProgress.h"
#include "instrument/TransferProcedures.h"
#include "model/CMainDoc.h"
#include "run/RunEngine.h"
#include "views/CDecimalEdit.h"
#include "views/CGridView.h"
#include "views/CommandRouter.h"
#include "views/TemplateLoader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
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
    // Without a window manager there is no title bar: the caption is drawn above the window.
    const QPixmap window = widget.grab();
    const int bar = 24;
    QPixmap shot(window.width(), window.height() + bar);
    shot.fill(QColor(60, 60, 70));
    QPainter painter(&shot);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, window.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft,
                     widget.windowTitle());
    painter.drawPixmap(0, bar, window);
    painter.end();
    const bool saved = shot.save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// Five CC channels of a few steps each, and a program on the in-process simulator on a fake clock.
QString fiveChannelFile(const StartedProgram& program, const QString& control)
{
    std::vector<std::vector<QString>> channels;
    for (int c = 0; c < 5; ++c) {
        channels.push_back({QStringLiteral("%1\t20.0\t0\t1").arg(1.0 + 0.5 * c, 0, 'f', 4),
                            QStringLiteral("%1\t20.0\t1\t1").arg(2.0 + 0.5 * c, 0, 'f', 4),
                            QStringLiteral("%1\t20.0\t0\t1").arg(0.5 + 0.25 * c, 0, 'f', 4)});
    }
    return program.folders.writeFile(
        QStringLiteral("five-channels-%1.tsr").arg(control),
        sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\t") + control, channels));
}

// The Run window mid-run under both control methods.
bool runWindowShots(const QDir& out)
{
    bool ok = true;
    for (const QString& control : {QStringLiteral("soft"), QStringLiteral("hard")}) {
        StartedProgram program;
        writeProfileValue(program.folders.profilePath(), QStringLiteral("Config/SeqCtl"),
                          control == "hard" ? 1 : 0);
        if (program.startSimulated({fiveChannelFile(program, control)}) != CTessorApp::kRunning) {
            std::fprintf(stderr, "the program did not start: %s\n",
                         qPrintable(program.prompt.texts().join('\n')));
            return false;
        }
        CMainFrame& frame = program.frame();
        AppSettings& settings = frame.settings();
        settings.Curr = 1;
        settings.Volt = 1;
        settings.MonitorTime = 1000;
        settings.File = 1;
        settings.Folder = program.folders.root();
        settings.RunCh = {1, 1, 1, 1, 1};
        settings.RepeatCh[0] = 3;
        if (control == QLatin1String("soft")) {
            // Channel 2 trips on under-voltage at its first reading, channel 4 reports an alarm.
            settings.UvpOn[1] = 1;
            settings.Uvp[1] = 11.9;
            program.instrument->simulator.setQuestionable(4, 1);
        } else {
            for (int c = 0; c < 5; ++c)
                frame.device().WriteSequence(c);
        }
        CRunDlg& dialog = *frame.runDialog();
        dialog.prepare();
        dialog.show();
        dialog.controls().runAll->click();
        program.instrument->time.advanceMs(27300);
        ok = grab(dialog,
                  out.filePath(
                      QStringLiteral("run-%1.png").arg(control == "soft" ? "software" : "hardware"))) &&
             ok;
        dialog.controls().stopAll->click();
        program.instrument->time.advanceMs(1000);
        dialog.hide();
    }
    return ok;
}

// Monitoring Setup with nothing measured, measuring without a file, and with a file.
bool monitoringSetupShots(const TemplateLoader& loader, AppSettings settings, QWidget* parent,
                          const QDir& out)
{
    bool ok = true;
    settings.Curr = 0;
    settings.Volt = 0;
    settings.File = 0;
    {
        CMonitorSetupDlg dialog(loader, settings, parent);
        ok = grab(dialog, out.filePath(QStringLiteral("monitoring-setup-none.png"))) && ok;
    }
    settings.Curr = 1;
    {
        CMonitorSetupDlg dialog(loader, settings, parent);
        ok = grab(dialog, out.filePath(QStringLiteral("monitoring-setup-no-file.png"))) && ok;
    }
    settings.Volt = 1;
    settings.File = 1;
    settings.MonTiming = 1;
    {
        CMonitorSetupDlg dialog(loader, settings, parent);
        ok = grab(dialog, out.filePath(QStringLiteral("monitoring-setup-file.png"))) && ok;
    }
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
    ok = monitoringSetupShots(loader, settings, &frame, out) && ok;
    {
        AppSettings initial = settings;
        initial.bInitCurr = 1;
        initial.InitCurr = 1.5;
        CInitDlg dialog(loader, initial, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("initial-settings.png"))) && ok;
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
    program.stop();
    ok = runWindowShots(out) && ok;
    return ok && midTransfer ? 0 : 1;
}
