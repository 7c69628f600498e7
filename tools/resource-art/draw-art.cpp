// Draws the pictures of the resource module (toolbar strip, control-bar button, About picture,
// window and document icons) into PNG files. Run by scripts/draw-art; the PNGs are committed, so
// the build never runs this program.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor kInk(0x3c, 0x44, 0x50);
const QColor kBlue(0x2f, 0x6d, 0xb5);
const QColor kLightBlue(0x9c, 0xc3, 0xea);
const QColor kGreen(0x2e, 0x9a, 0x48);
const QColor kRed(0xc8, 0x3a, 0x2e);
const QColor kAmber(0xe8, 0xb0, 0x3a);
const QColor kDarkAmber(0xb0, 0x7c, 0x18);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kGrey(0x8a, 0x94, 0xa0);

using Glyph = std::function<void(QPainter&)>;

QPen pen(const QColor& colour, double width = 1.0)
{
    QPen p(colour, width);
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    return p;
}

void page(QPainter& p, double x, double y, double w, double h)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - 4, y);
    path.lineTo(x + w, y + 4);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(x + w - 4, y), QPointF(x + w - 4, y + 4), QPointF(x + w, y + 4)}));
}

void newGlyph(QPainter& p)
{
    page(p, 6.5, 0.5, 11, 15);
    p.setPen(pen(kLightBlue));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(8.5, 7.5 + 2.5 * i), QPointF(15.5, 7.5 + 2.5 * i));
}

void openGlyph(QPainter& p)
{
    p.setPen(pen(kDarkAmber));
    p.setBrush(kAmber.darker(110));
    QPainterPath back;
    back.moveTo(3.5, 3.5);
    back.lineTo(8.5, 3.5);
    back.lineTo(10.5, 5.5);
    back.lineTo(18.5, 5.5);
    back.lineTo(18.5, 13.5);
    back.lineTo(3.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kAmber);
    QPainterPath front;
    front.moveTo(3.5, 13.5);
    front.lineTo(6.5, 8.0);
    front.lineTo(21.5, 8.0);
    front.lineTo(18.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

void saveGlyph(QPainter& p)
{
    p.setPen(pen(kBlue.darker(140)));
    p.setBrush(kBlue);
    QPainterPath body;
    body.moveTo(5.5, 1.5);
    body.lineTo(16.5, 1.5);
    body.lineTo(18.5, 3.5);
    body.lineTo(18.5, 14.5);
    body.lineTo(5.5, 14.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7.5, 2.0, 8, 5));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(8, 10, 8, 4));
    p.setBrush(kBlue.darker(140));
    p.drawRect(QRectF(13, 3, 2, 3));
}

void scaleGlyph(QPainter& p)
{
    p.setPen(pen(kInk, 1.2));
    p.drawLine(QPointF(5.5, 1.5), QPointF(5.5, 13.5));
    p.drawLine(QPointF(5.5, 13.5), QPointF(20.5, 13.5));
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({QPointF(5.5, 0.5), QPointF(3.5, 3.5), QPointF(7.5, 3.5)}));
    p.drawPolygon(QPolygonF({QPointF(21.5, 13.5), QPointF(18.5, 11.5), QPointF(18.5, 15.5)}));
    p.setPen(pen(kInk));
    for (int i = 1; i <= 3; ++i) {
        p.drawLine(QPointF(5.5 + 3.5 * i, 13.5), QPointF(5.5 + 3.5 * i, 15.0));
        p.drawLine(QPointF(4.0, 13.5 - 3 * i), QPointF(5.5, 13.5 - 3 * i));
    }
    p.setPen(pen(kBlue, 1.5));
    p.drawPolyline(
        QPolygonF({QPointF(7, 11), QPointF(10, 11), QPointF(10, 6), QPointF(14, 6), QPointF(18, 9)}));
}

void verticalLinesGlyph(QPainter& p)
{
    QPen dashed = pen(kGrey);
    dashed.setDashPattern({1.5, 1.5});
    dashed.setCapStyle(Qt::FlatCap);
    p.setPen(dashed);
    for (double x : {8.5, 12.5, 16.5})
        p.drawLine(QPointF(x, 1), QPointF(x, 13));
    p.setPen(pen(kInk, 1.2));
    p.drawLine(QPointF(4.5, 13.5), QPointF(20.5, 13.5));
    p.setPen(pen(kBlue, 1.5));
    p.drawPolyline(
        QPolygonF({QPointF(4.5, 10), QPointF(8.5, 10), QPointF(8.5, 4), QPointF(16.5, 7), QPointF(20, 7)}));
}

