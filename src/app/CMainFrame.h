#pragma once

#include "app/BuiltInSimulator.h"
#include "app/RecentFileList.h"
#include "instrument/CKdrxDevice.h"
#include "instrument/ChannelNumbers.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CurrentDocument.h"
#include "run/RunEngine.h"
#include "ui/QtTimerService.h"
#include "ui/SystemClock.h"
#include "views/CRunGraph.h"
#include "views/CommandTable.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <memory>
#include <vector>

class CommandRouter;
class CsvFileCommands;
class LogFileCommands;
class CRunDlg;
class CSequenceControlBar;
class DocumentSession;
class FrameMenus;
class QMdiArea;
class ProfileStore;
class QMenu;
class QToolBar;
class ResourceModule;
class SequenceDialogs;
class ShellPrompt;
class ShellResources;
class ShellServices;
class StatusPanes;
class TemplateLoader;
class TransferProgress;

// The main window: it owns the settings, the current-document reference, the port layer (with the
// built-in simulator behind the "simulator" port), the KDR-X protocol object, the channel-number
// table and the document session; it shows the menus, toolbar, sequence control bar and status bar
// and routes every command. Settings are loaded when the frame is created (after its bars exist)
// and saved when it is destroyed, once it has been shown.
//
// The views bring their own CommandTable, which the router asks first while their window is
// current; the frame's table holds every other command.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // What the frame is given by the application object.
    struct Context {
        const ResourceModule& module;
        const ShellResources& resources;
        const TemplateLoader& templates;
        ShellPrompt& prompt;
        ShellServices& services;
        const ProfileStore& profile;
        QString helpFolder; // the program's folder: the manuals are beside it or in ../share/doc/tessor
        // The time of the run engine, the link's waits and the windows' timers; the steady clock
        // and Qt's precise timers when null (tests pass a clock that moves on command).
        Clock* clock = nullptr;
        TimerService* timers = nullptr;
    };

    // Command identifiers the frame handles.
    enum Command {
        IdNew = 57600,
        IdOpen = 57601,
        IdClose = 57602,
        IdSave = 57603,
        IdSaveAs = 57604,
        IdRecentFile1 = 57616,
        IdExit = 57665,
        IdToolbar = 59392,
        IdStatusBar = 59393,
        IdSequenceControlBar = 32853,
        IdSavePosition = 32787,
        IdPreviousFile = 32789,
        IdTransfer = 32796,
        IdRun = 32792,
        IdMode = 32795,
        IdMonitoringSetup = 32808,
        IdInitialSetting = 32842,
        IdInterface = 32794,
        IdEnvironment = 32841,
        IdOptions = 32806,
        IdChannel1 = 32823,
        IdChannel2 = 32824,
        IdChannel3 = 32825,
        IdChannel4 = 32826,
        IdChannel5 = 32831,
        IdCascade = 57650,
        IdTileVertically = 57651,
        IdTileHorizontally = 57652,
        IdArrangeIcons = 57649,
        IdHelpTopics = 57667,
        IdHelp = 57670,
        IdAbout = 57664,
        IdInitialValues = 32839,
        IdOpenLog = 32930,
    };
    static constexpr std::array<int, kChannelCount> kChannelCommands{IdChannel1, IdChannel2, IdChannel3,
                                                                     IdChannel4, IdChannel5};

    explicit CMainFrame(const Context& context, QWidget* parent = nullptr);
    // Closes the document without asking, saves the settings and the recent files.
    ~CMainFrame() override;

    // Builds the bars and the status bar, loads the settings and applies them; false (after a
    // message) when a bar cannot be built.
    bool create();

    AppSettings& settings() { return settings_; }
    CurrentDocument& currentDocument() { return current_; }
    ChannelNumbers& channelNumbers() { return channelNumbers_; }
    CInstrumentPort& port() { return port_; }
    CKdrxDevice& device() { return device_; }
    RunEngine& runEngine() { return runEngine_; }
    // The Run window, created with the frame's bars and kept for its life; null before create().
    CRunDlg* runDialog() const { return runDialog_.get(); }
    BuiltInSimulator& simulator() { return simulator_; }
    Clock& clock() { return clock_; }
    TimerService& timers() { return timers_; }
    CommandRouter& router() { return *router_; }
    // The frame's own command table.
    CommandTable& commands() { return commands_; }
    DocumentSession& documents() { return *documents_; }
    RecentFileList& recentFiles() { return recentFiles_; }
    CSequenceControlBar* sequenceControlBar() const { return controlBar_; }
    QToolBar* mainToolBar() const { return toolBar_; }
    StatusPanes& statusPanes() { return *statusPanes_; }
    QMdiArea* mdiArea() const { return area_; }
    // The transfer's progress display (in the status bar), once the frame is created.
    TransferProgress* transferProgress() const { return transferProgress_.get(); }
    // The menu resource shown in the menu bar: 129 while a document is open, else 128.
    int shownMenu() const;

    // The idle update: command enabling and check marks, the status panes, the control-method list
    // and the title. requestIdleUpdate() schedules one for when the event queue is empty.
    void updateCommandUi();
    void requestIdleUpdate();

    // Open (path) for dropped files and the copy handed over by a second start.
    bool openDocumentFile(const QString& path);
    // Opens a monitoring log (a cut series as one) in a log viewer window; false after a message
    // naming what does not fit.
    bool openLog(const QString& path);
    // A file given without saying what it is (dropped, handed over): a log when it reads like one,
    // else a sequence file.
    bool openAnyFile(const QString& path);
    // The channel commands: the current document's current channel becomes 0..4.
    void switchChannel(int channel);
    // A choice in the control-method list; refused while the current document has steps.
    void changeControlMethod(int method);
    // Gives the port the connection settings (at creation and after the Interface dialog's OK).
    void applyInterfaceSettings();
    // Moves the main window to the rectangle Left, Top, Right, Bottom of the settings (onto the
    // primary screen when no screen shows any of it).
    void restoreWindowRect();

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QMenu* createPopupMenu() override { return nullptr; }

