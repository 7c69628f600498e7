// Takes screenshots of the main window with an open document and of the shell's dialogs, for the
// README and for review. Run under Xvfb by scripts/screenshots: screenshots OUTPUT-FOLDER.
#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CEnvironmentDlg.h"
#include "dialogs/CInterfaceDlg.h"
#include "dialogs/SerialDeviceList.h"
#include "views/TemplateLoader.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QThread>
#include <cstdio>

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
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
    const QString file = program.folders.writeFile(
        QStringLiteral("cc-battery-discharge.tsr"),
        sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                     {{QStringLiteral("1.5000\t10.0\t0\t1"), QStringLiteral("0.5000\t2.5\t1\t1")}}));
    writeProfileValue(program.folders.profilePath(), QStringLiteral("bPos"), 1);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Right"), 1000);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Bottom"), 640);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Grid/Right"), 470);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Grid/Bottom"), 480);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Left"), 470);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Right"), 990);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Bottom"), 480);
    if (program.start({file}) != CTessorApp::kRunning) {
        std::fprintf(stderr, "the program did not start: %s\n",
                     qPrintable(program.prompt.texts().join('\n')));
        return 1;
    }
    CMainFrame& frame = program.frame();
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
    }
    {
        CEnvironmentDlg dialog(loader, settings, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("environment-dialog.png"))) && ok;
    }
    {
        CAboutDlg dialog(loader, QStringLiteral(TESSOR_VERSION), &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("about-dialog.png"))) && ok;
    }
    return ok ? 0 : 1;
}
