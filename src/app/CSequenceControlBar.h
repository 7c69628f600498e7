#pragma once

#include <QToolBar>

struct ControlBarLayout;
class CommandRouter;
class QAction;
class QComboBox;
class ResourceModule;
class ShellResources;

// The sequence control bar: the control-method list ("Software Control", "Hardware Control") and
// button 109, which no command handles. Choosing an entry reports it; the frame decides whether the
// change is allowed and puts the list back when it is not.
class CSequenceControlBar : public QToolBar {
    Q_OBJECT
public:
    CSequenceControlBar(const ShellResources& resources, const ResourceModule& module, CommandRouter& router,
                        QWidget* parent = nullptr);

    QComboBox* list() const { return list_; }
    // Selects the entry of a control method without reporting it.
    void setControlMethod(int method);
    int controlMethod() const;

signals:
    // The user chose an entry (0 Software Control, 1 Hardware Control).
    void controlMethodChosen(int method);

private:
    QComboBox* list_ = nullptr;
};
