#include "run/RunningIntegral.h"

void RunningIntegral::add(double seconds, double current, double voltage)
{
    const double power = current * voltage;
    const double span = seconds - lastSeconds_;
    if (!std::isnan(current) && !std::isnan(lastCurrent_) && span > 0.0)
        ampereSeconds_ += 0.5 * (current + lastCurrent_) * span;
    if (!std::isnan(power) && !std::isnan(lastPower_) && span > 0.0)
        wattSeconds_ += 0.5 * (power + lastPower_) * span;
    hasCurrent_ = hasCurrent_ || !std::isnan(current);
    hasPower_ = hasPower_ || !std::isnan(power);
    lastSeconds_ = seconds;
    lastCurrent_ = current;
    lastPower_ = power;
}
