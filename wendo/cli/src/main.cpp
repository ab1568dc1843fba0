// wendo-run: the command model and engine driven from a terminal. Each mode lives in its own
// source file; this file only reads the options and dispatches.
#include "check_mode.h"
#include "diff_mode.h"
#include "os/clock.h"
#include "os/signals.h"
#include "parse_mode.h"
#include "replay_mode.h"
#include "run_mode.h"
#include "undo_mode.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFailure = 1;
// Usage errors and unreadable inputs share the status 2.
constexpr int kUsageError = 2;

int Dispatch(int argc, char** argv)
{
    CLI::App app{"wendo-run: batch-edit HTML and text files from a terminal\n"
                 "  wendo-run [--dry-run] [--yes] [--pace] [--quiet] FILE.wdo\n"
                 "  wendo-run --replay FILE.wdo\n"
                 "  wendo-run --diff FILE.wdo | --undo FILE.wdo\n"
                 "  wendo-run --check FILE | --parse FILE\n"
                 "Options and FILE may come in any order; \"--\" ends the options."};
    app.footer(std::string("\n") + wendo::cli::kRunModeHelp + "\n" + wendo::cli::kReplayModeHelp +
               "\n" + wendo::cli::kDiffModeHelp + "\n" + wendo::cli::kUndoModeHelp + "\n" +
               wendo::cli::kParseModeHelp + "\n" + wendo::cli::kCheckModeHelp +
               "\nRegular expressions: FINDREPL REGEX DELIMITER ~PATTERN~ VALUE ~REPLACEMENT~\n"
               "replaces every match of a PCRE2 pattern (bytes, multi-line, ignoring case without\n"
               "CASESENS); the replacement takes $0, $1-$99, ${name} and $$. See docs/USAGE.md.\n"
               "\nExit status of --parse and --check: 0 on success, 1 when the output cannot be\n"
               "written or on an internal error, 2 on a usage error or an unreadable input.");

    app.set_version_flag("--version", std::string("wendo-run ") + WENDO_VERSION_TEXT,
                         "Print the version and exit");
    // FILE is the one positional argument; every option is a flag, so that the options and
    // the file come in any order.
    std::string file;
    CLI::Option* fileOption =
        app.add_option("FILE", file, "The command file (or, with --parse, the command lines)")
            ->type_name("");

    // At most one mode; without one, FILE is run.
    bool replay = false;
    bool parse = false;
    bool check = false;
    bool undo = false;
    const std::vector<CLI::Option*> modes = {
        app.add_flag("--replay", replay, "Print the last report of FILE instead of running it"),
        app.add_flag("--parse", parse, "Print what each command line of FILE parses to"),
        app.add_flag("--check", check, "Load the command file FILE and print what it holds"),
        app.add_flag("--undo", undo, "Take back the last run of FILE from its backups"),
    };
    bool dryRun = false;
    bool pace = false;
    bool quiet = false;
    const std::vector<CLI::Option*> runOnly = {
        app.add_flag("--dry-run", dryRun, "Write nothing: count what would change (WRITE2FILE=NO)"),
        app.add_flag("--pace", pace,
                     "Pause between steps as the desktop program does (1 s, 25 ms, 50 ms)"),
        app.add_flag("--quiet", quiet, "No progress output, only the totals"),
    };
    bool yes = false;
    app.add_flag("--yes", yes,
                 "Answer Yes to every question (skip bad commands; run on without a report)");
    for (CLI::Option* mode : modes) {
        mode->needs(fileOption);
        for (CLI::Option* other : modes) {
            if (other != mode) {
                mode->excludes(other);
            }
        }
        for (CLI::Option* option : runOnly) {
            option->excludes(mode);
        }
    }
    for (CLI::Option* option : runOnly) {
        option->needs(fileOption);
    }
    // A diff is a run that writes nothing: it takes the run's flags but --dry-run.
    bool diff = false;
    CLI::Option* diffOption = app.add_flag(
        "--diff", diff, "Write nothing: print what a run would change as a unified diff");
    diffOption->needs(fileOption);
    diffOption->excludes(runOnly.front());
    for (CLI::Option* mode : modes) {
        diffOption->excludes(mode);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kUsageError;
    }

    os::IgnoreBrokenPipes();
    const bool inTerminal = isatty(STDIN_FILENO) != 0;
    if (fileOption->count() == 0) {
        std::cerr << app.help();
        return kUsageError;
    }
    if (undo) {
        return wendo::cli::RunUndoMode(file, std::cout, std::cerr);
    }
    if (parse) {
        return wendo::cli::RunParseMode(file, std::cout, std::cerr);
    }
    // A stop signal answers a question waiting on the terminal No, in every mode that asks.
    os::CatchStopSignals();
    if (check || replay) {
        using wendo::cli::ReadErrorAnswer;
        const int status =
            check ? wendo::cli::RunCheckMode(file,
                                             yes ? ReadErrorAnswer::Yes : ReadErrorAnswer::AskOrNo,
                                             inTerminal, std::cout, std::cerr)
                  : wendo::cli::RunReplayMode(file, yes, inTerminal, std::cout, std::cerr);
        return os::StopSignalled() ? wendo::cli::RunExit::kCancelled : status;
    }
    wendo::cli::RunFlags flags;
    flags.dryRun = dryRun;
    flags.yes = yes;
    flags.pace = pace;
    flags.quiet = quiet;
    if (diff) {
        return wendo::cli::RunDiffMode(file, flags, inTerminal, isatty(STDERR_FILENO) != 0,
                                       STDOUT_FILENO, std::cerr);
    }
    return wendo::cli::RunRunMode(file, flags, inTerminal, isatty(STDOUT_FILENO) != 0, std::cout,
                                  std::cerr);
}

} // namespace

int main(int argc, char** argv)
{
    os::PinLocalTimeZone();
    // Nothing may escape main: an exception there would end the program without a message.
    try {
        return Dispatch(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "wendo-run: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "wendo-run: unexpected error\n";
    }
    return kFailure;
}
