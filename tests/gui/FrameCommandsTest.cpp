#include "GuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CSequenceControlBar.h"
#include "app/DocumentSession.h"
#include "app/StatusPanes.h"
#include "model/CMainDoc.h"
#include "ui/ResourceModule.h"
#include "views/CGridView.h"
#include "views/CommandRouter.h"
#include "views/ShellResources.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>
#include <functional>
#include <set>

namespace {

// A file whose channel 3 has one step and whose other channels are empty.
QByteArray channelThreeFile(const QString& control = QStringLiteral("soft"))
{
    return sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\t") + control,
                        {{}, {}, {QStringLiteral("1.0000\t10.0\t0\t1")}});
}

// Chooses an entry of the control-method list as the user does.
void chooseControlMethod(CMainFrame& frame, int index)
{
    QComboBox* list = frame.sequenceControlBar()->list();
    list->setCurrentIndex(index);
    emit list->activated(index);
}

QStringList menuTitles(const CMainFrame& frame)
{
    QStringList titles;
    for (QAction* action : frame.menuBar()->actions())
        titles << action->text();
    return titles;
}

} // namespace

// The main frame's commands with their enabling and check marks, the control-method list, the
// bars and the status bar.
class FrameCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void channelCommandsNeedADocument();
    void channelCommandsMoveTheCheckMark();
    void controlMethodCannotChangeWhileTheDocumentHasSteps();
    void hardwareControlEnablesTransferAndLeavesTheOtherCommands();
    void openingAHardwareControlFileSetsTheList();
    void barsAreShownAndHiddenWithCheckMarks();
    void savePositionAndPreviousFileAreToggledAndSaved();
    void commandsWithoutAHandlerAreDisabled();
    void noCommandIsEnabledWithoutAnAction();
    void acceleratorsFollowTheTable();
    void helpOpensTheManualsOnlyWhenTheyExist_data();
    void helpOpensTheManualsOnlyWhenTheyExist();
    void statusBarShowsInstrumentUnitModeAndLink();
    void menuBarFollowsTheDocument();
    void viewCommandsGoToTheActiveWindow();
    void documentWindowsCloseOnlyWithTheDocument();
    void windowArrangement();
    void commandStatesFollowWhenIdle();
    void windowMenuListsTheDocumentWindows();

private:
    std::unique_ptr<StartedProgram> program_;
    CMainFrame* frame_ = nullptr;
};

void FrameCommandsTest::init()
{
    program_ = std::make_unique<StartedProgram>();
    QCOMPARE(program_->start(), CTessorApp::kRunning);
    frame_ = &program_->frame();
}

void FrameCommandsTest::cleanup()
{
    frame_ = nullptr;
    program_.reset();
}

void FrameCommandsTest::channelCommandsNeedADocument()
{
    CommandRouter& router = frame_->router();
    frame_->updateCommandUi();
    for (int id : CMainFrame::kChannelCommands)
        QVERIFY(router.action(id)->isEnabled());
    QVERIFY(router.action(CMainFrame::IdChannel1)->isChecked());

    frame_->router().trigger(CMainFrame::IdClose);
    frame_->updateCommandUi();
    for (int id : CMainFrame::kChannelCommands) {
        QVERIFY(!router.action(id)->isEnabled());
        QVERIFY(!router.action(id)->isChecked());
        QVERIFY(!router.trigger(id));
    }
    // Even with an action plugged in, Run and Mode need a document.
    frame_->commands().setAction(CMainFrame::IdRun, [] {});
    frame_->commands().setAction(CMainFrame::IdMode, [] {});
    QVERIFY(!router.isEnabled(CMainFrame::IdRun));
    QVERIFY(!router.isEnabled(CMainFrame::IdMode));
}

