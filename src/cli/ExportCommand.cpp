#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CommandValues.h"
#include "model/CMainDoc.h"
#include "model/CsvExport.h"
#include "model/CsvFile.h"

#include <QTextStream>
#include <memory>

// tessorctl export FILE.tsr [--channel N] [-o OUT.csv]: opens FILE as the program's Open does and
// writes its steps as the program's Export CSV... does, every channel in a column group of its own or
// one channel, to OUT or to stdout.
int runExportCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments, {QStringLiteral("--channel"), QStringLiteral("-o")}, {},
                            parsed) ||
        parsed.positional.size() != 1) {
        context.err << "Usage: tessorctl export FILE.tsr [--channel N] [-o OUT.csv]" << Qt::endl;
        return ExitUsage;
    }
    int channel = -1;
    if (parsed.has(QStringLiteral("--channel"))) {
        bool ok = false;
        channel = parsed.value(QStringLiteral("--channel")).toInt(&ok) - 1;
        if (!ok || channel < 0 || channel >= kChannelCount) {
            context.err << "tessorctl: --channel takes a channel from 1 to 5" << Qt::endl;
            return ExitUsage;
        }
    }
    auto document = std::make_unique<CMainDoc>(context.settings, context.prompt);
    if (!document->openDocument(parsed.positional[0]))
        return ExitFailure;
    const QString text = channel >= 0 ? CsvExport::channelText(*document, channel, context.settings)
                                      : CsvExport::allChannelsText(*document, context.settings);
    if (!parsed.has(QStringLiteral("-o"))) {
        context.out << text;
        context.out.flush();
        return ExitSuccess;
    }
    QString failure;
    if (!CsvFile::write(parsed.value(QStringLiteral("-o")), text, context.resources, failure)) {
        context.prompt.showMessage(failure);
        return ExitFailure;
    }
    return ExitSuccess;
}
