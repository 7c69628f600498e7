#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "link/LinkOptions.h"

#include <QTextStream>

namespace {

bool applyLink(CliContext& context, bool (LinkOptions::*set)(const QString&, QString&), const QString& value)
{
    LinkOptions options = context.link;
    QString error;
    if (!(options.*set)(value, error)) {
        context.err << "tessorctl: " << error << Qt::endl;
        return false;
    }
    context.link = options;
    options.applyTo(context.settings);
    context.linkChosen = true;
    return true;
}

} // namespace

// --port DEV: the instrument is on this serial device (or the built-in simulator) for this run;
// with --gpib prologix:N, DEV is the controller's serial device or tcp:HOST:PORT.
bool applyPortOption(CliContext& context, const QString& value)
{
    return applyLink(context, &LinkOptions::setPort, value);
}

// --gpib MAKER:ADDRESS: the instrument is on GPIB, through that maker's board, for this run.
bool applyGpibOption(CliContext& context, const QString& value)
{
    return applyLink(context, &LinkOptions::setGpib, value);
}
