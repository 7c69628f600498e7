#include "views/SpinEdit.h"

#include <algorithm>

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setRange(0, kLargestTyped);
}

void SpinEdit::setArrowRange(int minimum, int maximum)
{
    arrowMinimum_ = std::max(0, minimum);
    arrowMaximum_ = std::clamp(maximum, arrowMinimum_, kLargestTyped);
}

void SpinEdit::stepBy(int steps)
{
    // A value outside the arrow range comes back to its nearest end first.
    const int from = std::clamp(value(), arrowMinimum_, arrowMaximum_);
    const int to = std::clamp(from + steps, arrowMinimum_, arrowMaximum_);
    setValue(from == value() ? to : from);
    selectAll();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    // Outside the range either arrow brings the value back to the range.
    if (value() != arrowMinimum_)
        enabled |= StepDownEnabled;
    if (value() != arrowMaximum_)
        enabled |= StepUpEnabled;
    return enabled;
}