void FrameCommandsTest::channelCommandsMoveTheCheckMark()
{
    CommandRouter& router = frame_->router();
    frame_->settings().ModeCh = {ModeCV, ModeCC, ModeCR, ModeCCCV, ModeCRCV};
    const QStringList modes = {QStringLiteral("Constant Voltage"), QStringLiteral("Constant Current"),
                               QStringLiteral("Constant Resistance"), QStringLiteral("Current + Voltage"),
                               QStringLiteral("Resistance + Voltage")};
    for (int c = kChannelCount - 1; c >= 0; --c) {
        QVERIFY(router.trigger(CMainFrame::kChannelCommands[static_cast<size_t>(c)]));
        frame_->updateCommandUi();
        QCOMPARE(frame_->currentDocument().get()->currentChannel(), c);
        for (int other = 0; other < kChannelCount; ++other)
            QCOMPARE(router.action(CMainFrame::kChannelCommands[static_cast<size_t>(other)])->isChecked(),
                     other == c);
        QCOMPARE(frame_->statusPanes().text(StatusPanes::kMode), modes[c]);
    }
}

void FrameCommandsTest::controlMethodCannotChangeWhileTheDocumentHasSteps()
{
    const QString file = program_->folders.writeFile(QStringLiteral("three.tsr"), channelThreeFile());
    QVERIFY(frame_->openDocumentFile(file));
    QCOMPARE(frame_->settings().SeqCtl, int(SoftwareControl));
    chooseControlMethod(*frame_, HardwareControl);
    QCOMPARE(program_->prompt.texts(), QStringList{QStringLiteral("Change without entering data.")});
    QCOMPARE(program_->prompt.entries.front().icon, UserPrompt::Icon::None);
    QCOMPARE(frame_->sequenceControlBar()->list()->currentIndex(), 0);
    QCOMPARE(frame_->settings().SeqCtl, int(SoftwareControl));
    frame_->updateCommandUi();
    QVERIFY(!frame_->router().isEnabled(CMainFrame::IdTransfer));
}

void FrameCommandsTest::hardwareControlEnablesTransferAndLeavesTheOtherCommands()
{
    CommandRouter& router = frame_->router();
    AppSettings& settings = frame_->settings();
    settings.ModeChSoft = {ModeCV, ModeCV, ModeCV, ModeCV, ModeCV};
    settings.ModeChHard = {ModeCR, ModeCC, ModeCC, ModeCC, ModeCC};
    settings.UnitSoft = UnitS;
    settings.UnitHard = UnitMin;
    settings.MonSoft = 1;
    // The enabling rules of the Sequence menu's commands, with stand-in actions plugged in.
    for (int id : {CMainFrame::IdTransfer, CMainFrame::IdRun, CMainFrame::IdMode})
        frame_->commands().setAction(id, [] {});
    frame_->updateCommandUi();
    QVERIFY(!router.action(CMainFrame::IdTransfer)->isEnabled());

    chooseControlMethod(*frame_, HardwareControl);
    frame_->updateCommandUi();
    QVERIFY(program_->prompt.entries.empty());
    QCOMPARE(settings.SeqCtl, int(HardwareControl));
    QCOMPARE(settings.ModeCh[0], int(ModeCR));
    QCOMPARE(settings.Unit, int(UnitMin));
    QCOMPARE(settings.MonTiming, 0);
    QVERIFY(router.action(CMainFrame::IdTransfer)->isEnabled());
    QVERIFY(router.action(CMainFrame::IdRun)->isEnabled());
    QVERIFY(router.action(CMainFrame::IdMode)->isEnabled());
    for (int id : CMainFrame::kChannelCommands)
        QVERIFY(router.action(id)->isEnabled());
    QCOMPARE(frame_->statusPanes().text(StatusPanes::kUnit), QStringLiteral("Minutes"));
    QCOMPARE(frame_->statusPanes().text(StatusPanes::kMode), QStringLiteral("Constant Resistance"));

    chooseControlMethod(*frame_, SoftwareControl);
    QCOMPARE(settings.SeqCtl, int(SoftwareControl));
    QCOMPARE(settings.MonTiming, 1);
    QCOMPARE(frame_->statusPanes().text(StatusPanes::kUnit), QStringLiteral("Seconds"));
}

