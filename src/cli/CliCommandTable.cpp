#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include <QTextStream>

const std::vector<CliCommand>& cliCommands()
{
    static const std::vector<CliCommand> commands{
        {"show", "FILE [--json]", "reads a sequence file as the program opens it and prints it",
         runShowCommand,
         "  --json             one JSON object (result, messages, control, unit, seqMode, channels)\n"
         "\nThe reader's messages go to stderr (with --json into the object); a file that opens with a\n"
         "message is shown as the program shows it, with exit status 0.\n"},
        {"resave", "IN OUT [--force]", "reads a sequence file and saves it again as the program saves it",
         runResaveCommand,
         "  --force            save what was read even when the reader reported a message (without it\n"
         "                     nothing is written then, exit status 1)\n"},
        {"import",
         "CSV OUT.tsr [--channel N] [--mode M] [--control soft|hard] [--unit U] [--interval T] [--force]",
         "reads spreadsheet columns under the worksheet's rules into a new sequence file; the changed and "
         "refused rows go to stderr, and refused rows mean exit 1 and no file unless --force",
         runImportCommand},
        {"export", "FILE [--channel N] [-o OUT.csv]",
         "writes the steps of a sequence file as CSV columns, every channel or one, to OUT or stdout",
         runExportCommand},
        {"write", "FILE --channels LIST [--force]",
         "writes channels of a Hardware Control file into the instrument", runWriteCommand,
         "  --channels LIST    the channels to write: 1,3 or 2-4 or 1,3-5\n"
         "  --force            write what was read even when the reader reported a message\n"
         "\nCtrl-C, SIGTERM or SIGHUP stop the write after the step under way and say what the instrument\n"
         "now holds (exit status 130).\n"},
        {"read", "--channels LIST -o OUT.tsr", "reads channels from the instrument into a new sequence file",
         runReadCommand,
         "  --channels LIST    the channels to read: 1,3 or 2-4 or 1,3-5\n"
         "  -o OUT.tsr         the file to write; it is checked before anything is read\n"
         "\nCtrl-C, SIGTERM or SIGHUP stop the read after the step under way; nothing is written then\n"
         "(exit status 130).\n"},
        {"ranges", "--channels LIST --cc HIGH|MED|LOW --cv HIGH|LOW", "sets the instrument's ranges",
         runRangesCommand,
         "  --channels LIST    the channels to set: 1,3 or 2-4 or 1,3-5\n"
         "  --cc HIGH|MED|LOW  the constant-current range\n"
         "  --cv HIGH|LOW      the constant-voltage range\n"
         "\nA Software Control run sets each channel's current range from the profile (RangeCC1 to\n"
         "RangeCC5) again; tessorctl never writes the profile, so give run --set RangeCCn=0|1|2 (HIGH,\n"
         "MED, LOW) to keep a range set here.\n"},
        {"idn", "", "identifies the instrument and prints its reply", runIdnCommand},
        {"run", "FILE [--channels LIST] [--force]",
         "runs the channels of a sequence file (default: every channel with steps) as Run all does; exit 0 "
         "when all ended, 3 on a UVP/UCP trip, 1 on an error, 130 when stopped by Ctrl-C, SIGTERM or SIGHUP",
         runRunCommand,
         "  --channels LIST    the channels to run: 1,3 or 2-4 or 1,3-5 (default: every channel with steps)\n"
         "  --force            run what was read even when the reader reported a message\n"
         "\nCtrl-C, SIGTERM or SIGHUP stop every channel as Stop all does. An under-voltage (UvpOnN) or\n"
         "under-current (UcpOnN) protection is checked only on readings taken at the monitoring\n"
         "interval of its quantity (--set Volt=1, --set Curr=1): run warns when it would check nothing.\n"},
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
         "talks to the instrument over this serial device (COMn is /dev/ttyS(n-1)), or \"simulator\", for "
         "this run; with --gpib prologix:ADDRESS, the controller's serial device or tcp:HOST:PORT",
         applyPortOption},
        {"--gpib", "MAKER:ADDRESS",
         "talks to the instrument over GPIB for this run; MAKER is ni, interface, contec, ratoc, ratoc-usb "
         "or prologix (a Prologix-compatible controller), ADDRESS 1 to 14",
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
                usageError(context, QStringLiteral("unknown option '%1'").arg(argument));
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
