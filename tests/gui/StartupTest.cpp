#include "GuiTestSupport.h"
#include "PtySimulatorServer.h"
#include "app/BuiltInSimulator.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "app/HandOverQueue.h"
#include "app/SingleInstance.h"
#include "link/CInstrumentPort.h"
#include "model/CMainDoc.h"
#include "run/RunEngine.h"
#include "ui/ResourceModule.h"
#include "views/CommandRouter.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QScreen>
#include <QSysInfo>
#include <QtTest>
#include <csignal>
#include <functional>

// Start-up of the program: the single copy, the resource module, the first document and the
// window positions, and what the frame leaves in the profile when it is destroyed.
class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithANewDocumentInBothWindows();
    void refusesToStartWithoutTheResourceModule();
    void refusesAnUnreadableResourceModule();
    void secondCopyHandsItsFileToTheFirstAndEnds();
    void secondProgramEndsAtOnceWithoutAWindow();
    void aStopSignalEndsTheProgramInOrder_data();
    void aStopSignalEndsTheProgramInOrder();
    void aHandedOverFileWaitsForTheSaveAsDialog();
    void aHandedOverFileWaitsForAMessageAtStartUpAndFilesOpenInOrder();
    void takesOverTheLockOfACopyThatCrashed();
    void startsWithoutProtectionWhenTheLockCannotBeCreated();
    void opensTheCommandLineFile();
    void endsWhenTheCommandLineFileCannotBeRead();
    void aFailedStartLeavesTheProfileUntouched_data();
    void aFailedStartLeavesTheProfileUntouched();
    void theCommandLineFileWinsOverThePreviousFile();
    void previousFileWithAnEmptyListStartsANewDocument();
    void withoutSavedPositionTheWindowsStandSideBySide();
    void savedPositionPlacesTheMainAndDocumentWindows();
    void savedPositionOffEveryScreenComesBackOnScreen();
    void destroyingTheFrameWritesTheRectangles();
    void aWindowClosedMaximisedComesBackAtItsPlace();
    void theLinkTakesTheConnectionSettingsOfTheProfile();
    void theSimulatorPortTalksToTheSimulatedLoad();
    void theFramesRunEngineForgetsProgressWhenAFileIsReadOrTheMethodChanges();
};

void StartupTest::startsWithANewDocumentInBothWindows()
{
    StartedProgram program;
    QCOMPARE(program.start(), CTessorApp::kRunning);
    CMainFrame& frame = program.frame();
    QVERIFY(frame.isVisible());
    QVERIFY(frame.currentDocument());
    QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
    QCOMPARE(frame.windowTitle(), QStringLiteral("Tessor - Tessor1"));
    QCOMPARE(frame.shownMenu(), 129);
    QVERIFY(program.prompt.entries.empty());
    QCOMPARE(program.prompt.busyDepth, 0);
}

void StartupTest::refusesToStartWithoutTheResourceModule()
{
    StartedProgram program;
    program.app = std::make_unique<CTessorApp>(program.prompt, program.services,
                                               program.folders.paths(program.folders.root()));
    QVERIFY(program.app->initInstance({}) > 0);
    QCOMPARE(program.prompt.texts(), QStringList{QStringLiteral("Module Error")});
    QCOMPARE(program.prompt.entries.front().icon, UserPrompt::Icon::Critical);
    QVERIFY(program.app->mainFrame() == nullptr);
}

void StartupTest::refusesAnUnreadableResourceModule()
{
    StartedProgram program;
    QFile garbage(QDir(program.folders.root()).filePath(QLatin1String(ResourceModule::fileName)));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a resource module");
    garbage.close();
    program.app = std::make_unique<CTessorApp>(program.prompt, program.services,
                                               program.folders.paths(program.folders.root()));
    QVERIFY(program.app->initInstance({}) > 0);
    QCOMPARE(program.prompt.texts(), QStringList{QStringLiteral("Module Error")});
    QVERIFY(program.app->mainFrame() == nullptr);
}

