#include "views/CLogViewer.h"

#include "plot/LogPlotImage.h"
#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"
#include "views/CLogPlot.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The string table's texts of the window.
constexpr int kTitle = 889;
constexpr int kExportImageTitle = 892;
constexpr int kPngFilter = 893;
constexpr int kSvgFilter = 894;
constexpr int kExportSummaryTitle = 895;
constexpr int kCsvFilter = 896;
constexpr int kWriteFailed = 897;
constexpr int kPrintFailed = 898;

// The printout lays the plot out on a canvas this wide, scaled to the page.
constexpr int kPageCanvasWidth = 1600;

using Axis = LogPlotViewport::Axis;

} // namespace

void CLogViewer::Controls::bind(TemplateForm& form)
{
    form.bind(fitAll, "buttonFitAll");
    form.bind(exportImage, "buttonExportImage");
    form.bind(exportSummary, "buttonExportSummary");
    form.bind(print, "buttonPrint");
    for (int c = 0; c < LogData::kChannels; ++c) {
        const QByteArray number = QByteArray::number(c + 1);
        form.bind(currents[static_cast<size_t>(c)], QByteArray("checkCurrent" + number).constData());
        form.bind(voltages[static_cast<size_t>(c)], QByteArray("checkVoltage" + number).constData());
    }
    form.bind(plotArea, "plotArea");
    form.bind(summary, "tableSummary");
    form.bind(currentsLabel, "labelCurrents");
    form.bind(voltagesLabel, "labelVoltages");
}

CLogViewer::CLogViewer(const Context& context, LogData data, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), data_(std::move(data)),
      figures_(LogFigures::summarize(data_)),
      form_(context.templates.load(QLatin1String(templateName), this)),
      printer_(std::make_unique<GraphPrinter>(context.runDialog))
{
    setAttribute(Qt::WA_DeleteOnClose);
    controls_.bind(form_);
    const ResourceModule& module = context_.templates.module();
    QString name = QFileInfo(data_.files.value(0)).fileName();
    if (data_.files.size() > 1)
        name += QStringLiteral(" … ") + QFileInfo(data_.files.last()).fileName();
    setWindowTitle(module.string(kTitle).arg(name));

    plot_ = new CLogPlot(data_, figures_, LogPlotTexts::fromModule(module), controls_.plotArea);
    auto* layout = new QVBoxLayout(controls_.plotArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);

    connect(controls_.fitAll, &QPushButton::clicked, plot_, &CLogPlot::fitAll);
    connect(controls_.exportImage, &QPushButton::clicked, this, &CLogViewer::askExportImage);
    connect(controls_.exportSummary, &QPushButton::clicked, this, &CLogViewer::askExportSummary);
    connect(controls_.print, &QPushButton::clicked, this, &CLogViewer::print);
    fillLegend();
    fillSummary();
    resize(1100, 760);
}

CLogViewer::~CLogViewer() = default;

void CLogViewer::fillLegend()
{
    for (int c = 0; c < LogData::kChannels; ++c) {
        const LogData::Channel& column = data_.channels[static_cast<size_t>(c)];
        const QColor colour = LogPlotPainter::channelColour(c + 1);
        for (Axis axis : {Axis::Current, Axis::Voltage}) {
            QCheckBox* box =
                (axis == Axis::Current ? controls_.currents : controls_.voltages)[static_cast<size_t>(c)];
            // A curve the log does not hold has no box.
            box->setVisible(axis == Axis::Current ? !column.current.empty() : !column.voltage.empty());
            box->setChecked(true);
            box->setStyleSheet(QStringLiteral("QCheckBox { color: %1; }").arg(colour.name()));
            connect(box, &QCheckBox::toggled, this,
                    [this, c, axis](bool shown) { plot_->setCurveShown(c, axis, shown); });
        }
    }
}

void CLogViewer::fillSummary()
{
    QTableWidget* table = controls_.summary;
    const QStringList headers = LogFigures::headers(context_.templates.module());
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(static_cast<int>(figures_.size()));
    table->verticalHeader()->hide();
    for (size_t row = 0; row < figures_.size(); ++row) {
        const QStringList texts = LogFigures::rowTexts(figures_[row]);
        for (qsizetype column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (column == 0)
                item->setForeground(LogPlotPainter::channelColour(figures_[row].channel));
            table->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    table->resizeColumnsToContents();
    const int rows = std::max<int>(1, static_cast<int>(figures_.size()));
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                            rows * table->verticalHeader()->defaultSectionSize() + 6);
    table->setMaximumHeight(table->minimumHeight() + 8);
}

QString CLogViewer::proposedName(const QString& suffix) const
{
    const QFileInfo first(data_.files.value(0));
    return first.dir().filePath(first.completeBaseName() + QLatin1Char('.') + suffix);
}

void CLogViewer::exportImageTo(const QString& path, const QSize& size)
{
    LogPlotViewport view = plot_->viewport();
    LogPlotPainter::Scene scene = plot_->scene(view);
    scene.antialias = true;
    QString reason;
    if (!LogPlotImage::write(path, size, scene, LogPlotTexts::fromModule(context_.templates.module()),
                             reason))
        context_.templates.prompt().showMessage(
            context_.templates.module().string(kWriteFailed).arg(path, reason));
}

void CLogViewer::exportSummaryTo(const QString& path)
{
    QSaveFile file(path);
    const QByteArray text = LogFigures::csv(figures_, context_.templates.module()).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        context_.templates.prompt().showMessage(
            context_.templates.module().string(kWriteFailed).arg(path, file.errorString()));
}

void CLogViewer::askExportImage()
{
    CExportImageDlg dialog(context_.templates, QSize(1600, 900), this);
    if (context_.runDialog(dialog) != QDialog::Accepted)
        return;
    const ResourceModule& module = context_.templates.module();
    const QString path = context_.saveFileName(this, module.string(kExportImageTitle),
                                               {module.string(kPngFilter), module.string(kSvgFilter)},
                                               proposedName(QStringLiteral("png")));
    if (!path.isEmpty())
        exportImageTo(path, dialog.chosenSize());
}

void CLogViewer::askExportSummary()
{
    const ResourceModule& module = context_.templates.module();
    const QString path =
        context_.saveFileName(this, module.string(kExportSummaryTitle), {module.string(kCsvFilter)},
                              proposedName(QStringLiteral("csv")));
    if (!path.isEmpty())
        exportSummaryTo(path);
}

void CLogViewer::paintPage(QPainter& painter, const QRect& page) const
{
    if (page.width() <= 0 || page.height() <= 0)
        return;
    const double scale = page.width() / double(kPageCanvasWidth);
    const QSize canvas(kPageCanvasWidth, std::max(1, int(page.height() / scale)));
    LogPlotViewport view = plot_->viewport();
    LogPlotPainter::Scene scene = plot_->scene(view);
    scene.antialias = true;
    painter.save();
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    LogPlotPainter::paint(painter, QRectF(QPointF(0, 0), QSizeF(canvas)), LogPlotImage::plotFont(canvas),
                          scene, LogPlotTexts::fromModule(context_.templates.module()));
    painter.restore();
}

void CLogViewer::print()
{
    const GraphPrinter::Result result =
        printer_->print(this, [this](QPainter& painter, const QRect& page) { paintPage(painter, page); });
    if (result == GraphPrinter::Result::Failed)
        context_.templates.prompt().showMessage(context_.templates.module().string(kPrintFailed));
}