private:
    void defineCommands();
    void loadSettings();
    void saveSettings();
    void toggleBar(QWidget* bar);
    void noteFrameOffset();
    void openManual(const QString& fileName);
    void runInterfaceDialog();
    void runEnvironmentDialog();
    void runAboutDialog();
    void runRunDialog();
    CRunGraph::Look runGraphLook() const;
    // The Run window's save dialog for readings whose log folder failed; empty when cancelled.
    QString chooseLogFile(const QString& failedPath);
    void runMonitorSetupDialog();
    void runInitialValuesDialog();
    // Transfer, Initial Setting, Mode and Options, with the progress display of the transfers.
    void plugSequenceDialogs();
    void onDocumentChanged();
    void onSubWindowActivated();

    Context context_;
    AppSettings settings_;
    CurrentDocument current_;
    ChannelNumbers channelNumbers_ = defaultChannelNumbers();
    SystemClock systemClock_;
    QtTimerService systemTimers_;
    Clock& clock_;
    TimerService& timers_;
    BuiltInSimulator simulator_; // outlives the port, which asks it for its device
    CInstrumentPort port_;
    CKdrxDevice device_;
    RunEngine runEngine_; // the run dialog's engine, deleted after the settings were saved
    std::unique_ptr<CRunDlg> runDialog_;
    RecentFileList recentFiles_;
    CommandTable commands_;
    CommandRouter* router_;
    QMdiArea* area_;
    std::unique_ptr<FrameMenus> menus_;
    std::unique_ptr<DocumentSession> documents_;
    std::unique_ptr<CsvFileCommands> csvFiles_;
    std::unique_ptr<LogFileCommands> logFiles_;
    QToolBar* toolBar_ = nullptr;
    CSequenceControlBar* controlBar_ = nullptr;
    std::unique_ptr<StatusPanes> statusPanes_;
    std::unique_ptr<TransferProgress> transferProgress_;
    std::unique_ptr<SequenceDialogs> sequenceDialogs_;
    QTimer idleTimer_;
    bool settingsLoaded_ = false;
    // The settings are written only by a frame that was shown: a start that fails leaves the
    // profile as it was.
    bool shown_ = false;
    // How far the contents stand from the window's position while it is in its normal state; a
    // maximised window knows its normal rectangle only for its contents.
    QPoint normalFrameOffset_;
    bool windowsClosing_ = false;
};