void FrameCommandsTest::openingAHardwareControlFileSetsTheList()
{
    const QString file = program_->folders.writeFile(QStringLiteral("hard.tsr"), emptyChannelsFile("hard"));
    QVERIFY(frame_->openDocumentFile(file));
    QCOMPARE(frame_->settings().SeqCtl, int(HardwareControl));
    QCOMPARE(frame_->sequenceControlBar()->list()->currentIndex(), 1);
    QCOMPARE(frame_->sequenceControlBar()->list()->currentText(), QStringLiteral("Hardware Control"));
}

void FrameCommandsTest::barsAreShownAndHiddenWithCheckMarks()
{
    CommandRouter& router = frame_->router();
    const std::vector<std::pair<int, QWidget*>> bars = {
        {CMainFrame::IdToolbar, frame_->mainToolBar()},
        {CMainFrame::IdStatusBar, frame_->statusBar()},
        {CMainFrame::IdSequenceControlBar, frame_->sequenceControlBar()}};
    for (const auto& [id, bar] : bars) {
        frame_->updateCommandUi();
        QVERIFY(router.action(id)->isChecked());
        QVERIFY(router.trigger(id));
        frame_->updateCommandUi();
        QVERIFY(bar->isHidden());
        QVERIFY(!router.action(id)->isChecked());
        QVERIFY(router.trigger(id));
        QVERIFY(!bar->isHidden());
    }
}

void FrameCommandsTest::savePositionAndPreviousFileAreToggledAndSaved()
{
    CommandRouter& router = frame_->router();
    frame_->updateCommandUi();
    QVERIFY(!router.action(CMainFrame::IdSavePosition)->isChecked());
    QVERIFY(!router.action(CMainFrame::IdPreviousFile)->isChecked());
    router.trigger(CMainFrame::IdSavePosition);
    router.trigger(CMainFrame::IdPreviousFile);
    frame_->updateCommandUi();
    QVERIFY(router.action(CMainFrame::IdSavePosition)->isChecked());
    QVERIFY(router.action(CMainFrame::IdPreviousFile)->isChecked());
    QCOMPARE(frame_->settings().bPos, 1);
    QCOMPARE(frame_->settings().bFile, 1);
    program_->stop();
    QCOMPARE(readProfileValue(program_->folders.profilePath(), QStringLiteral("bPos")).toInt(), 1);
    QCOMPARE(readProfileValue(program_->folders.profilePath(), QStringLiteral("bFile")).toInt(), 1);
}

void FrameCommandsTest::commandsWithoutAHandlerAreDisabled()
{
    CommandRouter& router = frame_->router();
    frame_->updateCommandUi();
    // Send, the control bar's button 109, the main menu's control-bar item, and, while the worksheet
    // window is current, the graph's commands (Print among them), which only its window routes.
    for (int id : {57612, 57607, 109, 32913, 57634, 32786, 32779, 57669, 59648}) {
        QVERIFY2(!router.isEnabled(id), qPrintable(QString::number(id)));
        QVERIFY(!router.trigger(id));
        if (QAction* action = router.findAction(id))
            QVERIFY2(!action->isEnabled(), qPrintable(QString::number(id)));
    }
}

void FrameCommandsTest::noCommandIsEnabledWithoutAnAction()
{
    ShellResources resources;
    QVERIFY(resources.load());
    std::set<int> ids;
    std::function<void(const std::vector<MenuItem>&)> collect = [&](const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) {
            if (item.id != 0)
                ids.insert(item.id);
            collect(item.items);
        }
    };
    for (int menu : {128, 129, 132, 134, 152})
        collect(resources.menu(menu));
    for (int id : resources.toolbar(128).buttons) {
        if (id != 0)
            ids.insert(id);
    }

    CommandRouter& router = frame_->router();
    DocumentSession& documents = frame_->documents();
    const auto enabledWithoutAction = [&](const char* state) {
        frame_->updateCommandUi();
        QStringList found;
        for (int id : ids) {
            if (router.action(id)->isEnabled() && !router.hasAction(id))
                found << QStringLiteral("%1 %2").arg(state).arg(id);
        }
        return found;
    };
    QStringList found;
    frame_->settings().SeqCtl = HardwareControl;
    frame_->settings().deriveActiveValues();
    frame_->mdiArea()->setActiveSubWindow(documents.worksheetWindow());
    found << enabledWithoutAction("worksheet");
    frame_->mdiArea()->setActiveSubWindow(documents.graphWindow());
    found << enabledWithoutAction("graph");
    frame_->router().trigger(CMainFrame::IdClose);
    found << enabledWithoutAction("no document");
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1String(", "))));
}

