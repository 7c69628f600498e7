#pragma once

#include <QString>

class ResourceModule;

// Reading and writing the CSV files of the spreadsheet import and export.
namespace CsvFile {

// Files larger than this are no table of steps (5 x 1024 rows take well under 1 MB).
constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

// The text of a CSV file, decoded as UTF-8 or, when it is not UTF-8, as Latin-1. A pipe, a device or
// a file above kMaxBytes is refused: a null text, and failure says why ("The file x cannot be
// imported: ...").
QString read(const QString& path, const ResourceModule& strings, QString& failure);
// Writes the text as UTF-8; the old file stays whole until the new one is complete. False with the
// reason in failure ("The file x could not be written: ...").
bool write(const QString& path, const QString& text, const ResourceModule& strings, QString& failure);

} // namespace CsvFile
