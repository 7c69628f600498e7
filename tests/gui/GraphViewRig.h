#pragma once

#include "FakeTime.h"
#include "RecordingPrompt.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/ProfileStore.h"
#include "ui/ResourceModule.h"
#include "views/CGraphView.h"
#include "views/SequenceViewLink.h"
#include "views/ShellResources.h"
#include "views/TemplateLoader.h"
#include "views/ViewContext.h"

#include <QDialog>
#include <QPoint>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

// What the graph told the worksheet, one text per call ("refreshLine 0 2").
class RecordingWorksheet : public WorksheetLink {
public:
    void refreshLine(int channel, int line) override
    {
        calls << QStringLiteral("refreshLine %1 %2").arg(channel).arg(line);
    }
    void refreshTimesFrom(int channel, int line) override
    {
        calls << QStringLiteral("refreshTimesFrom %1 %2").arg(channel).arg(line);
    }
    void refreshLinesFrom(int channel, int line) override
    {
        calls << QStringLiteral("refreshLinesFrom %1 %2").arg(channel).arg(line);
    }
    void refreshTitle() override { calls << QStringLiteral("refreshTitle"); }
    void restoreCursor() override { calls << QStringLiteral("restoreCursor"); }

    QStringList calls;
};

// A graph view on its own with everything it is given: settings, a recording prompt, fake timers,
// the resource module, a profile in a scratch folder, a document and a recording worksheet. The
// view is 440 x 340 pixels, so its plot runs from (40, 40) to (400, 300).
struct GraphViewRig {
    QTemporaryDir folder;
    AppSettings settings;
    RecordingPrompt prompt;
    FakeTime time;
    ResourceModule module;
    ShellResources resources;
    std::unique_ptr<TemplateLoader> templates;
    std::unique_ptr<ProfileStore> profile;
    std::unique_ptr<CMainDoc> document;
    RecordingWorksheet worksheet;
    std::vector<std::pair<int, QPoint>> contextMenus;
    int statesChanged = 0;
    // Answers the view's modal dialogs; rejects them when unset.
    std::function<int(QDialog&)> onDialog;
    std::unique_ptr<ViewContext> context;
    std::unique_ptr<CGraphView> view;

    GraphViewRig();
    ~GraphViewRig();

    QString profilePath() const { return folder.filePath(QStringLiteral("Tessor.ini")); }
    void writeProfile(const QString& key, const QVariant& value) const;
    QVariant readProfile(const QString& key) const;
    // Fixed ranges 0..10 s and 0..8, so that pixels are known: 36 pixels a second, 32.5 a unit.
    void fixRanges() const;

    // A step of the current channel: value, interval and transition texts; times are recomputed.
    void addStep(const QString& value, const QString& interval,
                 const QString& transition = QStringLiteral("0"));
    // Step to 4 until 2 s, ramp to 7 until 5 s, step to 2 until 8.5 s.
    void addThreeSteps();

    // Creates and shows the view (reading the profile), wired to the worksheet stand-in.
    CGraphView& show();
    // Destroys the view, which writes its settings.
    void close() { view.reset(); }

    // Mouse input at exact pixels.
    void press(const QPoint& point);
    void move(const QPoint& point);
    void release(const QPoint& point);
    void drag(const QPoint& from, const QPoint& to);
    void doubleClick(const QPoint& point);
};
