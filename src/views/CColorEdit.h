#pragma once

#include <QColor>
#include <QLineEdit>

// The read-only, centred display field of the run dialog: its text and background colours can be
// changed at run time (black on light grey at first).
class CColorEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CColorEdit(QWidget* parent = nullptr);

    void setTextColor(const QColor& colour);
    void setBackgroundColor(const QColor& colour);
    QColor textColor() const { return text_; }
    QColor backgroundColor() const { return background_; }

private:
    void applyColours();

    QColor text_{Qt::black};
    QColor background_{192, 192, 192};
};