void StartupTest::secondCopyHandsItsFileToTheFirstAndEnds()
{
    StartedProgram first;
    QCOMPARE(first.start(), CTessorApp::kRunning);
    const QString file = first.folders.writeFile(QStringLiteral("handed.tsr"), emptyChannelsFile());

    RecordingShellPrompt prompt;
    FakeShellServices services;
    CTessorApp second(prompt, services, first.folders.paths());
    QCOMPARE(second.initInstance({file}), 0);
    QVERIFY(second.mainFrame() == nullptr);
    QVERIFY(prompt.entries.empty());

    QTRY_COMPARE(first.frame().documents().path(), file);
    QCOMPARE(first.frame().windowTitle(), QStringLiteral("Tessor - handed.tsr"));
}

void StartupTest::secondProgramEndsAtOnceWithoutAWindow()
{
    StartedProgram first;
    QCOMPARE(first.start(), CTessorApp::kRunning);
    const QString file = first.folders.writeFile(QStringLiteral("from-process.tsr"), emptyChannelsFile());

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), first.folders.configFolder());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), first.folders.runtimeFolder());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(QFileInfo(file).absolutePath());
    second.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tessor"),
                 {QFileInfo(file).fileName()});
    QVERIFY(second.waitForStarted(10000));
    // The first copy serves the socket while the second runs.
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 30000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE(first.frame().documents().path(), file);
}

void StartupTest::aStopSignalEndsTheProgramInOrder_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl-C") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("terminal closed") << SIGHUP;
}

void StartupTest::aStopSignalEndsTheProgramInOrder()
{
    // Killed at once, the program would leave a running load on; it ends its event loops instead,
    // and the frame stops the run when it goes.
    QFETCH(int, signal);
    TestFolders folders;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folders.configFolder());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folders.runtimeFolder());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tessor"), {});
    QVERIFY(program.waitForStarted(10000));
    // The signals are taken before the hand-over socket is served.
    const QString socket = SingleInstance(folders.runtimeFolder()).socketPath();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 30000);
    ::kill(static_cast<pid_t>(program.processId()), signal);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 128 + signal);
    QVERIFY(!QFile::exists(socket));
}

namespace {

// A second start with this file on its command line, in this process: it hands the file over to
// the first copy and ends.
void handOverFromASecondStart(const StartedProgram& first, const QString& file)
{
    RecordingShellPrompt prompt;
    FakeShellServices services;
    CTessorApp second(prompt, services, first.folders.paths());
    QCOMPARE(second.initInstance({file}), 0);
}

// Keeps an application-modal window up while events are handled, until the condition holds.
void handleEventsUnderAModalWindow(const std::function<bool()>& until)
{
    QDialog modal;
    modal.setModal(true);
    modal.show();
    QVERIFY(QApplication::activeModalWidget() == &modal);
    QTRY_VERIFY(until());
    QTest::qWait(50);
    modal.hide();
}

QByteArray oneStepFile(const char* line)
{
    return sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                        {{QString::fromLatin1(line)}});
}

} // namespace

void StartupTest::aHandedOverFileWaitsForTheSaveAsDialog()
{
    StartedProgram first;
    QCOMPARE(first.start(), CTessorApp::kRunning);
    CMainFrame& frame = first.frame();
    const QString mine =
        first.folders.writeFile(QStringLiteral("mine.tsr"), oneStepFile("1.2500\t3.0\t0\t1"));
    const QString other =
        first.folders.writeFile(QStringLiteral("other.tsr"), oneStepFile("7.7500\t9.0\t0\t1"));
    const QString chosen = first.folders.filePath(QStringLiteral("chosen.tsr"));
    QVERIFY(frame.openDocumentFile(mine));

    // While the Save As dialog is up, a second start hands over other.tsr.
    first.services.whileFileDialogShown = [&](const FileRequest&) {
        handOverFromASecondStart(first, other);
        handleEventsUnderAModalWindow([&] { return first.app->handOvers()->waiting() == 1; });
        QCOMPARE(frame.documents().path(), mine);
    };
    first.services.saveAnswers.push_back(chosen);
    QVERIFY(frame.router().trigger(CMainFrame::IdSaveAs));
    first.services.whileFileDialogShown = nullptr;

    // The file saved holds the document the user saved; the handed-over file opens afterwards.
    QFile saved(chosen);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray content = saved.readAll();
    QVERIFY2(content.contains("1.25") && !content.contains("7.75"), content.constData());
    QTRY_COMPARE(frame.documents().path(), other);
    QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
    QCOMPARE(frame.currentDocument().get()->channel(0).steps[0].value, QStringLiteral("7.7500"));
}

