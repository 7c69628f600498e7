#pragma once

#include "plot/LogPlotPainter.h"

#include <QSize>
#include <QString>

// A log plot written to a file at a chosen size, drawn as the viewer draws it: PNG or SVG (by the
// file's suffix). Needs a QGuiApplication (fonts), not widgets: tessorctl draws its images with it
// on the offscreen platform.
namespace LogPlotImage {

enum class Format { Png, Svg };
// The format of a file name by its suffix (.svg, anything else PNG).
Format formatOf(const QString& path);
// Writes the image; false with the system's reason when the file cannot be written.
bool write(const QString& path, const QSize& size, const LogPlotPainter::Scene& scene,
           const LogPlotTexts& texts, QString& reason);
// The font of the images (and of the viewer's plot): the application's, at a size that suits the
// image's height.
QFont plotFont(const QSize& size);

} // namespace LogPlotImage
