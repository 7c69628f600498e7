#pragma once

#include "cli/CliPrompt.h"
#include "link/LinkOptions.h"
#include "model/AppSettings.h"
#include "model/ProfileStore.h"
#include "ui/ResourceModule.h"
#include "ui/StopFlag.h"

class QTextStream;
struct CliCommand;

// What every tessorctl command works with: the settings loaded from the user's profile (never
// written back), the prompt, the resource module, the output streams and the stop request that
// the stop signals set while an instrument command runs. Commands that need more (the instrument
// link, a clock) build it from these.
struct CliContext {
    CliContext(QTextStream& out, QTextStream& err, QString profilePath = ProfileStore::defaultPath())
        : profile(std::move(profilePath)), prompt(err), out(out), err(err)
    {
    }

    // Whether the profile names the link (any of Interface, Port, PortDevice, Maker, Address).
    bool profileNamesLink() const;

    AppSettings settings;
    // --port and --gpib as given so far: a controller's --port may come before its --gpib.
    LinkOptions link;
    ProfileStore profile;
    CliPrompt prompt;
    ResourceModule resources;
    QTextStream& out;
    QTextStream& err;
    StopFlag stop;
    // The command being run; null while the command line is read.
    const CliCommand* command = nullptr;
    // --port or --gpib was given.
    bool linkChosen = false;
};
