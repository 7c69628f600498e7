#pragma once

#include <QString>

struct AppSettings;
class UserPrompt;

// What the "Set Environment" dialog edits: the separator of sequence files (Tsr), the separator
// of monitoring output files (Txt) and their extension (Ext); 0 is TAB, 1 a comma.
struct FileFormatSettings {
    int Tsr = 0;
    int Txt = 0;
    QString Ext;

    static FileFormatSettings from(const AppSettings& settings);
    // The dialog's OK: the extension loses its leading and trailing blanks; when nothing is left,
    // "Enter the extension." is shown, nothing changes and the result is false (the dialog stays
    // open). An extension with a character no file name can hold ("/", NUL) is refused the same
    // way. Otherwise the three values go into the settings.
    bool applyTo(AppSettings& settings, UserPrompt& prompt) const;
};
