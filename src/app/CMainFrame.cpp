#include "app/CMainFrame.h"

#include "app/CChildFrame.h"
#include "app/CSequenceControlBar.h"
#include "app/CsvFileCommands.h"
#include "app/DocumentSession.h"
#include "app/FrameMenus.h"
#include "app/LogFileCommands.h"
#include "app/SequenceDialogs.h"
#include "app/ShellPrompt.h"
#include "app/ShellServices.h"
#include "app/StatusPanes.h"
#include "app/WindowArrangement.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CEnvironmentDlg.h"
#include "dialogs/CInitDlg.h"
#include "dialogs/CInterfaceDlg.h"
#include "dialogs/CMonitorSetupDlg.h"
#include "dialogs/CRunDlg.h"
#include "dialogs/SerialDeviceList.h"
#include "dialogs/TransferProgress.h"
#include "model/CMainDoc.h"
#include "model/ProfileStore.h"
#include "run/LogFileReader.h"
#include "ui/InstallLayout.h"
#include "ui/ResourceModule.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/CommandRouter.h"
#include "views/MenuBuilder.h"
#include "views/ShellResources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

namespace {

constexpr int kMainToolbar = 128;
constexpr int kMainIcon = 128;
constexpr int kAppTitle = 128;
constexpr int kRunGraphMenu = 152;    // the live graph's context menu
constexpr int kFieldFaceString = 109; // the face of the plot labels
// The live graph's menu items, and the texts of its readings: charge, energy, the tooltip.
constexpr int kVerticalAxisItem = 32779;
constexpr int kMeasuredValuesItem = 32931;
constexpr int kChargeText = 899;
constexpr int kEnergyText = 900;
constexpr int kMeasuredTip = 901;
// "All Files (*.*)".
constexpr int kAllFilesFilter = 61442;

// The manuals: F1 opens the HTML manual, Help Topics the PDF.
const QString kHtmlManual = QStringLiteral("TessorKdrx.html");
const QString kPdfManual = QStringLiteral("TessorKdrx.pdf");

const QString kVersion = QStringLiteral(TESSOR_VERSION);

} // namespace

CMainFrame::CMainFrame(const Context& context, QWidget* parent)
    : QMainWindow(parent), context_(context), clock_(context.clock ? *context.clock : systemClock_),
      timers_(context.timers ? *context.timers : systemTimers_),
      port_(context.module, context.prompt, clock_),
      device_(port_, settings_, channelNumbers_, current_, context.prompt, clock_),
      runEngine_(settings_, current_, port_, device_, channelNumbers_, context.prompt, clock_, timers_),
      router_(new CommandRouter(context.module, this)), area_(new QMdiArea(this)),
      menus_(std::make_unique<FrameMenus>(*this, *router_, context.resources, recentFiles_, *area_,
                                          IdRecentFile1, [this] { updateCommandUi(); }))
{
    port_.setSimulatorProvider([this] { return simulator_.devicePath(); });
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(context_.resources.icon(kMainIcon));
    setAcceptDrops(true);
    area_->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(area_);

    documents_ = std::make_unique<DocumentSession>(DocumentSession::Context{
        area_, settings_, current_, context_.prompt, context_.services, context_.module, context_.resources,
        context_.profile, recentFiles_, timers_, context_.templates, [this] { runEngine_.clearProgress(); },
        [this](int menuId, const QPoint& globalPos) { menus_->showContextMenu(menuId, globalPos); },
        [this] { requestIdleUpdate(); }});
    csvFiles_ = std::make_unique<CsvFileCommands>(*documents_, settings_, context_.prompt, context_.services,
                                                  context_.module, this);
    logFiles_ = std::make_unique<LogFileCommands>(settings_, context_.prompt, context_.services,
                                                  context_.module, context_.templates, this);
    connect(documents_.get(), &DocumentSession::documentChanged, this, &CMainFrame::onDocumentChanged);
    // While the windows close, activations of the closing windows must not route to their views.
    connect(documents_.get(), &DocumentSession::windowsClosing, this, [this] {
        windowsClosing_ = true;
        router_->setViewCommands(nullptr);
    });
    connect(area_, &QMdiArea::subWindowActivated, this, &CMainFrame::onSubWindowActivated);

    router_->setFrameCommands(&commands_);
    router_->setBeforeCommand([this](int) { documents_->commitPendingEdit(); });
    connect(router_, &CommandRouter::commandFinished, this, &CMainFrame::requestIdleUpdate);
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(0);
    connect(&idleTimer_, &QTimer::timeout, this, &CMainFrame::updateCommandUi);
    qApp->installEventFilter(this);

    defineCommands();
    menus_->build();
}