void deleteGlyph(QPainter& p)
{
    p.setPen(pen(kRed, 2.4));
    p.drawLine(QPointF(7.5, 3.5), QPointF(16.5, 12.5));
    p.drawLine(QPointF(16.5, 3.5), QPointF(7.5, 12.5));
}

void copyGlyph(QPainter& p)
{
    page(p, 4.5, 0.5, 9, 11);
    page(p, 10.5, 4.5, 9, 11);
    p.setPen(pen(kLightBlue));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(12.5, 9.0 + 2 * i), QPointF(17.5, 9.0 + 2 * i));
}

void pasteGlyph(QPainter& p)
{
    p.setPen(pen(kDarkAmber));
    p.setBrush(kAmber);
    p.drawRoundedRect(QRectF(4.5, 2.5, 11, 13), 1.5, 1.5);
    p.setPen(pen(kInk));
    p.setBrush(kGrey);
    p.drawRoundedRect(QRectF(7.5, 0.5, 5, 3), 1, 1);
    page(p, 11.5, 5.5, 8, 10);
}

void undoGlyph(QPainter& p)
{
    p.setPen(pen(kBlue, 2.0));
    QPainterPath arc;
    arc.moveTo(8, 6);
    arc.cubicTo(QPointF(16, 6), QPointF(19, 9), QPointF(18, 14));
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(3.5, 6), QPointF(9, 1.5), QPointF(9, 10.5)}));
}

void transferGlyph(QPainter& p)
{
    // A PC screen on the left, the load on the right, arrows both ways between them.
    p.setPen(pen(kInk));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(0.5, 3.5, 7, 6));
    p.drawLine(QPointF(4, 9.5), QPointF(4, 11.5));
    p.drawLine(QPointF(2, 11.5), QPointF(6, 11.5));
    p.setBrush(QColor(0xdd, 0xe2, 0xe8));
    p.drawRect(QRectF(16.5, 3.5, 7, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawRect(QRectF(18, 5, 4, 2));
    p.setPen(pen(kGreen, 1.4));
    p.drawLine(QPointF(9, 5.5), QPointF(14, 5.5));
    p.drawLine(QPointF(12, 3.5), QPointF(14, 5.5));
    p.setPen(pen(kBlue, 1.4));
    p.drawLine(QPointF(10, 10.5), QPointF(15, 10.5));
    p.drawLine(QPointF(10, 10.5), QPointF(12, 12.5));
}

void runGlyph(QPainter& p)
{
    p.setPen(pen(kGreen.darker(130)));
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF({QPointF(7.5, 1.5), QPointF(18.5, 8), QPointF(7.5, 14.5)}));
}

void modeGlyph(QPainter& p)
{
    // Three sliders: the settings that shape a sequence.
    p.setPen(pen(kInk, 1.2));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(4.5, 3.5 + 4.5 * i), QPointF(19.5, 3.5 + 4.5 * i));
    p.setPen(pen(kBlue.darker(140)));
    p.setBrush(kBlue);
    const double knobs[] = {14, 8, 16};
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(knobs[i] - 2, 1.5 + 4.5 * i, 4, 4), 1, 1);
}

void monitorGlyph(QPainter& p)
{
    p.setPen(pen(kInk));
    p.setBrush(QColor(0x1e, 0x2a, 0x36));
    p.drawRoundedRect(QRectF(3.5, 1.5, 17, 13), 1.5, 1.5);
    p.setPen(pen(QColor(0x5c, 0xd6, 0x6f), 1.2));
    p.drawPolyline(QPolygonF({QPointF(5, 10), QPointF(8, 10), QPointF(10, 5), QPointF(12, 11), QPointF(14, 7),
                              QPointF(16, 8), QPointF(19, 8)}));
}

Glyph channelGlyph(int number)
{
    return [number](QPainter& p) {
        p.setPen(pen(kBlue.darker(140)));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(5.5, 0.5, 13, 15), 2.5, 2.5);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kPaper);
        p.drawText(QRectF(5.5, 0.5, 13, 15), Qt::AlignCenter, QString::number(number));
    };
}

