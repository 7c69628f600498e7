// Turns the HTML manual into its PDF: the same document laid out on A4 pages with page numbers.
// Run at build time: manual-pdf INPUT.html OUTPUT.pdf. Every picture and every link inside the
// manual must resolve, so a renamed screenshot or a mistyped anchor fails the build instead of
// printing a broken page.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Pictures that are missing, links to anchors that do not exist.
QStringList brokenReferences(const QTextDocument& document, const QString& folder)
{
    QSet<QString> anchors;
    QStringList links;
    QStringList problems;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            for (const QString& name : format.anchorNames())
                anchors.insert(name);
            if (format.isAnchor() && format.anchorHref().startsWith(QLatin1Char('#')))
                links << format.anchorHref().mid(1);
            if (format.isImageFormat()) {
                const QString source = format.toImageFormat().name();
                if (!QFileInfo(folder + QLatin1Char('/') + source).isFile())
                    problems << QStringLiteral("missing picture %1").arg(source);
            }
        }
    }
    for (const QString& link : links) {
        if (!anchors.contains(link))
            problems << QStringLiteral("link to a missing anchor #%1").arg(link);
    }
    return problems;
}

// The width a line of the block may take: the page's text width less the block's margins and
// those of the frames (the body's, a table cell's) around it. Needs the document laid out.
double lineWidth(const QTextBlock& block)
{
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return 0.0;
    return layout->lineAt(0).width();
}

void setPictureFormat(QTextDocument& document, int position, int length, const QTextImageFormat& format)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
}

// Gives every picture its width and height, so that the page reserves exactly the space the
// picture takes: the width the manual asks for (or the picture's own), at most the width of the
// line it stands in, and the height that keeps the picture's proportions.
void sizePictures(QTextDocument& document, const QString& folder, double textWidth)
{
    struct Picture {
        int position;
        int length;
        QTextImageFormat format;
    };
    std::vector<Picture> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                pictures.push_back(
                    {fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
        }
    }
    // A picture wider than its line widens the line: the lines are measured on a copy of the
    // document laid out with every picture a single pixel wide.
    const std::unique_ptr<QTextDocument> probe(document.clone());
    probe->documentLayout()->setPaintDevice(document.documentLayout()->paintDevice());
    probe->setDocumentMargin(document.documentMargin());
    probe->setPageSize(document.pageSize());
    for (const Picture& picture : pictures) {
        QTextImageFormat dot = picture.format;
        dot.setWidth(1);
        dot.setHeight(1);
        setPictureFormat(*probe, picture.position, picture.length, dot);
    }
    probe->documentLayout()->documentSize();
    for (Picture& picture : pictures) {
        const QImage image(folder + QLatin1Char('/') + picture.format.name());
        if (image.isNull())
            continue;
        const double line = lineWidth(probe->findBlock(picture.position));
        const double available = line > 0.0 ? std::min(line, textWidth) : textWidth;
        double width = picture.format.width() > 0 ? picture.format.width() : image.width();
        width = std::min(width, available);
        picture.format.setWidth(width);
        picture.format.setHeight(width * image.height() / image.width());
        setPictureFormat(document, picture.position, picture.length, picture.format);
        // The text's line spacing would add a third of the picture's height below it.
        QTextCursor cursor(&document);
        cursor.setPosition(picture.position);
        QTextBlockFormat single;
        single.setLineHeight(100, QTextBlockFormat::ProportionalHeight);
        cursor.mergeBlockFormat(single);
    }
}

// Moves a heading that ends a page onto the next one, where the text it heads begins: a page
// break before it. Each move shifts what follows, so the pages are looked at again until none moves.
void keepHeadingsWithText(QTextDocument& document, double pageHeight)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const auto pageOf = [pageHeight](double y) { return static_cast<int>(y / pageHeight); };
    // Every pass moves one heading at most; a manual has far fewer than the blocks.
    for (int pass = 0; pass < document.blockCount(); ++pass) {
        bool moved = false;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextBlock next = block.next();
            if (block.blockFormat().headingLevel() == 0 || !next.isValid())
                continue;
            const QRectF heading = layout->blockBoundingRect(block);
            const QRectF following = layout->blockBoundingRect(next);
            if (pageOf(heading.top()) == pageOf(following.top()) ||
                block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                continue;
            QTextBlockFormat format;
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).mergeBlockFormat(format);
            moved = true;
            break;
        }
        if (!moved)
            return;
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Layout needs fonts, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: manual-pdf INPUT.html OUTPUT.pdf\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    QFile html(input);
    if (!html.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "manual-pdf: cannot read %s\n", qPrintable(input));
        return 1;
    }
    const QString folder = QFileInfo(input).absolutePath();
    QTextDocument document;
    // Pictures are found relative to the manual, as a browser finds them.
    document.setMetaInformation(QTextDocument::DocumentUrl,
                                QUrl::fromLocalFile(folder + QLatin1Char('/')).toString());
    document.setHtml(QString::fromUtf8(html.readAll()));

    const QStringList problems = brokenReferences(document, folder);
    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            std::fprintf(stderr, "manual-pdf: %s: %s\n", qPrintable(input), qPrintable(problem));
        return 1;
    }

    // The pages are laid out in 1/96-inch units, the unit of the pictures' sizes and of a browser.
    QPdfWriter writer(output);
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    writer.setCreator(QStringLiteral("Tessor manual-pdf"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(18, 16, 18, 18), QPageLayout::Millimeter));
    writer.setResolution(96);
    const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());

    document.documentLayout()->setPaintDevice(&writer);
    document.setDocumentMargin(0);
    document.setPageSize(page.size());
    sizePictures(document, folder, page.width());
    keepHeadingsWithText(document, page.height());

    QPainter painter(&writer);
    QFont numberFont = document.defaultFont();
    numberFont.setPointSizeF(8);
    painter.setFont(numberFont);
    const int pages = document.pageCount();
    for (int number = 0; number < pages; ++number) {
        if (number > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page.height() * number);
        // Half a pixel short of the next page: its first line must not show along this page's foot.
        document.drawContents(&painter, page.translated(0, page.height() * number).adjusted(0, 0, 0, -0.5));
        painter.restore();
        // The page number below the text, in the bottom margin.
        painter.drawText(QRectF(0, page.height() + 12, page.width(), 20), Qt::AlignRight | Qt::AlignTop,
                         QStringLiteral("%1 / %2").arg(number + 1).arg(pages));
    }
    painter.end();
    if (!QFileInfo(output).isFile() || QFileInfo(output).size() == 0) {
        std::fprintf(stderr, "manual-pdf: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
