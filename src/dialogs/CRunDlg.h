#pragma once

#include "model/SequenceTypes.h"
#include "run/RunObserver.h"
#include "run/UnattendedRun.h"
#include "views/CRunGraph.h"
#include "views/TemplateLoader.h"

#include <QFont>
#include <array>
#include <functional>
#include <optional>

struct AppSettings;
class CColorEdit;
class CurrentDocument;
class QCheckBox;
class QLabel;
class QPushButton;
class RunEngine;

// The Run window: five channel panels (status, pass and step with their totals, current, voltage,
// elapsed time, the Run button, Last Load OFF and the live graph) and the run-wide buttons. It
// shows what the run engine reports and hands every button to it; the engine decides everything.
// One window lives as long as the main frame, so the panels keep what they showed between
// openings (the totals the Transfer dialog wrote under Hardware Control).
//
// It has no close box. Esc and every close request are refused while a run is active (the loads
// go on as their sequences say until Stop all or their Stop buttons end them); with no run active
// they end the window without copying the check boxes back.
class CRunDlg : public TemplateDialog, public RunObserver {
    Q_OBJECT
public:
    static constexpr const char* templateName = "Run.ui";

    // The controls of one channel's panel.
    struct Panel {
        QCheckBox* channel = nullptr;
        QPushButton* run = nullptr;
        QCheckBox* lastLoadOff = nullptr;
        CColorEdit* status = nullptr;
        QLabel* countLabel = nullptr;
        CColorEdit* count = nullptr;
        QLabel* countTotal = nullptr;
        QLabel* stepLabel = nullptr;
        CColorEdit* step = nullptr;
        QLabel* stepTotal = nullptr;
        QLabel* currentLabel = nullptr;
        CColorEdit* current = nullptr;
        QLabel* voltageLabel = nullptr;
        CColorEdit* voltage = nullptr;
        QLabel* elapsedLabel = nullptr;
        CColorEdit* elapsed = nullptr;
        CColorEdit* day = nullptr;
        QWidget* graphArea = nullptr;
    };
    struct Controls {
        std::array<Panel, kChannelCount> panels;
        QPushButton* runAll = nullptr;
        QPushButton* stopAll = nullptr;
        QPushButton* close = nullptr;
        // Held by the template, never shown.
        QLabel* powerLabel = nullptr;
        CColorEdit* power = nullptr;
        QLabel* sequenceLabel = nullptr;
        CColorEdit* sequence = nullptr;
        QLabel* sequenceTotal = nullptr;
        void bind(TemplateForm& form);
    };

    // The point sizes of the fields: status, the counters and readings, the hidden fields.
    static constexpr double kStatusPointSize = 22.0;
    static constexpr double kFieldPointSize = 14.0;
    static constexpr double kHiddenPointSize = 17.0;
    // The face of the fields: the resource string's face when the system has it, otherwise the
    // first of the substitutes that it has.
    static QString fieldFace(const QString& face);

    // What the window is given besides the template: the engine it shows, the settings, the current
    // document (the graphs' sequences), the timers of the graphs' cursors and the graphs' look, and
    // the save dialog that asks where readings go that their log folder could not take (given the
    // path that failed; an empty answer declines).
    struct Context {
        RunEngine& engine;
        AppSettings& settings;
        const CurrentDocument& document;
        TimerService& timers;
        CRunGraph::Look graphLook;
        std::function<QString(const QString& failedPath)> chooseLogFile;
    };

    CRunDlg(const TemplateLoader& loader, const Context& context, QWidget* parent = nullptr);
    ~CRunDlg() override;

    const Controls& controls() const { return controls_; }
    CRunGraph* graph(int channel) const { return graphs_[static_cast<size_t>(channel)]; }

    // Opening (every time the window is shown): the fonts, the Last Load OFF boxes from OutOffCh,
    // and the engine prepares the panels (check boxes from RunCh, monitoring, totals, caption).
    void prepare();
    // After "Close": the channel check boxes go into RunCh and the Last Load OFF boxes into
    // OutOffCh.
    void storeBoxes();

    // The program ends: the log's failures go to the standard error from now on and readings their
    // folder cannot take go to the first of rescueFolders that takes them; nothing is asked.
    void answerUnattended(const QStringList& rescueFolders) { unattended_.emplace(rescueFolders); }

    // "Close"; refused while a run is active (the button is disabled then).
    void accept() override;
    // Esc: refused while a run is active, otherwise the window ends without storing anything.
    void reject() override;

    // RunObserver
    void statusChanged(int channel, const QString& text, RunColor textColor, RunColor background) override;
    void statusTextChanged(int channel, const QString& text) override;
    void countChanged(int channel, const QString& text) override;
    void stepChanged(int channel, const QString& text) override;
    void currentChanged(int channel, const QString& text) override;
    void voltageChanged(int channel, const QString& text) override;
    void readingTaken(int channel, const RunReading& reading) override;
    void elapsedChanged(int channel, const QString& text) override;
    void dayChanged(int channel, const QString& text) override;
    void totalsChanged(int channel, const QString& countTotal, const QString& stepTotal) override;
    void panelEnabled(int channel, bool fields, bool current, bool voltage) override;
    void runButtonChanged(int channel, const QString& text, bool enabled) override;
    void channelCheckChanged(int channel, bool checked, bool enabled) override;
    void lastLoadOffVisible(bool visible) override;
    void runAllEnabled(bool enabled) override;
    void stopAllEnabled(bool enabled) override;
    void closeEnabled(bool enabled) override;
    void captionChanged(const QString& caption) override;
    void graphStarted(int channel) override;
    void graphStopped(int channel) override;
    bool graphPassDrawn(int channel) override;
    void resetGraphPass(int channel) override;
    void logFinished(const QString& path, bool ok) override;
    void logNotCreated(const QString& path, const QString& reason) override;
    void logWriteFailed(const QString& path, const QString& reason) override;
    QString logRescuePath(const QString& path, const QString& reason) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setFieldFonts();
    void fitFields();

    RunEngine& engine_;
    AppSettings& settings_;
    const CurrentDocument& document_;
    Controls controls_;
    std::array<CRunGraph*, kChannelCount> graphs_{};
    std::function<QString(const QString&)> chooseLogFile_;
    // Readings are being written to a place the user chose after their folder failed.
    bool rescuing_ = false;
    std::optional<UnattendedRun> unattended_;
};
