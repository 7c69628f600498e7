#pragma once

#include <functional>

class CKdrxDevice;
class CurrentDocument;
class QWidget;
class RunEngine;
class ShellServices;
class TemplateLoader;
class TransferProgress;
class UserPrompt;
struct AppSettings;

// The Sequence menu's instrument and setting dialogs as the main frame opens them: Transfer,
// Initial Setting (the ranges), Mode and Options. It gives each dialog what it works on and passes
// their effects on: the Run window's panels to the run engine, and a read-back and a Mode change
// to the document's windows through the hooks the frame fills.
class SequenceDialogs {
public:
    struct Context {
        AppSettings& settings;
        CurrentDocument& current;
        CKdrxDevice& device;
        RunEngine& runEngine;
        UserPrompt& prompt;
        ShellServices& services;
        const TemplateLoader& templates;
        TransferProgress* progress; // shown while a transfer runs; may be null
        QWidget* parent;
        // Read: the save question, then every document closed; false when the user cancelled.
        std::function<bool()> closeDocuments;
        // Read: a new, empty document in its two windows, made current and shown.
        std::function<bool()> createDocument;
        // Read: both windows redrawn from the document, every channel.
        std::function<void()> refillAllChannels;
        // Mode OK: the worksheet's headers and the graph's labels follow the new modes and unit.
        std::function<void()> applyModeSettings;
    };

    explicit SequenceDialogs(Context context);

    void runTransfer();
    void runRanges();
    void runMode();
    void runOptions();

private:
    Context context_;
};
