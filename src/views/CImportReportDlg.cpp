#include "views/CImportReportDlg.h"

#include "model/AppSettings.h"
#include "model/StepImportReport.h"
#include "model/StepWords.h"
#include "ui/ResourceModule.h"
#include "views/CDecimalEdit.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

// String-table texts of the report.
enum Text {
    TabColumnsText = 800,
    SemicolonColumnsText = 801,
    CommaColumnsText = 802,
    OneColumnText = 803,
    FromClipboardText = 804,
    FromFileText = 805,
    RefusedText = 806,
    ChangedText = 807,
    NoteText = 808,
};

int columnsText(QChar separator)
{
    if (separator == QLatin1Char('\t'))
        return TabColumnsText;
    if (separator == QLatin1Char(';'))
        return SemicolonColumnsText;
    if (separator == QLatin1Char(','))
        return CommaColumnsText;
    return OneColumnText;
}

int severityText(StepImport::Severity severity)
{
    switch (severity) {
    case StepImport::Severity::Refused:
        return RefusedText;
    case StepImport::Severity::Changed:
        return ChangedText;
    default:
        return NoteText;
    }
}

} // namespace

void CImportReportDlg::Controls::bind(TemplateForm& form)
{
    form.bind(source, "labelSource");
    form.bind(summary, "labelSummary");
    form.bind(intervalLabel, "labelInterval");
    form.bind(interval, "editInterval");
    form.bind(intervalUnit, "labelIntervalUnit");
    form.bind(findings, "listFindings");
    form.bind(counts, "labelCounts");
    form.bindOkCancel(ok, cancel);
}

CImportReportDlg::CImportReportDlg(const TemplateLoader& loader, StepColumns columns,
                                   const AppSettings& settings, const StepImport::Target& target,
                                   const QString& sourceName, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), columns_(std::move(columns)),
      settings_(settings), target_(target)
{
    controls_.bind(form());
    connectOkCancel(controls_.ok, controls_.cancel);
    const ResourceModule& strings = loader.module();
    const QString layout = strings.string(columnsText(columns_.table().separator()));
    controls_.source->setText(sourceName.isEmpty() ? strings.string(FromClipboardText).arg(layout)
                                                   : strings.string(FromFileText).arg(sourceName, layout));
    controls_.intervalUnit->setText(StepWords::timeUnitText(settings.Unit, settings.SeqMode));
    controls_.findings->header()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    connect(controls_.interval, &QLineEdit::textChanged, this, &CImportReportDlg::replan);

    target_.interval.reset();
    plan_ = StepImport::plan(columns_, settings_, target_);
    // The field shows only for columns without an interval; the report then asks for one.
    const bool asksInterval = plan_.needsInterval;
    for (QWidget* widget :
         {static_cast<QWidget*>(controls_.intervalLabel), static_cast<QWidget*>(controls_.interval),
          static_cast<QWidget*>(controls_.intervalUnit)})
        widget->setVisible(asksInterval);
    controls_.findings->setColumnHidden(ChannelColumn, columns_.groups().size() < 2);
    showPlan();
    if (asksInterval)
        controls_.interval->setFocus();
}

void CImportReportDlg::replan()
{
    const QString text = controls_.interval->text().trimmed();
    bool ok = false;
    const double interval = text.toDouble(&ok);
    if (ok)
        target_.interval = interval;
    else
        target_.interval.reset();
    plan_ = StepImport::plan(columns_, settings_, target_);
    showPlan();
}

void CImportReportDlg::showPlan()
{
    const ResourceModule& strings = loader().module();
    controls_.summary->setText(StepImportReport::summary(plan_, strings).join(QLatin1Char('\n')));
    controls_.summary->setVisible(!plan_.insertions.empty());
    QTreeWidget* list = controls_.findings;
    list->setUpdatesEnabled(false);
    list->clear();
    QList<QTreeWidgetItem*> items;
    for (const StepImport::Entry& entry : plan_.entries) {
        auto* item = new QTreeWidgetItem;
        item->setText(LineColumn, StepImportReport::lineNumbers(entry, strings));
        item->setText(ChannelColumn, StepImportReport::channelText(entry, strings));
        item->setText(SeverityColumn, strings.string(severityText(entry.severity())));
        item->setText(TextColumn, StepImportReport::findingText(entry, strings));
        item->setToolTip(TextColumn, item->text(TextColumn));
        items << item;
    }
    list->addTopLevelItems(items);
    for (int column : {LineColumn, ChannelColumn, SeverityColumn})
        list->resizeColumnToContents(column);
    list->setUpdatesEnabled(true);
    controls_.counts->setText(StepImportReport::counts(plan_, strings));
    controls_.ok->setEnabled(plan_.stepCount() > 0 && !plan_.needsInterval);
}
