#include "app/BuiltInSimulator.h"

#include "PtySimulatorServer.h"

BuiltInSimulator::BuiltInSimulator() = default;

BuiltInSimulator::~BuiltInSimulator() = default;

QString BuiltInSimulator::devicePath()
{
    if (!server_ || !server_->isServing()) {
        server_ = std::make_unique<PtySimulatorServer>(clock_);
        // Nothing in the program reads back what the simulator received; a run of days keeps none.
        server_->simulator().setTranscriptLimit(0);
    }
    return server_->isServing() ? server_->devicePath() : QString();
}
