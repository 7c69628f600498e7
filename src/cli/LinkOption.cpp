#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include <QTextStream>

namespace {

bool applyLink(CliContext& context, bool (LinkOptions::*set)(const QString&, QString&), const QString& value)
{
    QString error;
    if (!(context.link.*set)(value, error)) {
        context.err << "tessorctl: " << error << Qt::endl;
        return false;
    }
    if (context.link.hasPort && context.link.hasGpib) {
        context.err << "tessorctl: --port and --gpib cannot be given together." << Qt::endl;
        return false;
    }
    context.link.applyTo(context.settings);
    return true;
}

} // namespace

// --port DEV: the serial device (or "simulator") for this run, over the profile's interface.
bool applyPortOption(CliContext& context, const QString& value)
{
    return applyLink(context, &LinkOptions::setPort, value);
}

// --gpib MAKER:ADDRESS: the GPIB board and the instrument's address for this run.
bool applyGpibOption(CliContext& context, const QString& value)
{
    return applyLink(context, &LinkOptions::setGpib, value);
}
