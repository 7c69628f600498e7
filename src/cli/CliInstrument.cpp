#include "cli/CliInstrument.h"

#include "PtySimulatorServer.h"
#include "cli/CliContext.h"

#include <QTextStream>

CliInstrument::CliInstrument(CliContext& context)
    : context_(context), port_(context.resources, context.prompt, clock_),
      device_(port_, context.settings, numbers_, current_, context.prompt, clock_)
{
    port_.applySettings(context.settings);
    port_.setSimulatorProvider([this] { return simulatorDevice(); });
}

// Every operation closes the link itself; the serial line lets the device go when it is destroyed.
CliInstrument::~CliInstrument() = default;

QString CliInstrument::simulatorDevice()
{
    if (!simulator_) {
        simulator_ = std::make_unique<PtySimulatorServer>(clock_);
        if (!simulator_->isServing())
            context_.err << "tessorctl: the simulator could not start: " << simulator_->errorString()
                         << Qt::endl;
    }
    return simulator_->isServing() ? simulator_->devicePath() : QString();
}
