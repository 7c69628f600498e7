#pragma once

#include "views/TemplateLoader.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// The axis ranges of the graph's current channel and the three automatic-range flags.
struct ScaleValues {
    double timeMax = 10.0;
    double timeMin = 0.0;
    double valueMax = 8.0;
    double valueMin = 0.0;
    bool autoTimeMax = true;
    bool autoValueMax = true;
    bool autoValueMin = true;
};

// The "Scale" dialog of the graph. OK checks the ranges in a fixed order and shows the first
// failing check's message, keeping the dialog open.
class CScaleDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "Scale.ui";

    // String-table messages of the checks.
    enum Message {
        NoMessage = 0,
        MinimumBelowMaximum = 331, // "Set values so that Minimum < Maximum."
        ValueBelowZero = 332,      // minimum value above 0
        ValueAboveZero = 333,      // maximum value or minimum time below 0
        OutOfRange = 334,          // "No additional data may be entered."
    };

    struct Controls {
        QLineEdit* timeMax = nullptr;
        QLineEdit* timeMin = nullptr;
        QLineEdit* valueMax = nullptr;
        QLineEdit* valueMin = nullptr;
        QCheckBox* autoTimeMax = nullptr;
        QCheckBox* autoValueMax = nullptr;
        QCheckBox* autoValueMin = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };

    CScaleDlg(const TemplateLoader& loader, const ScaleValues& values, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // The accepted values.
    const ScaleValues& values() const { return values_; }

    // The first check the values fail, in the order the user is told about them.
    static Message check(const ScaleValues& values);

    void accept() override;

private:
    bool readField(QLineEdit* field, double& value);

    Controls controls_;
    ScaleValues values_;
};