void FrameCommandsTest::acceleratorsFollowTheTable()
{
    CommandRouter& router = frame_->router();
    const auto keysOf = [&router](int id) { return router.action(id)->shortcuts(); };
    QVERIFY(keysOf(CMainFrame::IdNew).contains(QKeySequence(QStringLiteral("Ctrl+N"))));
    QVERIFY(keysOf(CMainFrame::IdOpen).contains(QKeySequence(QStringLiteral("Ctrl+O"))));
    QVERIFY(keysOf(CMainFrame::IdSave).contains(QKeySequence(QStringLiteral("Ctrl+S"))));
    QVERIFY(keysOf(CMainFrame::IdHelp).contains(QKeySequence(Qt::Key_F1)));
    QVERIFY(keysOf(CMainFrame::IdHelpTopics).isEmpty());
    QCOMPARE(keysOf(57634).size(), 2);
    QCOMPARE(keysOf(57637).size(), 2);
    QVERIFY(keysOf(57643).contains(QKeySequence(QStringLiteral("Alt+Backspace"))));
    // The keys work whichever menu is shown: the frame holds the actions.
    QVERIFY(frame_->actions().contains(router.action(CMainFrame::IdSave)));

    // Ctrl+N runs New.
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_));
    QTest::keyClick(frame_, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(frame_->documents().title(), QStringLiteral("Tessor2"));
}

void FrameCommandsTest::helpOpensTheManualsOnlyWhenTheyExist_data()
{
    // Files of a program tree (relative to its root; the program is in bin/), and what F1 and Help
    // Topics hand to the desktop's opener, in that order.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("opened");
    const QString rcc = QStringLiteral("bin/TessorOpt.rcc");
    const QString installedRcc = QStringLiteral("share/tessor/TessorOpt.rcc");
    QTest::newRow("no manuals") << QStringList{rcc} << QStringList{};
    QTest::newRow("manuals beside the program")
        << QStringList{rcc, QStringLiteral("bin/TessorKdrx.html"), QStringLiteral("bin/TessorKdrx.pdf")}
        << QStringList{QStringLiteral("bin/TessorKdrx.html"), QStringLiteral("bin/TessorKdrx.pdf")};
    QTest::newRow("installed tree") << QStringList{installedRcc,
                                                   QStringLiteral("share/doc/tessor/TessorKdrx.html"),
                                                   QStringLiteral("share/doc/tessor/TessorKdrx.pdf")}
                                    << QStringList{QStringLiteral("share/doc/tessor/TessorKdrx.html"),
                                                   QStringLiteral("share/doc/tessor/TessorKdrx.pdf")};
    QTest::newRow("installed PDF only")
        << QStringList{installedRcc, QStringLiteral("share/doc/tessor/TessorKdrx.pdf")}
        << QStringList{QStringLiteral("share/doc/tessor/TessorKdrx.pdf")};
    QTest::newRow("manuals in the data folder are not found")
        << QStringList{installedRcc, QStringLiteral("share/tessor/TessorKdrx.html"),
                       QStringLiteral("share/tessor/TessorKdrx.pdf")}
        << QStringList{};
}

void FrameCommandsTest::helpOpensTheManualsOnlyWhenTheyExist()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, opened);

    // The program started from a tree of its own instead of the build folder, which has manuals.
    program_->stop();
    const QDir tree(program_->folders.root() + QStringLiteral("/tree"));
    QVERIFY(tree.mkpath(QStringLiteral("bin")));
    for (const QString& file : files) {
        QVERIFY(tree.mkpath(QFileInfo(file).path()));
        if (file.endsWith(QLatin1String(".rcc"))) {
            QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/TessorOpt.rcc"),
                                tree.filePath(file)));
        } else {
            QFile manual(tree.filePath(file));
            QVERIFY(manual.open(QIODevice::WriteOnly));
        }
    }
    program_->app = std::make_unique<CTessorApp>(
        program_->prompt, program_->services, program_->folders.paths(tree.filePath(QStringLiteral("bin"))));
    QCOMPARE(program_->app->initInstance({}), CTessorApp::kRunning);
    frame_ = program_->app->mainFrame();

    // F1 through its key, Help Topics through the menu's command.
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_));
    QTest::keyClick(frame_, Qt::Key_F1);
    QVERIFY(frame_->router().trigger(CMainFrame::IdHelpTopics));

    QStringList expected;
    for (const QString& file : opened)
        expected << tree.filePath(file);
    QCOMPARE(program_->services.openedWithDesktop, expected);
    QVERIFY(program_->prompt.entries.empty());
}

