#pragma once

#include <QString>
#include <memory>

class CMainDoc;
struct CliContext;

// Opening the sequence file a command works on, as the program's Open does.
namespace CliDocument {

// Opens path into a new document with the context's settings and prompt. When the open fails, the
// program's messages are followed by a line that names the file and why it could not be read
// ("tessorctl: cannot open adir.tsr: it is a directory"), and the result is null with exitCode 1.
// A file that opens with a message of the reader (a bad field, more steps than a channel holds) is
// shown by show as the program shows it; a command that acts on it (refusal given: what it did
// not do, e.g. "nothing was sent") refuses it with exitCode 1 unless force, because what was read
// is not what the file says.
std::unique_ptr<CMainDoc> open(CliContext& context, const QString& path, bool force, const QString& refusal,
                               int& exitCode);

// After the program's messages of a failed open: the line that names the file and the reason,
// unless one of those messages already names the file.
void reportNotOpened(CliContext& context, const QString& path);
// Why path cannot be opened for reading, as the system says it; empty when it can.
QString unreadableReason(const QString& path);

} // namespace CliDocument
