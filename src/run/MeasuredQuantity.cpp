#include "run/MeasuredQuantity.h"

#include "model/SequenceTypes.h"

#include <cmath>

namespace MeasuredQuantity {

double valueOf(int operationMode, double current, double voltage)
{
    switch (operationMode) {
    case ModeCV:
        return voltage;
    case ModeCC:
    case ModeCCCV:
        return current;
    case ModeCR:
    case ModeCRCV:
        return current != 0.0 && !std::isnan(current) ? voltage / current : NAN;
    default:
        return NAN;
    }
}

} // namespace MeasuredQuantity
