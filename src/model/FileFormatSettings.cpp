#include "model/FileFormatSettings.h"

#include "model/AppSettings.h"
#include "ui/UserPrompt.h"

FileFormatSettings FileFormatSettings::from(const AppSettings& settings)
{
    return FileFormatSettings{settings.Tsr, settings.Txt, settings.Ext};
}

bool FileFormatSettings::applyTo(AppSettings& settings, UserPrompt& prompt) const
{
    const QString extension = Ext.trimmed();
    if (extension.isEmpty()) {
        prompt.showMessage(QStringLiteral("Enter the extension."));
        return false;
    }
    // The extension ends every log's file name: a "/" would make it a folder that is not there.
    if (extension.contains(QLatin1Char('/')) || extension.contains(QChar(0))) {
        prompt.showMessage(QStringLiteral("Enter an extension without \"/\": a file name cannot hold it."));
        return false;
    }
    settings.Tsr = Tsr;
    settings.Txt = Txt;
    settings.Ext = extension;
    return true;
}
