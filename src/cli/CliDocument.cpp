#include "cli/CliDocument.h"

#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "model/CMainDoc.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace CliDocument {

QString unreadableReason(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QString::fromLocal8Bit(std::strerror(ENOENT));
    if (info.isDir())
        return QStringLiteral("it is a directory");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return QString();
}

void reportNotOpened(CliContext& context, const QString& path)
{
    // The reader's own message names the file and the reason where it knows them.
    const QStringList& said = context.prompt.messages();
    if (std::any_of(said.cbegin(), said.cend(),
                    [&path](const QString& message) { return message.contains(path); }))
        return;
    const QString reason = unreadableReason(path);
    if (reason.isEmpty())
        context.err << "tessorctl: " << path << " was not opened" << Qt::endl;
    else
        context.err << "tessorctl: cannot open " << path << ": " << reason << Qt::endl;
}

std::unique_ptr<CMainDoc> open(CliContext& context, const QString& path, bool force, const QString& refusal,
                               int& exitCode)
{
    exitCode = ExitSuccess;
    const qsizetype messagesBefore = context.prompt.messages().size();
    auto document = std::make_unique<CMainDoc>(context.settings, context.prompt);
    if (!document->openDocument(path)) {
        exitCode = ExitFailure;
        reportNotOpened(context, path);
        return nullptr;
    }
    const qsizetype messages = context.prompt.messages().size() - messagesBefore;
    if (messages == 0 || force || refusal.isEmpty())
        return document;
    exitCode = ExitFailure;
    context.err << "tessorctl: " << path << " was read with "
                << (messages == 1 ? "the message" : "the messages")
                << " above, so what was read is not all the file says; " << refusal
                << ". --force goes on with what was read." << Qt::endl;
    return nullptr;
}

} // namespace CliDocument