void aboutGlyph(QPainter& p)
{
    p.setPen(pen(kBlue.darker(140)));
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(4.5, 0.5, 15, 15));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kPaper);
    p.drawText(QRectF(4.5, 0.5, 15, 15), Qt::AlignCenter, QStringLiteral("?"));
}

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

bool save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The load-sequence motif of the program icon: a blue tile with a step-and-ramp line.
void drawSequenceTile(QPainter& p, double size)
{
    const double s = size / 32.0;
    p.scale(s, s);
    QLinearGradient fill(0, 0, 0, 32);
    fill.setColorAt(0, kBlue.lighter(120));
    fill.setColorAt(1, kBlue.darker(120));
    p.setPen(pen(kBlue.darker(160)));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
    p.setPen(pen(QColor(255, 255, 255, 90)));
    p.drawLine(QPointF(6, 25.5), QPointF(26, 25.5));
    p.setPen(pen(kPaper, 2.6));
    p.drawPolyline(QPolygonF(
        {QPointF(6, 22), QPointF(11, 22), QPointF(11, 13), QPointF(17, 13), QPointF(22, 7), QPointF(26, 7)}));
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(22, 7), 2.2, 2.2);
}

// An icon drawn in a square of `units` on a side, scaled to `size` pixels.
QImage scaledIcon(int size, double units, const Glyph& draw)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / units, size / units);
    draw(p);
    return image;
}

QImage programIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawSequenceTile(p, size);
    return image;
}

// The desktop's icon of a sequence file: a sheet with a folded corner carrying the sequence line.
QImage sequenceFileIcon(int size)
{
    return scaledIcon(size, 32.0, [](QPainter& p) {
        p.setPen(pen(kInk, 1.0));
        p.setBrush(kPaper);
        p.drawPolygon(QPolygonF({QPointF(5.5, 1.5), QPointF(20.5, 1.5), QPointF(27.5, 8.5),
                                 QPointF(27.5, 30.5), QPointF(5.5, 30.5)}));
        p.setBrush(kLightBlue);
        p.drawPolygon(QPolygonF({QPointF(20.5, 1.5), QPointF(20.5, 8.5), QPointF(27.5, 8.5)}));
        p.setPen(pen(kGrey, 0.8));
        p.drawLine(QPointF(8.5, 26.5), QPointF(24.5, 26.5));
        p.drawLine(QPointF(8.5, 11.5), QPointF(8.5, 26.5));
        p.setPen(pen(kBlue, 2.0));
        p.drawPolyline(QPolygonF({QPointF(9, 23.5), QPointF(13, 23.5), QPointF(13, 17), QPointF(17.5, 17),
                                  QPointF(21, 12.5), QPointF(24.5, 12.5)}));
    });
}

// Worksheet document: a table with a blue header row.
QImage worksheetIcon(int size)
{
    return scaledIcon(size, 16.0, [](QPainter& p) {
        p.setPen(pen(kInk, 0.8));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(1.9, 2.9, 12.2, 2.6));
        p.setPen(pen(kGrey, 0.6));
        for (double y : {8.0, 10.75})
            p.drawLine(QPointF(2, y), QPointF(14, y));
        for (double x : {5.5, 10.0})
            p.drawLine(QPointF(x, 5.5), QPointF(x, 13));
    });
}

// Graph document: axes with a sequence line.
QImage graphIcon(int size)
{
    return scaledIcon(size, 16.0, [](QPainter& p) {
        p.setPen(pen(kInk, 0.8));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(pen(kBlue, 1.4));
        p.drawPolyline(QPolygonF({QPointF(3, 11), QPointF(6, 11), QPointF(6, 7), QPointF(9, 7),
                                  QPointF(12, 4.5), QPointF(13.5, 4.5)}));
    });
}

// Button 109 of the sequence control bar: a small step sequence.
QImage controlBarButton()
{
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pen(kInk, 1.0));
    p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
    p.setPen(pen(kBlue, 1.6));
    p.drawPolyline(QPolygonF(
        {QPointF(2, 12), QPointF(5, 12), QPointF(5, 8), QPointF(9, 8), QPointF(9, 4), QPointF(14, 4)}));
    return image;
}

