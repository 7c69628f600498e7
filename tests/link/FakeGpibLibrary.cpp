#include "FakeGpibLibrary.h"

#include <QDir>
#include <QFile>
#include <dlfcn.h>
#include <stdexcept>

FakeGpibLibrary::FakeGpibLibrary(const QString& fileName)
{
    const QByteArray path = QFile::encodeName(QDir(folder()).filePath(fileName));
    handle_ = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        throw std::runtime_error(std::string("cannot load the stand-in library ") + path.constData());
    reset_ = reinterpret_cast<FakeGpibReset>(dlsym(handle_, "fakegpib_reset"));
    setResponder_ = reinterpret_cast<FakeGpibSetResponder>(dlsym(handle_, "fakegpib_set_responder"));
    setReply_ = reinterpret_cast<FakeGpibSetReply>(dlsym(handle_, "fakegpib_set_reply"));
    failNext_ = reinterpret_cast<FakeGpibFailNext>(dlsym(handle_, "fakegpib_fail_next"));
    setValue_ = reinterpret_cast<FakeGpibSetValue>(dlsym(handle_, "fakegpib_set_value"));
    calls_ = reinterpret_cast<FakeGpibCalls>(dlsym(handle_, "fakegpib_calls"));
    if (!reset_ || !setResponder_ || !setReply_ || !failNext_ || !setValue_ || !calls_)
        throw std::runtime_error("the stand-in library lacks its control functions");
    reset_();
}

FakeGpibLibrary::~FakeGpibLibrary()
{
    if (handle_) {
        reset_();
        dlclose(handle_);
    }
}

QString FakeGpibLibrary::folder()
{
    return QStringLiteral(FAKEGPIB_DIR);
}

void FakeGpibLibrary::reset()
{
    reset_();
    forgotten_ = 0;
}

QStringList FakeGpibLibrary::calls() const
{
    QStringList all = QString::fromLatin1(calls_()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return all.mid(forgotten_);
}

void FakeGpibLibrary::forgetCalls()
{
    forgotten_ += static_cast<int>(calls().size());
}

void FakeGpibLibrary::failNext(const char* function, int code)
{
    failNext_(function, code);
}

void FakeGpibLibrary::setValue(const char* name, long value)
{
    setValue_(name, value);
}

void FakeGpibLibrary::setReply(const QByteArray& bytes)
{
    setReply_(bytes.constData(), static_cast<int>(bytes.size()));
}

void FakeGpibLibrary::setResponder(std::function<QString(const QString& command)> responder)
{
    responder_ = std::move(responder);
    setResponder_(responder_ ? &FakeGpibLibrary::respond : nullptr, this);
}

const char* FakeGpibLibrary::respond(const char* command, void* context)
{
    auto* self = static_cast<FakeGpibLibrary*>(context);
    const QString answer = self->responder_(QString::fromLatin1(command));
    if (answer.isNull())
        return nullptr;
    self->lastAnswer_ = answer.toLatin1();
    return self->lastAnswer_.constData();
}
