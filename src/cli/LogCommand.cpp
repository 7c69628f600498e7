#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "plot/LogPlotImage.h"
#include "run/LogFigures.h"
#include "run/LogFileReader.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>

namespace {

// The string table's note on a last line cut short.
constexpr int kIncompleteLineText = 867;
const QSize kDefaultImageSize(1600, 900);

const char* const kUsage = "Usage: tessorctl log FILE [--json] [--png OUT [--size WxH]]";

// The summary as a table of aligned columns.
QString tableText(const QStringList& headers, const std::vector<LogFigures::Channel>& channels)
{
    std::vector<QStringList> rows{headers};
    for (const LogFigures::Channel& channel : channels)
        rows.push_back(LogFigures::rowTexts(channel));
    std::vector<int> widths(static_cast<size_t>(headers.size()), 0);
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size() && i < headers.size(); ++i)
            widths[static_cast<size_t>(i)] =
                std::max(widths[static_cast<size_t>(i)], static_cast<int>(row[i].size()));
    }
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (qsizetype i = 0; i < row.size() && i < headers.size(); ++i)
            cells << row[i].rightJustified(widths[static_cast<size_t>(i)]);
        text += cells.join(QStringLiteral("  ")) + QLatin1Char('\n');
    }
    return text;
}

bool parseSize(const QString& text, QSize& size)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{2,5})x(\\d{2,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
    return size.width() >= 200 && size.height() >= 150 && size.width() <= 16000 && size.height() <= 16000;
}

} // namespace

bool logCommandNeedsGui(const QStringList& arguments)
{
    const qsizetype command = arguments.indexOf(QStringLiteral("log"));
    return command >= 0 && arguments.indexOf(QStringLiteral("--png"), command) > command;
}

// tessorctl log FILE [--json] [--png OUT [--size WxH]]: reads a monitoring log (a cut series as one)
// and prints each channel's figures, or draws the viewer's plot into a PNG or SVG file.
int runLogCommand(CliContext& context, const QStringList& arguments)
{
    QString file;
    QString image;
    QSize size = kDefaultImageSize;
    bool json = false;
    bool sizeGiven = false;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument == QLatin1String("--json")) {
            json = true;
        } else if (!optionsEnded &&
                   (argument == QLatin1String("--png") || argument == QLatin1String("--size"))) {
            if (i + 1 >= arguments.size()) {
                context.err << "tessorctl: " << argument << " needs a value" << Qt::endl
                            << kUsage << Qt::endl;
                return ExitUsage;
            }
            const QString value = arguments[++i];
            if (argument == QLatin1String("--png")) {
                image = value;
            } else if (!parseSize(value, size)) {
                context.err << "tessorctl: --size takes WIDTHxHEIGHT, 200x150 to 16000x16000: " << value
                            << Qt::endl;
                return ExitUsage;
            } else {
                sizeGiven = true;
            }
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            context.err << "tessorctl: unknown option " << argument << Qt::endl << kUsage << Qt::endl;
            return ExitUsage;
        } else if (file.isEmpty()) {
            file = argument;
        } else {
            context.err << kUsage << Qt::endl;
            return ExitUsage;
        }
    }
    if (file.isEmpty() || (sizeGiven && image.isEmpty()) || (json && !image.isEmpty())) {
        context.err << kUsage << Qt::endl;
        return ExitUsage;
    }

    const LogFileReader::Result result = LogFileReader::read(file);
    if (!result.data) {
        context.err << "tessorctl: " << result.problem.message(context.resources) << Qt::endl;
        return ExitFailure;
    }
    const LogData& data = *result.data;
    if (!data.incompleteFile.isEmpty())
        context.err
            << "tessorctl: "
            << context.resources.string(kIncompleteLineText).arg(QFileInfo(data.incompleteFile).fileName())
            << Qt::endl;
    const std::vector<LogFigures::Channel> figures = LogFigures::summarize(data);

    if (!image.isEmpty()) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            context.err << "tessorctl: images need the graphics library, which did not start" << Qt::endl;
            return ExitFailure;
        }
        LogPlotViewport view;
        LogPlotPainter::Scene scene{data, view, CurveVisibility(), std::nullopt, true, true};
        view.fit(data, figures, scene.shown);
        QString reason;
        if (!LogPlotImage::write(image, size, scene, LogPlotTexts::fromModule(context.resources), reason)) {
            context.err << "tessorctl: cannot write " << image << ": " << reason << Qt::endl;
            return ExitFailure;
        }
        context.out << image << '\n';
        context.out.flush();
        return ExitSuccess;
    }
    if (json) {
        context.out << LogFigures::json(file, data.lineCount(), figures);
    } else {
        context.out << data.files.join(QStringLiteral(", ")) << ": " << data.lineCount() << " lines\n";
        context.out << tableText(LogFigures::headers(context.resources), figures);
    }
    context.out.flush();
    return ExitSuccess;
}
