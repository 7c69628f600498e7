#pragma once

#include "cli/CliPrompt.h"
#include "link/LinkOptions.h"
#include "model/AppSettings.h"
#include "model/ProfileStore.h"
#include "ui/ResourceModule.h"

class QTextStream;

// What every tessorctl command works with: the settings loaded from the user's profile (never
// written back), the prompt, the resource module and the output streams. Commands that need more
// (the instrument link, a clock) build it from these.
struct CliContext {
    CliContext(QTextStream& out, QTextStream& err, QString profilePath = ProfileStore::defaultPath())
        : profile(std::move(profilePath)), prompt(err), out(out), err(err)
    {
    }

    AppSettings settings;
    // --port and --gpib as given so far: a controller's --port may come before its --gpib.
    LinkOptions link;
    ProfileStore profile;
    CliPrompt prompt;
    ResourceModule resources;
    QTextStream& out;
    QTextStream& err;
};