CMainFrame::~CMainFrame()
{
    // The program can end while a run is active (a stop signal ends every event loop, the Run
    // window's among them): its loads are stopped before the document and the link go.
    // Nothing may wait for an answer now: readings that their log folder cannot take go beside the
    // sequence file, or else into the home folder.
    QStringList rescueFolders;
    if (!documents_->path().isEmpty())
        rescueFolders << QFileInfo(documents_->path()).absolutePath();
    if (runDialog_)
        runDialog_->answerUnattended(rescueFolders << ProfileStore::defaultFolder());
    runEngine_.shutDown();
    qApp->removeEventFilter(this);
    idleTimer_.stop();
    documents_->closeDocument();
    if (settingsLoaded_ && shown_)
        saveSettings();
    // The run dialog object is deleted after the settings are saved.
    runDialog_.reset();
}

bool CMainFrame::create()
{
    // 1. The main toolbar.
    if (!context_.resources.hasToolbar(kMainToolbar)) {
        context_.prompt.showMessage(QLatin1String(ResourceModule::moduleErrorText),
                                    UserPrompt::Icon::Critical);
        return false;
    }
    const ToolbarLayout& layout = context_.resources.toolbar(kMainToolbar);
    toolBar_ = new QToolBar(layout.title, this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setIconSize(layout.buttonSize);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    MenuBuilder builder([this](int id) { return router_->action(id); });
    builder.fillToolbar(toolBar_, layout, context_.resources.toolbarImages(kMainToolbar));

    // 2. The sequence control bar.
    controlBar_ = new CSequenceControlBar(context_.resources, context_.module, *router_, this);
    connect(controlBar_, &CSequenceControlBar::controlMethodChosen, this, &CMainFrame::changeControlMethod);

    // 3. The status bar.
    statusPanes_ =
        std::make_unique<StatusPanes>(statusBar(), context_.module, context_.resources.statusPanes());
    plugSequenceDialogs();

    // 4. Both bars at the top, the sequence control bar to the right of the toolbar.
    addToolBar(Qt::TopToolBarArea, toolBar_);
    addToolBar(Qt::TopToolBarArea, controlBar_);

    // 5. The settings, and the control-method list on SeqCtl.
    loadSettings();
    controlBar_->setControlMethod(settings_.SeqCtl);

    // 6. The port takes the connection settings.
    applyInterfaceSettings();

    // 7. The Run window.
    runDialog_ = std::make_unique<CRunDlg>(
        context_.templates,
        CRunDlg::Context{runEngine_, settings_, current_, timers_, runGraphLook(),
                         [this](const QString& failedPath) { return chooseLogFile(failedPath); }},
        this);

    updateCommandUi();
    return true;
}

int CMainFrame::shownMenu() const
{
    return menus_->shown();
}

void CMainFrame::defineCommands()
{
    const auto always = CommandTable::Rule();
    const auto hasDocument = [this] { return static_cast<bool>(current_); };

    commands_.add(IdNew, [this] { documents_->newDocument(); });
    commands_.add(IdOpen, [this] { documents_->openWithDialog(); });
    commands_.add(IdOpenLog, [this] { logFiles_->openWithDialog(); });
    commands_.add(
        IdClose, [this] { documents_->close(); }, hasDocument);
    commands_.add(
        IdSave, [this] { documents_->save(); }, hasDocument);
    commands_.add(
        IdSaveAs, [this] { documents_->saveAs(); }, hasDocument);
    commands_.add(
        CsvFileCommands::IdImportCsv, [this] { csvFiles_->importFile(); }, hasDocument);
    commands_.add(
        CsvFileCommands::IdExportCsv, [this] { csvFiles_->exportFile(); }, hasDocument);
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        commands_.add(
            IdRecentFile1 + i, [this, i] { documents_->openRecentFile(i); },
            [this, i] { return i < recentFiles_.count(); });
    }
    commands_.add(IdExit, [this] { close(); });

    commands_.add(
        IdToolbar, [this] { toggleBar(toolBar_); }, always,
        [this] { return toolBar_ && !toolBar_->isHidden(); });
    commands_.add(
        IdStatusBar, [this] { toggleBar(statusBar()); }, always, [this] { return !statusBar()->isHidden(); });
    commands_.add(
        IdSequenceControlBar, [this] { toggleBar(controlBar_); }, always,
        [this] { return controlBar_ && !controlBar_->isHidden(); });
    commands_.add(
        IdSavePosition, [this] { settings_.bPos = settings_.bPos == 1 ? 0 : 1; }, always,
        [this] { return settings_.bPos == 1; });
    commands_.add(
        IdPreviousFile, [this] { settings_.bFile = settings_.bFile == 1 ? 0 : 1; }, always,
        [this] { return settings_.bFile == 1; });

    // The Sequence menu's dialogs. Transfer, ranges, Mode and Options run through the sequence
    // dialogs that create() builds.
    const auto sequenceDialog = [this](void (SequenceDialogs::*run)()) {
        return [this, run] {
            if (sequenceDialogs_)
                (sequenceDialogs_.get()->*run)();
        };
    };
    commands_.add(IdTransfer, sequenceDialog(&SequenceDialogs::runTransfer),
                  [this] { return settings_.SeqCtl == HardwareControl; });
    commands_.add(
        IdRun, [this] { runRunDialog(); }, hasDocument);
    commands_.add(IdMode, sequenceDialog(&SequenceDialogs::runMode), hasDocument);
    commands_.add(IdMonitoringSetup, [this] { runMonitorSetupDialog(); });
    commands_.add(IdInitialSetting, sequenceDialog(&SequenceDialogs::runRanges));
    commands_.add(IdOptions, sequenceDialog(&SequenceDialogs::runOptions));
    // Reached by no menu, toolbar or accelerator.
    commands_.add(
        IdInitialValues, [this] { runInitialValuesDialog(); }, hasDocument);

    for (int c = 0; c < kChannelCount; ++c) {
        commands_.add(
            kChannelCommands[static_cast<size_t>(c)], [this, c] { switchChannel(c); }, hasDocument,
            [this, c] { return current_ && current_.get()->currentChannel() == c; });
    }
    commands_.add(IdInterface, [this] { runInterfaceDialog(); });
    commands_.add(IdEnvironment, [this] { runEnvironmentDialog(); });

    commands_.add(IdCascade, [this] { area_->cascadeSubWindows(); });
    commands_.add(IdTileVertically, [this] {
        WindowArrangement::tileVertically(area_, WindowArrangement::tileableWindows(area_));
    });
    commands_.add(IdTileHorizontally, [this] {
        WindowArrangement::tileHorizontally(area_, WindowArrangement::tileableWindows(area_));
    });
    commands_.add(IdArrangeIcons, [this] { WindowArrangement::arrangeIcons(area_); });
    commands_.add(IdHelpTopics, [this] { openManual(kPdfManual); });
    commands_.add(IdHelp, [this] { openManual(kHtmlManual); });
    commands_.add(IdAbout, [this] { runAboutDialog(); });
}

