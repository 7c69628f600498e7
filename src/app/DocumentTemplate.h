#pragma once

#include "app/ShellServices.h"

#include <QString>

// The fields of a document template's string-table entry ("window title\ndocument name\nnew-file
// name\nfilter name\nextensions\nfile type id\nfile type name"): the worksheet template's entry
// names the documents and gives the file filter and default extension of the file dialogs.
struct DocumentTemplate {
    QString windowTitle;
    QString documentName;
    QString fileNewName;
    QString filterName;
    QString filterExtensions; // ".tsr;.txt"
    QString fileTypeId;
    QString fileTypeName;

    static DocumentTemplate fromString(const QString& entry);

    // The filter of the file dialogs (patterns from the extensions); no name when the template has none.
    FileFilter filter() const;
    // The extension without its point that a typed name without one receives ("tsr").
    QString defaultSuffix() const;
};
