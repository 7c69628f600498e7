#pragma once

#include <QApplication>
#include <QMap>
#include <QString>

// The application object of the random-input run. An exception that leaves an event handler would
// end the program (Qt does not let one through); here notify() catches it and keeps its text, so
// the run can report it as the failure it is. Qt's warnings are counted for the summary.
class FuzzApplication : public QApplication {
public:
    FuzzApplication(int& argc, char** argv);
    ~FuzzApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // The text of the first exception caught since the last call, or an empty text.
    QString takeEscaped();
    // Qt's warnings and critical messages so far, by text, with how often each came.
    const QMap<QString, int>& warnings() const { return warnings_; }

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& text);

    QString escaped_;
    QMap<QString, int> warnings_;
    QtMessageHandler previous_ = nullptr;
};
