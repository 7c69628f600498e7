#pragma once

#include "fakegpib/FakeGpibControl.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// The test's hold on one stand-in GPIB library: it keeps the library loaded (so the adapter's own
// load and release share its state), scripts its replies and failures and reads back its calls.
class FakeGpibLibrary {
public:
    // The library file in the stand-ins' folder, e.g. "libGPC4304.so".
    explicit FakeGpibLibrary(const QString& fileName);
    ~FakeGpibLibrary();
    FakeGpibLibrary(const FakeGpibLibrary&) = delete;
    FakeGpibLibrary& operator=(const FakeGpibLibrary&) = delete;

    // The folder the stand-ins are built into.
    static QString folder();

    bool isLoaded() const { return handle_ != nullptr; }
    void reset();
    // Every call since the reset (or since the last forgetCalls()).
    QStringList calls() const;
    void forgetCalls();
    void failNext(const char* function, int code);
    void setValue(const char* name, long value);
    // The exact bytes of the next read.
    void setReply(const QByteArray& bytes);
    // Answers each written command; a null QString means no reply.
    void setResponder(std::function<QString(const QString& command)> responder);

private:
    static const char* respond(const char* command, void* context);

    void* handle_ = nullptr;
    FakeGpibReset reset_ = nullptr;
    FakeGpibSetResponder setResponder_ = nullptr;
    FakeGpibSetReply setReply_ = nullptr;
    FakeGpibFailNext failNext_ = nullptr;
    FakeGpibSetValue setValue_ = nullptr;
    FakeGpibCalls calls_ = nullptr;
    std::function<QString(const QString&)> responder_;
    QByteArray lastAnswer_;
    int forgotten_ = 0;
};
