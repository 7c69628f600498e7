#include "views/GraphPrinter.h"

#include "views/ChannelPlot.h"
#include "views/PlotPainter.h"

#include <QDialogButtonBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>

GraphPrinter::GraphPrinter(DialogRunner runDialog)
    : runDialog_(std::move(runDialog)), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    printer_->setPageOrientation(QPageLayout::Landscape);
}

GraphPrinter::~GraphPrinter() = default;

void GraphPrinter::setup(QWidget* parent, const QString& title)
{
    // Without a printer of the system (printing to a PDF file) the page set-up has nothing to set
    // up; the print dialog then chooses the printer and its page without printing.
    if (printer_->outputFormat() == QPrinter::NativeFormat) {
        QPageSetupDialog dialog(printer_.get(), parent);
        runDialog_(dialog);
        return;
    }
    QPrintDialog dialog(printer_.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setWindowTitle(title);
    // The dialog only chooses here: its button says so.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    }
    runDialog_(dialog);
}

GraphPrinter::Result GraphPrinter::print(QWidget* parent, const PagePainter& paintPage)
{
    QPrintDialog dialog(printer_.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (runDialog_(dialog) != QDialog::Accepted)
        return Result::Cancelled;
    return printPage(paintPage) ? Result::Printed : Result::Failed;
}

void GraphPrinter::preview(QWidget* parent, const PagePainter& paintPage)
{
    QPrintPreviewDialog dialog(printer_.get(), parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paintPage](QPrinter* printer) {
        QPainter painter;
        if (!painter.begin(printer))
            return;
        const QRect area = printer->pageLayout().paintRectPixels(printer->resolution());
        paintPage(painter, QRect(QPoint(0, 0), area.size()));
    });
    runDialog_(dialog);
}

bool GraphPrinter::printPage(const PagePainter& paintPage)
{
    QPainter painter;
    if (!painter.begin(printer_.get()))
        return false;
    const QRect paintRect = printer_->pageLayout().paintRectPixels(printer_->resolution());
    paintPage(painter, QRect(QPoint(0, 0), paintRect.size()));
    return painter.end();
}

void GraphPrinter::paintGraphPage(QPainter& painter, const QRect& page, const QString& title,
                                  const ChannelPlot& plot, const PlotColours& colours, const QFont& labelFont,
                                  bool boundaryLines, int canvasWidth)
{
    painter.save();
    QFont titleFont = labelFont;
    titleFont.setPointSize(12);
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    const int titleHeight = QFontMetrics(titleFont, painter.device()).height() * 2;
    painter.drawText(QRect(page.left(), page.top(), page.width(), titleHeight),
                     Qt::AlignHCenter | Qt::AlignTop, title);

    // The canvas has the shape of the rest of the page, so that the plot fills it.
    const QRect area = page.adjusted(0, titleHeight, 0, 0);
    if (area.width() <= 0 || area.height() <= 0 || canvasWidth <= 0) {
        painter.restore();
        return;
    }
    const double scale = area.width() / double(canvasWidth);
    const QSize canvas(canvasWidth, std::max(1, int(area.height() / scale)));
    ChannelPlot laidOut = plot;
    laidOut.setPlotArea(QRect(QPoint(0, 0), canvas), plot.startLevel());
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    // The labels keep their size relative to the plot: as many canvas pixels as on the screen.
    QFont font = labelFont;
    font.setPixelSize(QFontInfo(labelFont).pixelSize());
    PlotPainter::Options options;
    options.boundaryLines = boundaryLines;
    PlotPainter(painter, colours).paint(laidOut, font, options);
    painter.restore();
}
