#pragma once

#include "FakeTime.h"
#include "FaultLine.h"
#include "KdrxSimulator.h"
#include "SimulatorSerialLine.h"
#include "app/CTessorApp.h"
#include "app/ShellPrompt.h"
#include "app/ShellServices.h"

#include <QDialog>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// A ShellPrompt that records every text and answers from scripts: askYesNo from yesNoAnswers (No
// when empty), askYesNoCancel from threeWayAnswers (Cancel when empty).
class RecordingShellPrompt : public ShellPrompt {
public:
    struct Entry {
        QString text;
        Icon icon;
        enum Kind { Message, YesNo, YesNoCancel } kind;
    };

    void showMessage(const QString& text, Icon icon = Icon::None) override;
    bool askYesNo(const QString& text, Icon icon = Icon::Information) override;
    Answer askYesNoCancel(const QString& text) override;
    void setBusy(bool busy) override;

    QStringList texts() const;
    void clear() { entries.clear(); }

    std::vector<Entry> entries;
    // Called while a message is shown (as the user would see it), after it was recorded.
    std::function<void(const QString& text)> whileMessageShown;
    std::deque<bool> yesNoAnswers;
    std::deque<Answer> threeWayAnswers;
    int busyDepth = 0;
    int busyCount = 0;
};

// ShellServices without anything modal: file dialogs answer from queues (cancelled when empty)
// and keep the requests, the desktop viewer records the paths, dialogs run through onDialog
// (rejected when unset).
class FakeShellServices : public ShellServices {
public:
    QString openFileName(QWidget* parent, const FileRequest& request) override;
    QString saveFileName(QWidget* parent, const FileRequest& request) override;
    bool openWithDesktop(const QString& path) override;
    int execDialog(QDialog& dialog) override;

    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    // The file type chosen in a save dialog that asks for it (the first when empty).
    std::deque<int> saveFilterAnswers;
    std::vector<FileRequest> openRequests;
    std::vector<FileRequest> saveRequests;
    QStringList openedWithDesktop;
    std::function<int(QDialog&)> onDialog;
    // Called while a file dialog is up, before it gives its answer.
    std::function<void(const FileRequest&)> whileFileDialogShown;
    int dialogsRun = 0;
};

// A private configuration and runtime folder for one test, set as XDG_CONFIG_HOME and
// XDG_RUNTIME_DIR while it lives, so the user's profile and lock are never touched.
class TestFolders {
public:
    TestFolders();
    ~TestFolders();
    TestFolders(const TestFolders&) = delete;
    TestFolders& operator=(const TestFolders&) = delete;

    QString root() const { return dir_.path(); }
    QString configFolder() const { return dir_.filePath(QStringLiteral("config")); }
    QString runtimeFolder() const { return dir_.filePath(QStringLiteral("runtime")); }
    QString profilePath() const;
    // A file in the test's data folder with the given content (bytes as given, CR LF included).
    QString writeFile(const QString& name, const QByteArray& content) const;
    QString filePath(const QString& name) const { return dir_.filePath(QStringLiteral("data/") + name); }
    // Paths the program takes its files from: the build's bin folder (TessorOpt.rcc), this test's
    // profile and runtime folder.
    StartupPaths paths() const;
    StartupPaths paths(const QString& programFolder) const;

private:
    QTemporaryDir dir_;
    QByteArray oldConfig_;
    QByteArray oldRuntime_;
    bool hadConfig_ = false;
    bool hadRuntime_ = false;
};

// The simulated load on a fake clock, answering on a frame's RS-232C line synchronously: a run of
// minutes takes milliseconds, and the transcript carries the fake time of every command.
struct InProcessInstrument {
    InProcessInstrument() = default;
    InProcessInstrument(const InProcessInstrument&) = delete;
    InProcessInstrument& operator=(const InProcessInstrument&) = delete;

    // Puts the simulator under the frame's port (the frame must run on this clock).
    void attach(CMainFrame& frame);
    // Every command received after msFrom on the clock, as "+ms text" relative to msFrom.
    QStringList timeline(qint64 msFrom) const;

    FakeTime time;
    KdrxSimulator simulator{time};
    SimulatorSerialLine simulatorLine{simulator, time};
    FaultLine* line = nullptr; // owned by the frame's port
};

// One started program: folders, prompt, services and the application object.
struct StartedProgram {
    TestFolders folders;
    RecordingShellPrompt prompt;
    FakeShellServices services;
    // With startSimulated(): the clock and timers of the frame, and its instrument.
    std::unique_ptr<InProcessInstrument> instrument;
    std::unique_ptr<CTessorApp> app;
    int status = 0;

    // Starts the program with the files of a command line; the profile can be written first.
    int start(const QStringList& files = {});
    // The same on a fake clock, with the in-process simulator as the instrument.
    int startSimulated(const QStringList& files = {});
    CMainFrame& frame() const { return *app->mainFrame(); }
    // Destroys the application object (the frame saves the settings).
    void stop() { app.reset(); }
};

// Profile helpers.
void writeProfileValue(const QString& profilePath, const QString& key, const QVariant& value);
QVariant readProfileValue(const QString& profilePath, const QString& key);

// Sequence files in the file format, TAB-separated, CR LF line ends.
QByteArray sequenceFile(const QString& header, const std::vector<std::vector<QString>>& channelLines);
QByteArray emptyChannelsFile(const QString& control = QStringLiteral("soft"));
