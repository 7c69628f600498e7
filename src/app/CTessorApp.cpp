#include "app/CTessorApp.h"

#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "app/HandOverQueue.h"
#include "app/ShellPrompt.h"
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
#include "model/ProfileStore.h"
#include "ui/InstallLayout.h"
#include "views/CExportImageDlg.h"
#include "views/CImportReportDlg.h"
#include "views/CLogViewer.h"
#include "views/CScaleDlg.h"
#include "views/TemplateLoader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

namespace {

// The main window's size when no saved position applies: a comfortable size that fits the screen.
QSize defaultWindowSize()
{
    QSize size(1100, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    return size;
}

} // namespace

StartupPaths StartupPaths::standard()
{
    return StartupPaths{QCoreApplication::applicationDirPath(), ProfileStore::defaultPath(),
                        SingleInstance::defaultRuntimeFolder()};
}

CTessorApp::CTessorApp(ShellPrompt& prompt, ShellServices& services, StartupPaths paths)
    : prompt_(prompt), services_(services), paths_(std::move(paths)), instance_(paths_.runtimeFolder)
{
}

CTessorApp::~CTessorApp()
{
    prompt_.setParentWindow(nullptr);
    handOvers_.reset();
    frame_.reset();
}

void CTessorApp::note(const QString& text) const
{
    if (noteOutput_) {
        noteOutput_(text);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

QString CTessorApp::checkDialogTemplates(const TemplateLoader& loader)
{
    QStringList problems;
    for (const QString& problem :
         {checkTemplate<CAboutDlg>(loader), checkTemplate<CInterfaceDlg>(loader),
          checkTemplate<CEnvironmentDlg>(loader), checkTemplate<CTransferDlg>(loader),
          checkTemplate<CRangeDlg>(loader), checkTemplate<CModeDlg>(loader),
          checkTemplate<COptionsDlg>(loader), checkTemplate<CRunDlg>(loader),
          checkTemplate<CMonitorSetupDlg>(loader), checkTemplate<CInitDlg>(loader),
          checkTemplate<CScaleDlg>(loader), checkTemplate<CImportReportDlg>(loader),
          checkTemplate<CLogViewer>(loader), checkTemplate<CExportImageDlg>(loader)}) {
        if (!problem.isEmpty())
            problems << problem;
    }
    return problems.join(QLatin1Char('\n'));
}

int CTessorApp::initInstance(const QStringList& arguments)
{
    // "--log FILE" opens a monitoring log in a viewer; any other argument is a sequence file.
    const bool log = arguments.value(0) == QLatin1String("--log");
    const QString file = log ? arguments.value(1) : arguments.value(0);

    // One copy per user: a second copy hands its file to the first and ends without a window. A
    // lock that cannot be created says nothing about other copies: the program runs unprotected.
    const SingleInstance::LockResult lock = instance_.acquire();
    if (lock == SingleInstance::LockResult::HeldElsewhere) {
        if (file.isEmpty())
            return 0;
        const QString path = QFileInfo(file).absoluteFilePath();
        if (instance_.handOver(path))
            return 0;
        // The running copy cannot be reached (its socket is gone or refuses): the file the user
        // asked for opens here, in a copy of its own.
        note(QStringLiteral(
                 "tessor: the running copy could not be given %1 (%2); it opens in a window of its own")
                 .arg(path, instance_.handOverProblem()));
    }
    if (lock == SingleInstance::LockResult::Unavailable)
        note(QStringLiteral("tessor: no single-instance protection: ") + instance_.lockProblem());

    // The resource module, the only source of the user interface from here on.
    const QString moduleError = QLatin1String(ResourceModule::moduleErrorText);
    if (!module_.load(
            InstallLayout::dataFile(paths_.programFolder, QLatin1String(ResourceModule::fileName)))) {
        prompt_.showMessage(moduleError, UserPrompt::Icon::Critical);
        return 1;
    }
    templates_ = std::make_unique<TemplateLoader>(module_, prompt_);
    QString problems = resources_.load() ? QString() : resources_.problem();
    if (problems.isEmpty())
        problems = checkDialogTemplates(*templates_);
    if (!problems.isEmpty()) {
        prompt_.showMessage(moduleError + QLatin1Char('\n') + problems, UserPrompt::Icon::Critical);
        return 1;
    }

    // The profile location; the frame reads the recent files with the settings.
    profile_ = std::make_unique<ProfileStore>(paths_.profilePath);

    frame_ =
        std::make_unique<CMainFrame>(CMainFrame::Context{module_, resources_, *templates_, prompt_, services_,
                                                         *profile_, paths_.programFolder, clock_, timers_});
    if (!frame_->create())
        return 1;
    prompt_.setParentWindow(frame_.get());
    CMainFrame* frame = frame_.get();
    // Files handed over by later starts open once the start-up is over and no modal window is up.
    handOvers_ = std::make_unique<HandOverQueue>([frame](const QString& path) {
        if (frame->isMinimized())
            frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
        frame->raise();
        frame->activateWindow();
        frame->openAnyFile(path);
    });
    // Without the lock another copy may own the socket.
    if (lock == SingleInstance::LockResult::Acquired && !instance_.listen())
        note(QStringLiteral("tessor: files cannot be handed over to this copy: ") +
             instance_.listenProblem());
    QObject::connect(&instance_, &SingleInstance::fileReceived, handOvers_.get(), &HandOverQueue::add);

    // The command line's file (what the user asks for now, "Previous File" or not), or the previous
    // file, or a new document.
    AppSettings& settings = frame->settings();
    if (!file.isEmpty() && !log) {
        if (!frame->openDocumentFile(file))
            return 1;
    } else if (settings.bFile == 1 && !frame->recentFiles().file(0).isEmpty()) {
        frame->openDocumentFile(frame->recentFiles().file(0));
    } else {
        frame->documents().newDocument();
    }

    if (settings.bPos == 1)
        frame->restoreWindowRect();
    else
        frame->resize(defaultWindowSize());
    frame->show();
    frame->updateCommandUi();
    // A log that cannot be read says why; the program goes on without it.
    if (log && !file.isEmpty())
        frame->openLog(file);
    handOvers_->release();
    return kRunning;
}
