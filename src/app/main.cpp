#include "app/CTessorApp.h"
#include "app/DesktopShellServices.h"
#include "app/MessageBoxPrompt.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessor"));
    QApplication::setApplicationVersion(QStringLiteral(TESSOR_VERSION));
    // Ties the windows to the installed desktop entry (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.morvane.Tessor"));

    MessageBoxPrompt prompt;
    DesktopShellServices services;
    CTessorApp tessor(prompt, services, StartupPaths::standard());
    const int status = tessor.initInstance(QApplication::arguments().mid(1));
    if (status != CTessorApp::kRunning)
        return status;
    return QApplication::exec();
}
