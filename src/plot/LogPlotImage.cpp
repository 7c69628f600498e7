#include "plot/LogPlotImage.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>

namespace LogPlotImage {

Format formatOf(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0 ? Format::Svg
                                                                                            : Format::Png;
}

QFont plotFont(const QSize& size)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(std::clamp(size.height() / 60, 11, 28));
    return font;
}

bool write(const QString& path, const QSize& size, const LogPlotPainter::Scene& scene,
           const LogPlotTexts& texts, QString& reason)
{
    const QRectF area(QPointF(0, 0), QSizeF(size));
    const QFont font = plotFont(size);
    // Written beside the file and renamed over it, so an old image survives a failed write.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
        return false;
    }
    if (formatOf(path) == Format::Svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(area);
        generator.setTitle(QFileInfo(scene.data.files.value(0)).fileName());
        QPainter painter;
        if (!painter.begin(&generator)) {
            reason = file.errorString();
            file.cancelWriting();
            return false;
        }
        LogPlotPainter::paint(painter, area, font, scene, texts);
        painter.end();
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            LogPlotPainter::paint(painter, area, font, scene, texts);
        }
        QImageWriter writer(&file, "png");
        if (!writer.write(image)) {
            reason = writer.errorString();
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace LogPlotImage
