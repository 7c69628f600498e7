#include "FuzzApplication.h"

#include <cstdio>
#include <exception>
#include <typeinfo>

FuzzApplication::FuzzApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    previous_ = qInstallMessageHandler(&FuzzApplication::handleMessage);
}

FuzzApplication::~FuzzApplication()
{
    qInstallMessageHandler(previous_);
}

bool FuzzApplication::notify(QObject* receiver, QEvent* event)
{
    const int type = event->type();
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& exception) {
        if (escaped_.isEmpty())
            escaped_ =
                QStringLiteral("%1 (%2) from a %3 event to %4")
                    .arg(QString::fromLocal8Bit(exception.what()), QLatin1String(typeid(exception).name()))
                    .arg(type)
                    .arg(QLatin1String(receiver->metaObject()->className()));
    } catch (...) {
        if (escaped_.isEmpty())
            escaped_ = QStringLiteral("an exception of unknown type from a %1 event to %2")
                           .arg(type)
                           .arg(QLatin1String(receiver->metaObject()->className()));
    }
    return false;
}

QString FuzzApplication::takeEscaped()
{
    QString text;
    text.swap(escaped_);
    return text;
}

void FuzzApplication::handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    auto* self = static_cast<FuzzApplication*>(QCoreApplication::instance());
    if (type == QtWarningMsg || type == QtCriticalMsg) {
        if (self)
            ++self->warnings_[text];
        return;
    }
    if (self && self->previous_)
        self->previous_(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
}
