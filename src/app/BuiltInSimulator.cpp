#include "app/BuiltInSimulator.h"

#include "PtySimulatorServer.h"

BuiltInSimulator::BuiltInSimulator() = default;

BuiltInSimulator::~BuiltInSimulator() = default;

QString BuiltInSimulator::devicePath()
{
    if (!server_ || !server_->isServing())
        server_ = std::make_unique<PtySimulatorServer>(clock_);
    return server_->isServing() ? server_->devicePath() : QString();
}