void StartupTest::aHandedOverFileWaitsForAMessageAtStartUpAndFilesOpenInOrder()
{
    StartedProgram first;
    // A command-line file whose channel 1 has more steps than the document holds: the reader says
    // so in a message box while it opens the file.
    std::vector<QString> steps;
    for (int k = 0; k < 1030; ++k)
        steps.push_back(QStringLiteral("1.0000\t1.0\t0\t1"));
    const QString big = first.folders.writeFile(
        QStringLiteral("big.tsr"),
        sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"), {steps}));
    const QString second =
        first.folders.writeFile(QStringLiteral("second.tsr"), oneStepFile("2.5000\t1.0\t0\t1"));
    const QString third =
        first.folders.writeFile(QStringLiteral("third.tsr"), oneStepFile("3.5000\t1.0\t0\t1"));
    int messages = 0;
    first.prompt.whileMessageShown = [&](const QString&) {
        if (++messages > 1)
            return;
        handOverFromASecondStart(first, second);
        handOverFromASecondStart(first, third);
        handleEventsUnderAModalWindow([&] { return first.app->handOvers()->waiting() == 2; });
    };
    QCOMPARE(first.start({big}), CTessorApp::kRunning);
    first.prompt.whileMessageShown = nullptr;
    CMainFrame& frame = first.frame();
    QCOMPARE(first.prompt.texts(), QStringList{QStringLiteral("Up to 1024 steps are enabled. ")});
    QCOMPARE(frame.documents().path(), big);
    QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);

    // Then the handed-over files, in the order they came: the second, then the third.
    QStringList opened;
    QObject listening; // ends the connection before `opened` goes
    QObject::connect(&frame.documents(), &DocumentSession::documentChanged, &listening,
                     [&] { opened << QFileInfo(frame.documents().path()).fileName(); });
    QTRY_COMPARE(frame.documents().path(), third);
    QVERIFY2(opened.contains(QStringLiteral("second.tsr")), qPrintable(opened.join(QLatin1Char(' '))));
    QCOMPARE(opened.last(), QStringLiteral("third.tsr"));
    QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
    QCOMPARE(frame.currentDocument().get(), frame.documents().document());
}

