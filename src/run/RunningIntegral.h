#pragma once

#include <cmath>

// Charge and energy of one channel from its readings in time order, by the trapezoidal rule: each
// pair of neighbouring readings adds the mean of their currents (or powers, voltage x current) times
// the time between them. A missing reading (NaN) breaks the sum: the interval on either side of it
// adds nothing, so a gap is never bridged.
class RunningIntegral {
public:
    // seconds: the reading's time; current in A and voltage in V, NaN where not read.
    void add(double seconds, double current, double voltage);
    void reset() { *this = RunningIntegral(); }

    // Ah and Wh so far.
    double chargeAh() const { return ampereSeconds_ / 3600.0; }
    double energyWh() const { return wattSeconds_ / 3600.0; }
    // A current (and for the energy, a voltage with it) has been read at least once.
    bool hasCharge() const { return hasCurrent_; }
    bool hasEnergy() const { return hasPower_; }

private:
    double ampereSeconds_ = 0.0;
    double wattSeconds_ = 0.0;
    double lastSeconds_ = NAN;
    double lastCurrent_ = NAN;
    double lastPower_ = NAN;
    bool hasCurrent_ = false;
    bool hasPower_ = false;
};
