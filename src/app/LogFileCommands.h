#pragma once

#include <QString>

struct AppSettings;
class ResourceModule;
class ShellPrompt;
class ShellServices;
class TemplateLoader;
class QWidget;

// File > Open Log... and every other way a monitoring log comes in (dropped, handed over, "--log"):
// the log is read (a cut series as one) and shown in a log viewer window of its own, or refused
// with a message that names the line that does not fit.
class LogFileCommands {
public:
    LogFileCommands(const AppSettings& settings, ShellPrompt& prompt, ShellServices& services,
                    const ResourceModule& module, const TemplateLoader& templates, QWidget* window);

    // False after the message that says why the file is no log.
    bool open(const QString& path);
    // Asks for a log in the log folder, then opens it.
    void openWithDialog();

private:
    const AppSettings& settings_;
    ShellPrompt& prompt_;
    ShellServices& services_;
    const ResourceModule& module_;
    const TemplateLoader& templates_;
    QWidget* window_;
};
