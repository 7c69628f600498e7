#include "app/CTessorApp.h"
#include "app/DesktopShellServices.h"
#include "app/MessageBoxPrompt.h"
#include "ui/StopSignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
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
