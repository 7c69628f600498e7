#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// The up-down arrows beside a numeric field: each click moves the whole number in the field by one
// within the range (a field that holds no number starts from the range's minimum). The arrows are a
// control of their own: they are enabled and disabled apart from their field.
class CSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButton(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* field) { buddy_ = field; }
    QLineEdit* buddy() const { return buddy_; }
    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

    // One click on the up (+1) or down (-1) arrow.
    void stepBy(int steps);

private:
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
};
