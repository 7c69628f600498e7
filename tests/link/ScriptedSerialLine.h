#pragma once

#include "link/SerialLine.h"

#include <QByteArray>
#include <QStringList>
#include <deque>
#include <memory>

// A serial line that plays from a script and notes every call, for the port's own logic (call
// order, device names, set-up failure) where a real terminal cannot be made to fail on cue.
class ScriptedSerialLine : public SerialLine {
public:
    struct Script {
        bool openSucceeds = true;
        bool configureSucceeds = true;
        bool writeSucceeds = true;
        QByteArray input;            // bytes readByte hands out, then TimedOut
        bool failAfterInput = false; // Failed instead of TimedOut once the input is used up
        QStringList calls;
        QByteArray written;
        bool open = false;
        int lastReadTimeoutMs = -1;
        int lastWriteTimeoutMs = -1;
    };

    explicit ScriptedSerialLine(std::shared_ptr<Script> script) : script_(std::move(script)) {}

    bool open(const QString& device) override
    {
        script_->calls << QStringLiteral("open %1").arg(device);
        script_->open = script_->openSucceeds;
        return script_->open;
    }
    bool configure() override
    {
        script_->calls << QStringLiteral("configure");
        return script_->configureSucceeds;
    }
    void purge() override { script_->calls << QStringLiteral("purge"); }
    bool write(const QByteArray& bytes, int timeoutMs) override
    {
        script_->calls << QStringLiteral("write");
        script_->lastWriteTimeoutMs = timeoutMs;
        if (script_->writeSucceeds)
            script_->written += bytes;
        return script_->writeSucceeds;
    }
    ReadResult readByte(char& byte, int timeoutMs) override
    {
        script_->lastReadTimeoutMs = timeoutMs;
        if (script_->input.isEmpty())
            return script_->failAfterInput ? ReadResult::Failed : ReadResult::TimedOut;
        byte = script_->input.front();
        script_->input.remove(0, 1);
        return ReadResult::Byte;
    }
    void close() override
    {
        if (script_->open)
            script_->calls << QStringLiteral("close");
        script_->open = false;
    }
    bool isOpen() const override { return script_->open; }

private:
    std::shared_ptr<Script> script_;
};