void FrameCommandsTest::statusBarShowsInstrumentUnitModeAndLink()
{
    StatusPanes& panes = frame_->statusPanes();
    AppSettings& settings = frame_->settings();
    frame_->updateCommandUi();
    QCOMPARE(panes.text(0), QStringLiteral("For Help, press F1"));
    QCOMPARE(panes.text(StatusPanes::kInstrument), QStringLiteral("Morvane KDR-X series"));
    QCOMPARE(panes.text(StatusPanes::kBlank), QStringLiteral(" "));
    QCOMPARE(panes.text(StatusPanes::kUnit), QStringLiteral("Seconds"));
    QCOMPARE(panes.text(StatusPanes::kMode), QStringLiteral("Constant Voltage"));
    QCOMPARE(panes.text(StatusPanes::kLink), QStringLiteral("RS232C"));

    settings.Unit = UnitH;
    frame_->updateCommandUi();
    QCOMPARE(panes.text(StatusPanes::kUnit), QStringLiteral("Hours"));
    settings.Unit = UnitMs;
    frame_->updateCommandUi();
    QCOMPARE(panes.text(StatusPanes::kUnit), QStringLiteral("ms"));
    settings.Unit = UnitMin;
    settings.SeqMode = FastSequence;
    frame_->updateCommandUi();
    QCOMPARE(panes.text(StatusPanes::kUnit), QStringLiteral("ms"));
    settings.Interface = 1;
    frame_->updateCommandUi();
    QCOMPARE(panes.text(StatusPanes::kLink), QStringLiteral("GPIB"));

    frame_->router().trigger(CMainFrame::IdClose);
    frame_->updateCommandUi();
    QCOMPARE(panes.text(StatusPanes::kUnit), QString());
    QCOMPARE(panes.text(StatusPanes::kMode), QString());
    QCOMPARE(panes.text(StatusPanes::kInstrument), QStringLiteral("Morvane KDR-X series"));
}

