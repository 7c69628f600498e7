#pragma once

#include <QSpinBox>

// An integer field with up and down arrows, as the dialogs use it for counts: the arrows move the
// value within the arrow range, while the field takes any whole number of up to five digits, so
// that a value typed (or stored) outside the range reaches the dialog, which refuses it with its
// message when it reads its data.
class SpinEdit : public QSpinBox {
    Q_OBJECT
public:
    static constexpr int kLargestTyped = 99999;

    explicit SpinEdit(QWidget* parent = nullptr);

    void setArrowRange(int minimum, int maximum);
    int arrowMinimum() const { return arrowMinimum_; }
    int arrowMaximum() const { return arrowMaximum_; }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int arrowMinimum_ = 0;
    int arrowMaximum_ = kLargestTyped;
};
