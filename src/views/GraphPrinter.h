#pragma once

#include <QString>
#include <functional>
#include <memory>

class ChannelPlot;
class QDialog;
class QFont;
class QPainter;
struct PlotColours;
class QPrinter;
class QRect;
class QWidget;

// Print, Print Preview and Print Setup of the graph: one printer kept between the commands, so that
// what Print Setup chose holds for the next printout. The page itself is painted by the view.
class GraphPrinter {
public:
    // Paints one page into a painter on the printer; the rectangle is the printable area in the
    // painter's coordinates.
    using PagePainter = std::function<void(QPainter& painter, const QRect& page)>;
    // Runs a modal dialog and returns its result code.
    using DialogRunner = std::function<int(QDialog& dialog)>;

    explicit GraphPrinter(DialogRunner runDialog);
    ~GraphPrinter();

    QPrinter& printer() { return *printer_; }

    // The page set-up dialog (paper, orientation, margins); the print dialog without printing when
    // there is no system printer, under the given title.
    void setup(QWidget* parent, const QString& title);
    enum class Result { Printed, Cancelled, Failed };
    // The print dialog, then the page.
    Result print(QWidget* parent, const PagePainter& paintPage);
    // The print preview, which paints the page as often as it needs it.
    void preview(QWidget* parent, const PagePainter& paintPage);
    // Paints the page into the printer as it stands.
    bool printPage(const PagePainter& paintPage);

    // A page: the title centred on top, below it the plot laid out on a canvas of the given width
    // (in screen pixels) and of the page's shape, scaled to fill the rest of the page, without
    // selection marks.
    static void paintGraphPage(QPainter& painter, const QRect& page, const QString& title,
                               const ChannelPlot& plot, const PlotColours& colours, const QFont& labelFont,
                               bool boundaryLines, int canvasWidth);

private:
    DialogRunner runDialog_;
    std::unique_ptr<QPrinter> printer_;
};
