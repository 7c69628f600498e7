#pragma once

#include "dialogs/TransferProgress.h"

#include <QString>
#include <map>
#include <vector>

struct AppSettings;
class CMainDoc;
class QLabel;
class QProgressBar;
class QStatusBar;
class ResourceModule;

// The panes of the status bar: the message pane (the idle text "For Help, press F1" and the command
// prompts) and, right to left of it, the instrument, a blank, the time unit, the operation mode of
// the current channel and the interface. Each pane is as wide as its string-table text. During a
// transfer the message pane shows its progress, with a progress bar beside it.
class StatusPanes : public TransferProgress::Display {
public:
    static constexpr int kInstrument = 102;
    static constexpr int kBlank = 104;
    static constexpr int kUnit = 106;
    static constexpr int kMode = 103;
    static constexpr int kLink = 105;

    StatusPanes(QStatusBar* bar, const ResourceModule& module, const std::vector<int>& panes);

    // Rewrites the pane texts from the settings and the current document (null when none).
    void refresh(const AppSettings& settings, const CMainDoc* document);
    // The text of a pane; 0 is the message pane's idle text.
    QString text(int pane) const;

    // TransferProgress::Display. A hidden status bar is shown while the progress is.
    void showProgress(const QString& text, int step, int total) override;
    void hideProgress() override;
    bool isProgressShown() const;

    // The pane texts, as the idle update computes them.
    static QString instrumentText();
    static QString unitText(const AppSettings& settings, bool hasDocument);
    static QString modeText(const AppSettings& settings, const CMainDoc* document);
    static QString linkText(const AppSettings& settings);

private:
    void setText(int pane, const QString& text);

    QStatusBar* bar_;
    QLabel* message_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QString idleText_;
    bool barShownForProgress_ = false;
    std::map<int, QLabel*> panes_;
};
