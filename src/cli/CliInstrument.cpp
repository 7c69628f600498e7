#include "cli/CliInstrument.h"

#include "PtySimulatorServer.h"
#include "cli/CliContext.h"

#include <QTextStream>

CliInstrument::CliInstrument(CliContext& context)
    : context_(context), port_(context.resources, context.prompt, clock_),
      device_(port_, context.settings, numbers_, current_, context.prompt, clock_),
      stopSignals_(
          [this](int) {
              if (stopHandler_)
                  stopHandler_();
          },
          &context.stop)
{
    port_.applySettings(context.settings);
    port_.setSimulatorProvider([this] { return simulatorDevice(); });
    port_.setStopFlag(&context.stop);
    port_.setDetailReporter(
        [this](const QString& detail) { context_.err << "tessorctl: " << detail << Qt::endl; });
    noteDefaultPort();
}

// Every operation closes the link itself; the serial line lets the device go when it is destroyed.
CliInstrument::~CliInstrument() = default;

bool CliInstrument::stopRequested() const
{
    return context_.stop.isSet();
}

void CliInstrument::noteDefaultPort() const
{
    const AppSettings& settings = context_.settings;
    if (context_.linkChosen || settings.Interface != 0 || context_.profileNamesLink())
        return;
    const QString device =
        settings.PortDevice.isEmpty()
            ? QStringLiteral("/dev/ttyS%1 (COM%2)").arg(settings.Port - 1).arg(settings.Port)
            : settings.PortDevice;
    context_.err << "tessorctl: neither --port nor --gpib is given and the profile names no port: trying "
                 << device << Qt::endl;
}

QString CliInstrument::simulatorDevice()
{
    if (!simulator_) {
        simulator_ = std::make_unique<PtySimulatorServer>(clock_);
        // Nothing here reads the lines the simulator received.
        simulator_->simulator().setTranscriptLimit(0);
        if (!simulator_->isServing())
            context_.err << "tessorctl: the simulator could not start: " << simulator_->errorString()
                         << Qt::endl;
    }
    return simulator_->isServing() ? simulator_->devicePath() : QString();
}