void StartupTest::takesOverTheLockOfACopyThatCrashed()
{
    StartedProgram program;
    // A lock left by a process that is gone.
    QProcess gone;
    gone.start(QStringLiteral("true"), QStringList());
    QVERIFY(gone.waitForStarted());
    const qint64 pid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QFile lock(program.folders.runtimeFolder() + QStringLiteral("/Quorveth.lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QStringLiteral("%1\ntessor\n%2\n").arg(pid).arg(QSysInfo::machineHostName()).toUtf8());
    lock.close();

    QCOMPARE(program.start(), CTessorApp::kRunning);
}

void StartupTest::startsWithoutProtectionWhenTheLockCannotBeCreated()
{
    // A runtime "folder" that is a file: no lock can be created in it, by root either.
    StartedProgram program;
    QVERIFY(QDir(program.folders.runtimeFolder()).removeRecursively());
    QFile notAFolder(program.folders.runtimeFolder());
    QVERIFY(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    QStringList notes;
    program.app = std::make_unique<CTessorApp>(program.prompt, program.services, program.folders.paths());
    program.app->setNoteOutput([&notes](const QString& note) { notes << note; });
    QCOMPARE(program.app->initInstance({}), CTessorApp::kRunning);
    QVERIFY(program.frame().isVisible());
    QVERIFY(program.prompt.entries.empty());
    QCOMPARE(notes.size(), 1);
    QVERIFY2(
        notes.front().startsWith(QStringLiteral("tessor: no single-instance protection: cannot create ")) &&
            notes.front().contains(program.folders.runtimeFolder()),
        qPrintable(notes.front()));

    // A second program started meanwhile does the same instead of ending.
    RecordingShellPrompt prompt;
    FakeShellServices services;
    CTessorApp second(prompt, services, program.folders.paths());
    second.setNoteOutput([&notes](const QString& note) { notes << note; });
    QCOMPARE(second.initInstance({}), CTessorApp::kRunning);
    QCOMPARE(notes.size(), 2);
}

void StartupTest::opensTheCommandLineFile()
{
    StartedProgram program;
    const QString file = program.folders.writeFile(QStringLiteral("first.tsr"), emptyChannelsFile());
    QCOMPARE(program.start({file}), CTessorApp::kRunning);
    QCOMPARE(program.frame().documents().path(), file);
    QCOMPARE(program.frame().windowTitle(), QStringLiteral("Tessor - first.tsr"));
    QCOMPARE(program.frame().recentFiles().file(0), file);
}

void StartupTest::endsWhenTheCommandLineFileCannotBeRead()
{
    StartedProgram program;
    const QString missing = program.folders.filePath(QStringLiteral("missing.tsr"));
    QVERIFY(program.start({missing}) > 0);
    QCOMPARE(program.prompt.texts(),
             (QStringList{QStringLiteral("Cannot open the specified file as it does not exist.\n") + missing +
                              QStringLiteral(": No such file or directory"),
                          QStringLiteral("Failed to read the file")}));
    QVERIFY(!program.frame().isVisible());
}

void StartupTest::aFailedStartLeavesTheProfileUntouched_data()
{
    QTest::addColumn<bool>("withProfile");
    QTest::newRow("profile") << true;
    QTest::newRow("no profile yet") << false;
}

void StartupTest::aFailedStartLeavesTheProfileUntouched()
{
    QFETCH(bool, withProfile);
    StartedProgram program;
    const QString profile = program.folders.profilePath();
    if (withProfile) {
        writeProfileValue(profile, QStringLiteral("Config/Unit"), 3);
        writeProfileValue(profile, QStringLiteral("Recent File List/File1"),
                          program.folders.writeFile(QStringLiteral("recent.tsr"), emptyChannelsFile()));
    }
    const auto contents = [&profile] {
        QFile file(profile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    };
    const QByteArray before = contents();
    QVERIFY(program.start({program.folders.filePath(QStringLiteral("missing.tsr"))}) > 0);
    program.stop();
    QCOMPARE(contents(), before);
}

void StartupTest::theCommandLineFileWinsOverThePreviousFile()
{
    // With "Previous File" on, a file named on the command line is what the user asks for now.
    StartedProgram program;
    const QString previous = program.folders.writeFile(QStringLiteral("previous.tsr"), emptyChannelsFile());
    const QString given = program.folders.writeFile(QStringLiteral("given.tsr"), emptyChannelsFile());
    writeProfileValue(program.folders.profilePath(), QStringLiteral("bFile"), 1);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Recent File List/File1"), previous);
    QCOMPARE(program.start({given}), CTessorApp::kRunning);
    QCOMPARE(program.frame().documents().path(), given);
    QCOMPARE(program.frame().settings().bFile, 1);
    QVERIFY(program.prompt.entries.empty());
}

void StartupTest::previousFileWithAnEmptyListStartsANewDocument()
{
    StartedProgram program;
    writeProfileValue(program.folders.profilePath(), QStringLiteral("bFile"), 1);
    QCOMPARE(program.start(), CTessorApp::kRunning);
    QVERIFY(program.frame().currentDocument());
    QVERIFY(program.frame().documents().path().isEmpty());
    QVERIFY(program.prompt.entries.empty());
}

void StartupTest::withoutSavedPositionTheWindowsStandSideBySide()
{
    StartedProgram program;
    QCOMPARE(program.start(), CTessorApp::kRunning);
    DocumentSession& documents = program.frame().documents();
    const QSize area = program.frame().mdiArea()->viewport()->size();
    QTRY_COMPARE(documents.worksheetWindow()->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    QCOMPARE(documents.graphWindow()->geometry(),
             QRect(area.width() / 2, 0, area.width() - area.width() / 2, area.height()));
    QCOMPARE(program.frame().mdiArea()->activeSubWindow(), documents.worksheetWindow());
}

void StartupTest::savedPositionPlacesTheMainAndDocumentWindows()
{
    StartedProgram program;
    const QString profile = program.folders.profilePath();
    writeProfileValue(profile, QStringLiteral("bPos"), 1);
    writeProfileValue(profile, QStringLiteral("Left"), 40);
    writeProfileValue(profile, QStringLiteral("Top"), 30);
    writeProfileValue(profile, QStringLiteral("Right"), 840);
    writeProfileValue(profile, QStringLiteral("Bottom"), 630);
    // Rectangles saved while bPos was 0 are used all the same.
    writeProfileValue(profile, QStringLiteral("Grid/Left"), 5);
    writeProfileValue(profile, QStringLiteral("Grid/Top"), 6);
    writeProfileValue(profile, QStringLiteral("Grid/Right"), 305);
    writeProfileValue(profile, QStringLiteral("Grid/Bottom"), 206);
    writeProfileValue(profile, QStringLiteral("Graph/Left"), 310);
    writeProfileValue(profile, QStringLiteral("Graph/Top"), 20);
    writeProfileValue(profile, QStringLiteral("Graph/Right"), 610);
    writeProfileValue(profile, QStringLiteral("Graph/Bottom"), 420);
    QCOMPARE(program.start(), CTessorApp::kRunning);
    CMainFrame& frame = program.frame();
    QCOMPARE(frame.pos(), QPoint(40, 30));
    QCOMPARE(frame.size(), QSize(800, 600));
    QCOMPARE(frame.documents().worksheetWindow()->geometry(), QRect(5, 6, 300, 200));
    QCOMPARE(frame.documents().graphWindow()->geometry(), QRect(310, 20, 300, 400));
    // New places a new document's windows the same way.
    frame.router().trigger(CMainFrame::IdNew);
    QCOMPARE(frame.documents().worksheetWindow()->geometry(), QRect(5, 6, 300, 200));
    QCOMPARE(frame.documents().graphWindow()->geometry(), QRect(310, 20, 300, 400));
}

void StartupTest::savedPositionOffEveryScreenComesBackOnScreen()
{
    StartedProgram program;
    const QString profile = program.folders.profilePath();
    writeProfileValue(profile, QStringLiteral("bPos"), 1);
    writeProfileValue(profile, QStringLiteral("Left"), -9000);
    writeProfileValue(profile, QStringLiteral("Top"), 7000);
    writeProfileValue(profile, QStringLiteral("Right"), -8400);
    writeProfileValue(profile, QStringLiteral("Bottom"), 7450);
    QCOMPARE(program.start(), CTessorApp::kRunning);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(program.frame().pos(), screen.topLeft());
    QCOMPARE(program.frame().size(), QSize(600, 450));
}

void StartupTest::destroyingTheFrameWritesTheRectangles()
{
    StartedProgram program;
    QCOMPARE(program.start(), CTessorApp::kRunning);
    CMainFrame& frame = program.frame();
    frame.move(25, 35);
    frame.resize(900, 650);
    frame.documents().worksheetWindow()->placeAt(QRect(10, 20, 200, 100));
    frame.documents().graphWindow()->placeAt(QRect(220, 20, 250, 150));
    program.stop();

    const QString profile = program.folders.profilePath();
    const auto value = [&profile](const char* key) {
        return readProfileValue(profile, QLatin1String(key)).toInt();
    };
    QCOMPARE(value("Grid/Left"), 10);
    QCOMPARE(value("Grid/Top"), 20);
    QCOMPARE(value("Grid/Right"), 210);
    QCOMPARE(value("Grid/Bottom"), 120);
    QCOMPARE(value("Graph/Left"), 220);
    QCOMPARE(value("Graph/Right"), 470);
    QCOMPARE(value("Graph/Bottom"), 170);
    QCOMPARE(value("Left"), 25);
    QCOMPARE(value("Top"), 35);
    QCOMPARE(value("Right"), 925);
    QCOMPARE(value("Bottom"), 685);
    QCOMPARE(value("bPos"), 0);
    QCOMPARE(value("bFile"), 0);
}

void StartupTest::aWindowClosedMaximisedComesBackAtItsPlace()
{
    StartedProgram program;
    const QString profile = program.folders.profilePath();
    const QStringList keys = {"Left", "Top", "Right", "Bottom"};
    const QList<int> rectangle = {100, 80, 900, 680};
    writeProfileValue(profile, QStringLiteral("bPos"), 1);
    for (int k = 0; k < 4; ++k)
        writeProfileValue(profile, keys[k], rectangle[k]);
    // The platform draws a frame around the window, so its contents start below its position.
    for (int start = 1; start <= 3; ++start) {
        QCOMPARE(program.start(), CTessorApp::kRunning);
        QCOMPARE(program.frame().pos(), QPoint(100, 80));
        QCOMPARE(program.frame().size(), QSize(800, 600));
        program.frame().showMaximized();
        QTRY_VERIFY(program.frame().isMaximized());
        program.stop();
        for (int k = 0; k < 4; ++k)
            QCOMPARE(readProfileValue(profile, keys[k]).toInt(), rectangle[k]);
    }
}

void StartupTest::theLinkTakesTheConnectionSettingsOfTheProfile()
{
    StartedProgram program;
    const QString profile = program.folders.profilePath();
    writeProfileValue(profile, QStringLiteral("Config/Interface"), 1);
    writeProfileValue(profile, QStringLiteral("Config/Maker"), 3);
    writeProfileValue(profile, QStringLiteral("Config/Address"), 12);
    writeProfileValue(profile, QStringLiteral("Config/Machine"), 2);
    QCOMPARE(program.start(), CTessorApp::kRunning);
    CInstrumentPort& port = program.frame().port();
    QCOMPARE(port.kind, int(CInstrumentPort::ContecGpib));
    QCOMPARE(port.address, 12);
    QCOMPARE(port.machine, 6);
    QCOMPARE(program.frame().channelNumbers(), (ChannelNumbers{1, 2, 3, 4, 5}));
}

void StartupTest::theSimulatorPortTalksToTheSimulatedLoad()
{
    // The profile scripts/run writes for a first start.
    StartedProgram program;
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Config/PortDevice"),
                      QStringLiteral("simulator"));
    QCOMPARE(program.start(), CTessorApp::kRunning);
    CInstrumentPort& port = program.frame().port();
    QVERIFY(program.frame().simulator().server() == nullptr);
    QCOMPARE(port.Open(), 1);
    QCOMPARE(port.Write(QStringLiteral("*IDN?")), 1);
    QString reply;
    QCOMPARE(port.Read(reply), 1);
    QCOMPARE(port.Close(), 1);
    QVERIFY2(reply.contains(QStringLiteral("KDR")), qPrintable(reply));
    QVERIFY(program.frame().simulator().server() != nullptr);
    // Serving for days, it keeps nothing of what it received.
    QVERIFY(program.frame().simulator().server()->simulator().receivedTexts().isEmpty());
    // The frame's protocol object identifies it over the same port.
    QCOMPARE(port.Open(), 1);
    QCOMPARE(program.frame().device().Identify(), 1);
    QCOMPARE(port.Close(), 1);
    QVERIFY2(program.prompt.entries.empty(), qPrintable(program.prompt.texts().join('\n')));
}

void StartupTest::theFramesRunEngineForgetsProgressWhenAFileIsReadOrTheMethodChanges()
{
    StartedProgram program;
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Config/PortDevice"),
                      QStringLiteral("simulator"));
    QCOMPARE(program.start(), CTessorApp::kRunning);
    CMainFrame& frame = program.frame();
    const QString file =
        program.folders.writeFile(QStringLiteral("one-step.tsr"),
                                  sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                                               {{QStringLiteral("0.5000\t0.5\t0\t1")}}));
    QVERIFY(frame.openDocumentFile(file));

    // A half-second run on the simulated load leaves channel 1 past its only step.
    RunEngine& engine = frame.runEngine();
    engine.prepareDialog();
    engine.ToggleChannel(0);
    QTRY_VERIFY_WITH_TIMEOUT(!engine.isRunActive(), 20000);
    QVERIFY2(program.prompt.entries.empty(), qPrintable(program.prompt.texts().join('\n')));
    QCOMPARE(engine.channelState(0).stepIndex, 1);

    QVERIFY(frame.openDocumentFile(file));
    QCOMPARE(engine.channelState(0).stepIndex, 0);

    engine.ToggleChannel(0);
    QTRY_VERIFY_WITH_TIMEOUT(!engine.isRunActive(), 20000);
    QCOMPARE(engine.channelState(0).stepIndex, 1);
    frame.documents().newDocument();
    frame.changeControlMethod(HardwareControl);
    QCOMPARE(frame.settings().SeqCtl, int(HardwareControl));
    QCOMPARE(engine.channelState(0).stepIndex, 0);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
