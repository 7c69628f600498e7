#pragma once

#include "app/SingleInstance.h"
#include "ui/ResourceModule.h"
#include "views/ShellResources.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class CMainFrame;
class Clock;
class TimerService;
class HandOverQueue;
class ProfileStore;
class ShellPrompt;
class ShellServices;
class TemplateLoader;

// Where the program finds its files.
struct StartupPaths {
    QString programFolder; // TessorOpt.rcc and the manuals are beside it or in the installed tree
    QString profilePath;
    QString runtimeFolder; // the single-instance lock and socket

    // The running program's folder, the user's profile and runtime folder.
    static StartupPaths standard();
};

// The application object: starts the program (one copy per user, the resource module, the main
// frame, the first document) and ends it. Destroying it destroys the main frame, which saves the
// settings; the single-instance lock is released last.
class CTessorApp {
public:
    static constexpr int kRunning = -1;

    CTessorApp(ShellPrompt& prompt, ShellServices& services, StartupPaths paths);
    ~CTessorApp();
    CTessorApp(const CTessorApp&) = delete;
    CTessorApp& operator=(const CTessorApp&) = delete;

    // The time the frame is to use instead of the steady clock and Qt's timers (tests); set before
    // initInstance.
    void setTimeSources(Clock& clock, TimerService& timers)
    {
        clock_ = &clock;
        timers_ = &timers;
    }
    // Where the start-up's notes go (stderr unless set): why the program runs without
    // single-instance protection, why later starts cannot hand their files over to it, or why
    // this start opens its file itself.
    void setNoteOutput(std::function<void(const QString&)> output) { noteOutput_ = std::move(output); }

    // Runs the start-up with the command line's file arguments: a sequence file, or "--log FILE"
    // for a monitoring log, which opens in a log viewer over a new document. Returns kRunning when
    // the main window is up, else the exit status: 0 for a second copy (after handing over its
    // file), non-zero when the resource module is missing or broken or the command line's sequence
    // file cannot be opened. A second copy whose file cannot be handed over opens it itself.
    int initInstance(const QStringList& arguments);

    CMainFrame* mainFrame() const { return frame_.get(); }
    const ResourceModule& module() const { return module_; }
    const TemplateLoader* templates() const { return templates_.get(); }
    SingleInstance& instance() { return instance_; }
    // The files handed over by later starts that wait to be opened.
    const HandOverQueue* handOvers() const { return handOvers_.get(); }

    // Every dialog template of the module, checked for the controls its dialog uses; the problems
    // found, one per line, or an empty text.
    static QString checkDialogTemplates(const TemplateLoader& loader);

private:
    void note(const QString& text) const;

    ShellPrompt& prompt_;
    ShellServices& services_;
    StartupPaths paths_;
    SingleInstance instance_;
    ResourceModule module_;
    ShellResources resources_;
    std::unique_ptr<TemplateLoader> templates_;
    std::unique_ptr<ProfileStore> profile_;
    std::unique_ptr<CMainFrame> frame_;
    Clock* clock_ = nullptr;
    TimerService* timers_ = nullptr;
    std::unique_ptr<HandOverQueue> handOvers_; // opens into frame_; destroyed before it
    std::function<void(const QString&)> noteOutput_;
};