// The About picture: a sequence graph of five channel lines.
QImage aboutPicture()
{
    QImage image = canvas(160, 72);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(pen(QColor(0xc8, 0xd0, 0xd8)));
    p.setBrush(QColor(0xf6, 0xf8, 0xfa));
    p.drawRoundedRect(QRectF(0.5, 0.5, 159, 71), 4, 4);
    QPen grid = pen(QColor(0xd8, 0xde, 0xe4));
    grid.setDashPattern({2, 2});
    p.setPen(grid);
    for (int x = 30; x < 160; x += 25)
        p.drawLine(QPointF(x + 0.5, 8), QPointF(x + 0.5, 62));
    p.setPen(pen(kInk, 1.2));
    p.drawLine(QPointF(10.5, 6), QPointF(10.5, 62.5));
    p.drawLine(QPointF(10.5, 62.5), QPointF(152, 62.5));
    // Three channels: a discharge staircase, a ramp profile and a pulse train.
    const QColor colours[] = {kBlue, kGreen, kRed};
    const std::vector<QPolygonF> lines = {
        QPolygonF({QPointF(11, 18), QPointF(45, 18), QPointF(45, 28), QPointF(80, 28), QPointF(80, 38),
                   QPointF(115, 38), QPointF(115, 48), QPointF(150, 48)}),
        QPolygonF({QPointF(11, 56), QPointF(40, 30), QPointF(75, 30), QPointF(100, 12), QPointF(125, 12),
                   QPointF(150, 40)}),
        QPolygonF({QPointF(11, 58), QPointF(30, 58), QPointF(30, 44), QPointF(50, 44), QPointF(50, 58),
                   QPointF(70, 58), QPointF(70, 44), QPointF(90, 44), QPointF(90, 58), QPointF(110, 58),
                   QPointF(110, 44), QPointF(130, 44), QPointF(130, 58), QPointF(150, 58)}),
    };
    for (size_t c = 0; c < lines.size(); ++c) {
        p.setPen(pen(colours[c], 2.0));
        p.drawPolyline(lines[c]);
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: draw-art OUTPUT-FOLDER [DESKTOP-ICON-FOLDER]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    // Toolbar 128: one 24 x 16 image per button, separators excluded, in button order.
    const std::vector<Glyph> buttons = {
        newGlyph,        openGlyph,       saveGlyph,       scaleGlyph,      verticalLinesGlyph,
        deleteGlyph,     copyGlyph,       pasteGlyph,      undoGlyph,       transferGlyph,
        runGlyph,        modeGlyph,       monitorGlyph,    channelGlyph(1), channelGlyph(2),
        channelGlyph(3), channelGlyph(4), channelGlyph(5), aboutGlyph,
    };
    QImage strip = canvas(24 * static_cast<int>(buttons.size()), 16);
    {
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (size_t i = 0; i < buttons.size(); ++i) {
            p.save();
            p.translate(24.0 * static_cast<double>(i), 0);
            p.setClipRect(QRect(0, 0, 24, 16));
            buttons[i](p);
            p.restore();
        }
    }

    bool ok = save(strip, out.filePath("toolbar128.png"));
    ok = save(controlBarButton(), out.filePath("bitmap166.png")) && ok;
    ok = save(aboutPicture(), out.filePath("bitmap147.png")) && ok;
    for (int size : {16, 32, 48, 64, 128})
        ok = save(programIcon(size), out.filePath(QStringLiteral("icon128-%1.png").arg(size))) && ok;
    for (int size : {16, 32}) {
        ok = save(worksheetIcon(size), out.filePath(QStringLiteral("icon129-%1.png").arg(size))) && ok;
        ok = save(graphIcon(size), out.filePath(QStringLiteral("icon130-%1.png").arg(size))) && ok;
    }
    // The desktop's icons in the hicolor theme's layout: the program and its sequence files.
    if (argc == 3) {
        const QDir icons(QString::fromLocal8Bit(argv[2]));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString folder = QStringLiteral("%1x%1").arg(size);
            if (!icons.mkpath(folder + QStringLiteral("/apps")) ||
                !icons.mkpath(folder + QStringLiteral("/mimetypes"))) {
                std::fprintf(stderr, "cannot create %s\n", qPrintable(icons.filePath(folder)));
                return 1;
            }
            ok = save(programIcon(size),
                      icons.filePath(folder + QStringLiteral("/apps/com.morvane.Tessor.png"))) &&
                 ok;
            ok = save(sequenceFileIcon(size),
                      icons.filePath(folder + QStringLiteral("/mimetypes/application-x-tessor.png"))) &&
                 ok;
        }
    }
    return ok ? 0 : 1;
}
