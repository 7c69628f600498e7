#pragma once

#include "model/StepImport.h"
#include "views/TemplateLoader.h"

class CDecimalEdit;
class QLabel;
class QPushButton;
class QTreeWidget;

// The change report shown before steps from the clipboard or a CSV file are inserted: where they go,
// every row that is changed or refused with its line, and, when the columns have no interval, the
// field for the interval of every step (the report follows what is typed there). Insert goes on with
// the steps the report shows; Cancel inserts nothing.
class CImportReportDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "ImportReport.ui";

    struct Controls {
        QLabel* source = nullptr;
        QLabel* summary = nullptr;
        QLabel* intervalLabel = nullptr;
        CDecimalEdit* interval = nullptr;
        QLabel* intervalUnit = nullptr;
        QTreeWidget* findings = nullptr;
        QLabel* counts = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };
    enum FindingColumn { LineColumn, ChannelColumn, SeverityColumn, TextColumn };

    // sourceName: the file's name, or empty for the clipboard.
    CImportReportDlg(const TemplateLoader& loader, StepColumns columns, const AppSettings& settings,
                     const StepImport::Target& target, const QString& sourceName, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // The plan the report shows, with the interval typed so far.
    const StepImport::Plan& plan() const { return plan_; }

private:
    void replan();
    void showPlan();

    Controls controls_;
    StepColumns columns_;
    const AppSettings& settings_;
    StepImport::Target target_;
    StepImport::Plan plan_;
};
