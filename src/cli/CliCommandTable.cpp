#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include <QTextStream>

const std::vector<CliCommand>& cliCommands()
{
    static const std::vector<CliCommand> commands{
        {"show", "FILE [--json]", "reads a sequence file as the program opens it and prints it",
         runShowCommand},
        {"resave", "IN OUT", "reads a sequence file and saves it again as the program saves it",
         runResaveCommand},
        {"import",
         "CSV OUT.tsr [--channel N] [--mode M] [--control soft|hard] [--unit U] [--interval T] [--force]",
         "reads spreadsheet columns under the worksheet's rules into a new sequence file; the changed and "
         "refused rows go to stderr, and refused rows mean exit 1 and no file unless --force",
         runImportCommand},
        {"export", "FILE [--channel N] [-o OUT.csv]",
         "writes the steps of a sequence file as CSV columns, every channel or one, to OUT or stdout",
         runExportCommand},
        {"write", "FILE --channels LIST", "writes channels of a Hardware Control file into the instrument",
         runWriteCommand},
        {"read", "--channels LIST -o OUT.tsr", "reads channels from the instrument into a new sequence file",
         runReadCommand},
        {"ranges", "--channels LIST --cc HIGH|MED|LOW --cv HIGH|LOW", "sets the instrument's ranges",
         runRangesCommand},
        {"idn", "", "identifies the instrument and prints its reply", runIdnCommand},
        {"run", "FILE [--channels LIST]",
         "runs the channels of a sequence file (default: every channel with steps) as Run all does; exit 0 "
         "when all ended, 3 on a UVP/UCP trip, 1 on an error, 130 when stopped by Ctrl-C or SIGTERM",
         runRunCommand},
        {"log", "FILE [--json] [--png OUT [--size WxH]]",
         "reads a monitoring log (the first file of a cut series reads them all) and prints each channel's "
         "figures, charge and energy among them, or draws its plot into a PNG or SVG image (default "
         "1600x900)",
         runLogCommand},
    };
    return commands;
}

const std::vector<CliOption>& cliOptions()
{
    static const std::vector<CliOption> options{
        {"--set", "KEY=VALUE", "overrides a Config setting of the profile for this run (repeatable)",
         applySetOption},
        {"--port", "DEV",
         "talks to the instrument over this serial device, or \"simulator\", for this run; with --gpib "
         "prologix:ADDRESS, the controller's serial device or tcp:HOST:PORT",
         applyPortOption},
        {"--gpib", "MAKER:ADDRESS",
         "talks to the instrument over GPIB for this run; MAKER is ni, interface, contec, ratoc, ratoc-usb "
         "or "
         "prologix (a Prologix-compatible controller)",
         applyGpibOption},
    };
    return options;
}

bool splitCommandArguments(CliContext& context, const QStringList& arguments, const QStringList& knownFlags,
                           CommandArguments& result)
{
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (!knownFlags.contains(argument)) {
                context.err << "tessorctl: unknown option " << argument << Qt::endl;
                return false;
            }
            if (!result.flags.contains(argument))
                result.flags << argument;
        } else {
            result.positional << argument;
        }
    }
    return true;
}
