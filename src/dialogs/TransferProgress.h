#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <initializer_list>
#include <vector>

class CKdrxDevice;
class CRs232cPort;
class QWidget;
class ResourceModule;

// Shows how far a sequence transfer has got ("Writing channel 2: step 120 of 255") while the
// transfer holds the GUI thread. Every step the device reports updates the display and lets the
// windows repaint and answer the window system, so that no window greys out or is reported as not
// responding during a transfer of tens of seconds. Meanwhile the user's input to the program's
// windows is dropped (a message shown during the transfer still takes it), no shortcut or mnemonic
// fires, windows cannot be closed and no timer or socket handler runs, so nothing touches the
// document or the link mid-transfer.
class TransferProgress : public QObject {
    Q_OBJECT
public:
    // Where the progress is shown: the main window's status bar, or a recorder in tests.
    class Display {
    public:
        virtual ~Display() = default;
        // step 0..total; the text says the channel, the step and the total.
        virtual void showProgress(const QString& text, int step, int total) = 0;
        virtual void hideProgress() = 0;
    };

    enum class Direction { Writing, Reading };

    // A transfer in progress, from its construction to its end. The buttons of the dialog that
    // runs it are disabled meanwhile and then given back their state (and the focus its place).
    // A scope opened inside a running transfer leaves that transfer's hold-off to it.
    class Scope {
    public:
        Scope(TransferProgress* progress, Direction direction, std::initializer_list<QWidget*> buttons = {});
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        TransferProgress* progress_;
        std::vector<QPointer<QWidget>> disabled_;
        QPointer<QWidget> focus_;
    };

    TransferProgress(const ResourceModule& module, Display& display, QObject* parent = nullptr);
    ~TransferProgress() override;

    // Takes the device's step reports of its writes and reads, until this display goes; while a
    // transfer waits on the serial line (an instrument that does not answer holds it for the line's
    // time-out) the windows are kept painted the same way. The device and the port must outlive it.
    void attach(CKdrxDevice& device, CRs232cPort* serial = nullptr);
    // A step of the transfer in progress (channel 0..4); ignored outside a transfer.
    void step(int channel, int step, int total);

    bool isRunning() const { return running_; }
    // The text shown, or an empty text while nothing is shown.
    QString text() const { return text_; }
    // "Writing channel 2: step 120 of 255" for channel index 1.
    QString stepText(Direction direction, int channel, int step, int total) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // False when a transfer is already running.
    bool begin(Direction direction);
    void end();
    // Repaints the windows and answers the window system, nothing else.
    static void keepResponsive();

    const ResourceModule& module_;
    Display& display_;
    CKdrxDevice* device_ = nullptr;
    CRs232cPort* serial_ = nullptr;
    Direction direction_ = Direction::Writing;
    bool running_ = false;
    QString text_;
    // The modal window of the transfer (its dialog); input goes through only to windows opened over
    // it, the messages of the transfer.
    QPointer<QWidget> transferWindow_;
};
