#include "app/CTessorApp.h"
#include "app/DesktopShellServices.h"
#include "app/MessageBoxPrompt.h"
#include "ui/StopSignals.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

const char* const kHelpText =
    "Usage: tessor [FILE]\n"
    "Creates load sequences for the Morvane KDR-X electronic load and drives the load with them.\n"
    "\n"
    "FILE is a sequence file (.tsr) to open; without it the program starts with a new, empty\n"
    "document. Only one copy runs per user: starting it again hands FILE to the running copy.\n"
    "\n"
    "  -h, --help     show this text and end\n"
    "  --version      show the version and end\n"
    "\n"
    "Ctrl-C, SIGTERM or SIGHUP end the program in order: a run still active is stopped as Stop all\n"
    "stops it and the settings are saved. The manual opens with F1; see also tessor(1), tessorctl(1).\n";

} // namespace

int main(int argc, char** argv)
{
    // Answered on the terminal before anything else: no window, no display, no running copy.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelpText, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Tessor %s\n", TESSOR_VERSION);
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessor"));
    QApplication::setApplicationVersion(QStringLiteral(TESSOR_VERSION));
    // Ties the windows to the installed desktop entry (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.morvane.Tessor"));

    // Ctrl-C, SIGTERM or a closed terminal end the program in order rather than at once: a run
    // still active stops its loads (the frame does that when it goes) and the settings are saved.
    // Every event loop ends, a modal window's too; a signal before the main loop ends it as soon
    // as it starts.
    int stopSignal = 0;
    StopSignals stopSignals([&stopSignal](int signal) {
        stopSignal = signal;
        QCoreApplication::exit(128 + signal);
        QMetaObject::invokeMethod(
            qApp, [signal] { QCoreApplication::exit(128 + signal); }, Qt::QueuedConnection);
    });

    MessageBoxPrompt prompt;
    DesktopShellServices services;
    CTessorApp tessor(prompt, services, StartupPaths::standard());
    const int status = tessor.initInstance(QApplication::arguments().mid(1));
    // A signal during the start-up (while a message of it was up) ends the program as one later would.
    if (stopSignal != 0)
        return 128 + stopSignal;
    if (status != CTessorApp::kRunning)
        return status;
    return QApplication::exec();
}
