#pragma once

#include "run/LogData.h"
#include "run/LogFigures.h"
#include "views/CExportImageDlg.h"
#include "views/GraphPrinter.h"
#include "views/TemplateLoader.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class CLogPlot;
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// One window per log (template LogViewer.ui): the plot of every channel's current and voltage
// (CLogPlot), check boxes that show or hide each curve, the summary table of the channels'
// figures, and the commands Fit All, Export Image (PNG or SVG at a chosen size), Export Summary
// (CSV) and Print. It only shows the log and routes the commands: reading and figures are
// LogFileReader's and LogFigures'.
class CLogViewer : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* templateName = "LogViewer.ui";

    struct Controls {
        QPushButton* fitAll = nullptr;
        QPushButton* exportImage = nullptr;
        QPushButton* exportSummary = nullptr;
        QPushButton* print = nullptr;
        std::array<QCheckBox*, LogData::kChannels> currents{};
        std::array<QCheckBox*, LogData::kChannels> voltages{};
        QWidget* plotArea = nullptr;
        QTableWidget* summary = nullptr;
        QLabel* currentsLabel = nullptr;
        QLabel* voltagesLabel = nullptr;
        void bind(TemplateForm& form);
    };

    // What the window needs besides its log: the templates (with the string table and the prompt),
    // the save-file dialog and a runner of modal dialogs (the printer's, the image size).
    struct Context {
        const TemplateLoader& templates;
        // title, filters ("PNG Image (*.png)"), proposed file name; the chosen path or empty.
        std::function<QString(QWidget* parent, const QString& title, const QStringList& filters,
                              const QString& proposed)>
            saveFileName;
        GraphPrinter::DialogRunner runDialog;
    };

    CLogViewer(const Context& context, LogData data, QWidget* parent = nullptr);
    ~CLogViewer() override;

    const Controls& controls() const { return controls_; }
    CLogPlot& plot() const { return *plot_; }
    const LogData& data() const { return data_; }
    const std::vector<LogFigures::Channel>& figures() const { return figures_; }
    bool isComplete() const { return form_.isComplete(); }

    // The commands; the export ones write to the path without asking and say when that failed.
    void exportImageTo(const QString& path, const QSize& size);
    void exportSummaryTo(const QString& path);
    void askExportImage();
    void askExportSummary();
    void print();
    // The page of the printout: the plot as the window shows it, scaled to the page.
    void paintPage(QPainter& painter, const QRect& page) const;

private:
    void fillSummary();
    void fillLegend();
    QString proposedName(const QString& suffix) const;

    Context context_;
    LogData data_;
    std::vector<LogFigures::Channel> figures_;
    TemplateForm form_;
    Controls controls_;
    CLogPlot* plot_ = nullptr;
    std::unique_ptr<GraphPrinter> printer_;
};