void CMainFrame::toggleBar(QWidget* bar)
{
    if (!bar)
        return;
    // A floating bar is shown or hidden where it floats.
    bar->setVisible(bar->isHidden());
}

void CMainFrame::requestIdleUpdate()
{
    if (!idleTimer_.isActive())
        idleTimer_.start();
}

void CMainFrame::updateCommandUi()
{
    router_->updateActions();
    if (statusPanes_)
        statusPanes_->refresh(settings_, current_.get());
    if (controlBar_ && controlBar_->controlMethod() != settings_.SeqCtl)
        controlBar_->setControlMethod(settings_.SeqCtl);
    const QString appTitle = context_.module.string(kAppTitle);
    const QString title = current_ ? appTitle + QStringLiteral(" - ") + documents_->title() : appTitle;
    if (windowTitle() != title)
        setWindowTitle(title);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // The framework refreshes the command states whenever the event queue has emptied after user
    // input or a timer; the frame's own idle timer does not count.
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::Drop:
        requestIdleUpdate();
        break;
    case QEvent::Timer:
        if (watched != &idleTimer_)
            requestIdleUpdate();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::onDocumentChanged()
{
    windowsClosing_ = false;
    onSubWindowActivated();
    menus_->show(current_ ? FrameMenus::kDocumentMenu : FrameMenus::kMainMenu);
    menus_->updateRecentFileItems();
    if (current_)
        controlBar_->setControlMethod(settings_.SeqCtl);
    updateCommandUi();
}

void CMainFrame::onSubWindowActivated()
{
    if (windowsClosing_)
        return;
    // The current window, not only the active one: while a dialog is up the view keeps its commands.
    auto* child = qobject_cast<CChildFrame*>(area_->currentSubWindow());
    router_->setViewCommands(child ? child->viewCommands() : nullptr);
    requestIdleUpdate();
}

bool CMainFrame::openDocumentFile(const QString& path)
{
    const bool opened = documents_->openDocument(path) == DocumentSession::OpenResult::Opened;
    requestIdleUpdate();
    return opened;
}

bool CMainFrame::openLog(const QString& path)
{
    return logFiles_->open(path);
}

bool CMainFrame::openAnyFile(const QString& path)
{
    if (LogFileReader::looksLikeLog(path))
        return openLog(path);
    return openDocumentFile(path);
}

void CMainFrame::switchChannel(int channel)
{
    CMainDoc* document = current_.get();
    if (!document || channel < 0 || channel >= kChannelCount)
        return;
    document->setCurrentChannel(channel);
    documents_->showChannel(channel);
    requestIdleUpdate();
}

void CMainFrame::changeControlMethod(int method)
{
    if (method == settings_.SeqCtl)
        return;
    CMainDoc* document = current_.get();
    if (document && document->hasAnySteps()) {
        context_.prompt.showMessage(QStringLiteral("Change without entering data."));
        controlBar_->setControlMethod(settings_.SeqCtl);
        return;
    }
    settings_.SeqCtl = method;
    settings_.deriveActiveValues();
    if (document) {
        runEngine_.clearProgress();
        documents_->applyControlMethod();
    }
    updateCommandUi();
}

void CMainFrame::applyInterfaceSettings()
{
    // Nothing is opened here: the next instrument operation opens the link.
    port_.applySettings(settings_);
}

void CMainFrame::restoreWindowRect()
{
    // The corners were brought near the screens when they were read, so their differences fit.
    QRect rect(QPoint(settings_.Left, settings_.Top),
               QSize(settings_.Right - settings_.Left, settings_.Bottom - settings_.Top));
    rect.setSize(rect.size().expandedTo(minimumSizeHint()));
    // A rectangle saved on a screen that is no longer there would put the window out of reach.
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto onScreen = std::find_if(screens.begin(), screens.end(), [&rect](const QScreen* screen) {
        return screen->availableGeometry().intersects(rect);
    });
    const QScreen* screen = onScreen != screens.end() ? *onScreen : QGuiApplication::primaryScreen();
    if (onScreen == screens.end() && screen)
        rect.moveTopLeft(screen->availableGeometry().topLeft());
    // Never larger than the screen it opens on: a window beyond it can be neither used nor painted.
    if (screen)
        rect.setSize(rect.size().boundedTo(screen->availableGeometry().size()));
    move(rect.topLeft());
    resize(rect.size());
}

void CMainFrame::loadSettings()
{
    context_.profile.load(settings_);
    recentFiles_.setFiles(context_.profile.loadRecentFiles());
    settingsLoaded_ = true;
    menus_->updateRecentFileItems();
}

void CMainFrame::saveSettings()
{
    // The main window's rectangle: where it stands and the size of its contents, which is what
    // restoreWindowRect() gives back. A maximised window keeps its normal rectangle, whose contents
    // stand by the frame's offset from where the window stands.
    QRect normal(pos(), size());
    if (isMaximized() || isFullScreen())
        normal = QRect(normalGeometry().topLeft() - normalFrameOffset_, normalGeometry().size());
    settings_.Left = normal.left();
    settings_.Top = normal.top();
    settings_.Right = normal.left() + normal.width();
    settings_.Bottom = normal.top() + normal.height();
    // A profile that cannot be written loses the changes silently, as the program has no log.
    context_.profile.save(settings_);
    context_.profile.saveRecentFiles(recentFiles_.files());
}

void CMainFrame::openManual(const QString& fileName)
{
    // No message when the manual is missing.
    const QString path = InstallLayout::manualFile(context_.helpFolder, fileName);
    if (QFileInfo(path).isFile())
        context_.services.openWithDesktop(path);
}

void CMainFrame::runInterfaceDialog()
{
    CInterfaceDlg dialog(context_.templates, settings_, SerialDeviceList::scan(), this);
    if (context_.services.execDialog(dialog) == QDialog::Accepted)
        applyInterfaceSettings();
}

void CMainFrame::runEnvironmentDialog()
{
    CEnvironmentDlg dialog(context_.templates, settings_, this);
    context_.services.execDialog(dialog);
}

void CMainFrame::runAboutDialog()
{
    CAboutDlg dialog(context_.templates, kVersion, this);
    context_.services.execDialog(dialog);
}

CRunGraph::Look CMainFrame::runGraphLook() const
{
    CRunGraph::Look look;
    // The graph view's colours, read once; the live graphs never write them.
    look.colours.applyStored(context_.profile.loadGraph());
    look.labelFont = PlotPainter::labelFont(context_.module.string(kFieldFaceString));
    for (const MenuItem& popup : context_.resources.menu(kRunGraphMenu)) {
        for (const MenuItem& item : popup.items) {
            if (item.id == kVerticalAxisItem)
                look.verticalAxisText = item.text;
            else if (item.id == kMeasuredValuesItem)
                look.measuredValuesText = item.text;
        }
    }
    look.chargeText = context_.module.string(kChargeText);
    look.energyText = context_.module.string(kEnergyText);
    look.measuredTip = context_.module.string(kMeasuredTip);
    return look;
}

QString CMainFrame::chooseLogFile(const QString& failedPath)
{
    // Proposed beside the sequence file, under the name the log would have had.
    FileRequest request;
    request.title = QStringLiteral("Save the readings of the run");
    request.folder = documents_->path().isEmpty() ? ProfileStore::defaultFolder()
                                                  : QFileInfo(documents_->path()).absolutePath();
    request.proposedName = QFileInfo(failedPath).fileName();
    request.filters.push_back(
        FileFilter{QStringLiteral("Monitoring Data"), {QStringLiteral("*.") + settings_.Ext}});
    request.filters.push_back(FileFilter{context_.module.string(kAllFilesFilter), {QStringLiteral("*")}});
    request.defaultSuffix = settings_.Ext;
    return context_.services.saveFileName(runDialog_.get(), request);
}

void CMainFrame::runRunDialog()
{
    if (!current_ || !runDialog_)
        return;
    runDialog_->prepare();
    if (context_.services.execDialog(*runDialog_) == QDialog::Accepted)
        runDialog_->storeBoxes();
}

void CMainFrame::runMonitorSetupDialog()
{
    CMonitorSetupDlg dialog(context_.templates, settings_, this);
    context_.services.execDialog(dialog);
}

void CMainFrame::runInitialValuesDialog()
{
    CInitDlg dialog(context_.templates, settings_, this);
    if (context_.services.execDialog(dialog) != QDialog::Accepted)
        return;
    // The open views are redrawn with the new values.
    for (QWidget* view : std::initializer_list<QWidget*>{documents_->gridView(), documents_->graphView()}) {
        if (view)
            view->update();
    }
}

void CMainFrame::showEvent(QShowEvent* event)
{
    shown_ = true;
    QMainWindow::showEvent(event);
    noteFrameOffset();
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    noteFrameOffset();
}

void CMainFrame::noteFrameOffset()
{
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
        normalFrameOffset_ = geometry().topLeft() - pos();
}

void CMainFrame::plugSequenceDialogs()
{
    transferProgress_ = std::make_unique<TransferProgress>(context_.module, *statusPanes_);
    transferProgress_->attach(device_, &port_);
    // A read-back replaces the documents by one new document, shown at once.
    const auto closeDocuments = [this] {
        if (!documents_->saveModified())
            return false;
        documents_->closeDocument();
        return true;
    };
    const auto createDocument = [this] {
        if (!documents_->createDocumentWindows())
            return false;
        documents_->placeDocumentWindows();
        return true;
    };
    const auto refillAllChannels = [this] {
        documents_->refillAllChannels();
        documents_->placeDocumentWindows();
    };
    sequenceDialogs_ = std::make_unique<SequenceDialogs>(SequenceDialogs::Context{
        settings_, current_, device_, runEngine_, context_.prompt, context_.services, context_.templates,
        transferProgress_.get(), this, closeDocuments, createDocument, refillAllChannels,
        [this] { documents_->applyModeSettings(); }});
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!documents_->saveModified()) {
        event->ignore();
        return;
    }
    documents_->closeDocument();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && !data->urls().isEmpty() && data->urls().constFirst().isLocalFile())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    activateWindow();
    openAnyFile(urls.constFirst().toLocalFile());
}
