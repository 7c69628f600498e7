#pragma once

#include "plot/LogPlotViewport.h"
#include "run/LogData.h"
#include "run/TraceDecimator.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <optional>

class QPainter;
class ResourceModule;

// The texts of a log plot: axis titles, legend entries and the cursor's lines.
struct LogPlotTexts {
    QString timeTitle = QStringLiteral("Time [s]");
    QString timeTitleHms = QStringLiteral("Time [h:m:s]");
    QString currentTitle = QStringLiteral("Current [A]");
    QString voltageTitle = QStringLiteral("Voltage [V]");
    QString currentEntry = QStringLiteral("Ch%1 [A]"); // %1 the channel
    QString voltageEntry = QStringLiteral("Ch%1 [V]");
    QString noReadings = QStringLiteral("No readings");
    static LogPlotTexts fromModule(const ResourceModule& module);
};

// The block extremes of every curve of a log (TraceDecimator::Blocks), made once by a window that
// redraws the log often.
struct LogCurveBlocks {
    std::array<TraceDecimator::Blocks, LogData::kChannels> current;
    std::array<TraceDecimator::Blocks, LogData::kChannels> voltage;
    static LogCurveBlocks of(const LogData& data);
};

// Draws a log as the viewer shows it, into any painter (the window, a PNG or SVG file, a printed
// page, tessorctl's image without a display): a grid, the time axis below, current on the left
// axis and voltage on the right with their tick labels, one colour per channel (current solid,
// voltage dashed), a legend of the shown curves and, when asked, the reading cursor with every
// shown curve's value at its time. Long curves are drawn through TraceDecimator, so the work
// follows the width of the plot, not the length of the log.
class LogPlotPainter {
public:
    struct Scene {
        const LogData& data;
        LogPlotViewport& view; // its plot rectangle is laid out by paint()
        CurveVisibility shown;
        std::optional<double> cursor; // time of the reading cursor
        bool legend = true;
        bool antialias = false;
        const LogCurveBlocks* blocks = nullptr; // speeds up wide views of long logs
    };

    // The channel's colour (1..5).
    static QColor channelColour(int channel);
    // The plot rectangle inside an area: room for the tick labels and titles of the three axes.
    static QRectF plotRectFor(const QRectF& area, const QFont& font);
    static void paint(QPainter& painter, const QRectF& area, const QFont& font, const Scene& scene,
                      const LogPlotTexts& texts);
    // The cursor's lines: the time, then "ChN: value unit" for every shown curve that has a reading
    // at that time.
    static QStringList cursorLines(const Scene& scene, double seconds, const LogPlotTexts& texts);
};