void FrameCommandsTest::menuBarFollowsTheDocument()
{
    QCOMPARE(menuTitles(*frame_),
             (QStringList{QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Graph"),
                          QStringLiteral("&Worksheet"), QStringLiteral("&Sequence"),
                          QStringLiteral("&Window"), QStringLiteral("&Help")}));
    frame_->router().trigger(CMainFrame::IdClose);
    QCOMPARE(menuTitles(*frame_),
             (QStringList{QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Help")}));
    frame_->router().trigger(CMainFrame::IdNew);
    QCOMPARE(frame_->shownMenu(), 129);
}

void FrameCommandsTest::viewCommandsGoToTheActiveWindow()
{
    DocumentSession& documents = frame_->documents();
    int selected = 0;
    documents.gridView()->commands().add(32812, [&selected] { ++selected; });
    frame_->mdiArea()->setActiveSubWindow(documents.worksheetWindow());
    QVERIFY(frame_->router().trigger(32812));
    QCOMPARE(selected, 1);
    frame_->mdiArea()->setActiveSubWindow(documents.graphWindow());
    QVERIFY(!frame_->router().isEnabled(32812));
    QVERIFY(!frame_->router().trigger(32812));
    QCOMPARE(selected, 1);
    // The frame's commands are reached from either window.
    QVERIFY(frame_->router().isEnabled(CMainFrame::IdChannel2));

    // A new document's views replace the old ones in the route.
    frame_->mdiArea()->setActiveSubWindow(documents.worksheetWindow());
    QVERIFY(frame_->router().trigger(CMainFrame::IdNew));
    // The new worksheet's own Select All runs, not the stand-in of the old one.
    QVERIFY(frame_->router().trigger(32812));
    frame_->router().trigger(CMainFrame::IdClose);
    QVERIFY(frame_->router().viewCommands() == nullptr);
    QCOMPARE(selected, 1);
}

void FrameCommandsTest::documentWindowsCloseOnlyWithTheDocument()
{
    DocumentSession& documents = frame_->documents();
    QVERIFY(!documents.worksheetWindow()->close());
    QVERIFY(!documents.graphWindow()->close());
    QCOMPARE(frame_->mdiArea()->subWindowList().size(), 2);
    for (QMdiSubWindow* window : frame_->mdiArea()->subWindowList()) {
        QVERIFY(window->windowFlags() & Qt::CustomizeWindowHint);
        QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
    }
}

void FrameCommandsTest::windowArrangement()
{
    DocumentSession& documents = frame_->documents();
    const QSize area = frame_->mdiArea()->viewport()->size();
    QVERIFY(frame_->router().trigger(CMainFrame::IdTileHorizontally));
    QCOMPARE(documents.worksheetWindow()->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    QCOMPARE(documents.graphWindow()->geometry().top(), area.height() / 2);
    QVERIFY(frame_->router().trigger(CMainFrame::IdTileVertically));
    QCOMPARE(documents.worksheetWindow()->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    QVERIFY(frame_->router().trigger(CMainFrame::IdCascade));
    QVERIFY(documents.worksheetWindow()->geometry().topLeft() !=
            documents.graphWindow()->geometry().topLeft());
    documents.graphWindow()->showMinimized();
    QVERIFY(frame_->router().trigger(CMainFrame::IdArrangeIcons));
    QCOMPARE(documents.graphWindow()->geometry().bottom(), area.height() - 1);
    QCOMPARE(documents.graphWindow()->geometry().left(), 0);
}

void FrameCommandsTest::commandStatesFollowWhenIdle()
{
    frame_->commands().setAction(CMainFrame::IdTransfer, [] {});
    QAction* transfer = frame_->router().action(CMainFrame::IdTransfer);
    frame_->updateCommandUi();
    QVERIFY(!transfer->isEnabled());
    // A change the frame is not told about shows after the next user input, once the queue is empty.
    frame_->settings().SeqCtl = HardwareControl;
    QTest::mouseClick(frame_->mdiArea()->viewport(), Qt::LeftButton);
    QTRY_VERIFY(transfer->isEnabled());
    QCOMPARE(frame_->sequenceControlBar()->list()->currentIndex(), 1);
    // So does the run of a command.
    frame_->router().trigger(CMainFrame::IdClose);
    QTRY_VERIFY(!frame_->router().action(CMainFrame::IdChannel1)->isEnabled());
}

void FrameCommandsTest::windowMenuListsTheDocumentWindows()
{
    QMenu* window = nullptr;
    for (QAction* action : frame_->menuBar()->actions()) {
        if (action->text() == QStringLiteral("&Window"))
            window = action->menu();
    }
    QVERIFY(window);
    frame_->mdiArea()->setActiveSubWindow(frame_->documents().graphWindow());
    for (int shown = 0; shown < 2; ++shown) {
        emit window->aboutToShow();
        QStringList texts;
        QStringList checked;
        for (QAction* action : window->actions()) {
            texts << action->text();
            if (action->isChecked())
                checked << action->text();
        }
        QCOMPARE(texts.mid(texts.size() - 2),
                 (QStringList{QStringLiteral("&1 Worksheet - Data Count:0"),
                              QStringLiteral("&2 Graph - Channel1")}));
        QCOMPARE(checked, QStringList{QStringLiteral("&2 Graph - Channel1")});
    }
    window->actions().at(window->actions().size() - 2)->trigger();
    QCOMPARE(frame_->mdiArea()->activeSubWindow(), frame_->documents().worksheetWindow());
}

QTEST_MAIN(FrameCommandsTest)
#include "FrameCommandsTest.moc"
