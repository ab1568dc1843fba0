// wendo-run: the command model and engine driven from a terminal. Each mode lives in its own
// source file; this file only reads the options and dispatches.
#include "check_mode.h"
#include "os/signals.h"
#include "parse_mode.h"
#include "replay_mode.h"
#include "run_mode.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kFailure = 1;
// Usage errors and unreadable inputs share the status 2.
constexpr int kUsageError = 2;

int Dispatch(int argc, char** argv)
{
    CLI::App app{"wendo-run: batch-edit HTML and text files from a terminal\n"
                 "  wendo-run [--dry-run] [--yes] [--pace] [--quiet] FILE.wdo\n"
                 "  wendo-run --replay FILE.wdo\n"
                 "  wendo-run --check FILE | --parse FILE"};
    app.footer(std::string("\n") + wendo::cli::kRunModeHelp + "\n" + wendo::cli::kReplayModeHelp +
               "\n" + wendo::cli::kParseModeHelp + "\n" + wendo::cli::kCheckModeHelp +
               "\nExit status of --parse and --check: 0 on success, 1 when the output cannot be\n"
               "written or on an internal error, 2 on a usage error or an unreadable input.");

    app.set_version_flag("--version", std::string("wendo-run ") + WENDO_VERSION_TEXT,
                         "Print the version and exit");
    std::string commandFile;
    CLI::Option* fileOption =
        app.add_option("FILE.wdo", commandFile, "The command file to run (or to replay)")
            ->type_name("");
    bool dryRun = false;
    bool pace = false;
    bool quiet = false;
    bool replay = false;
    CLI::Option* dryRunOption =
        app.add_flag("--dry-run", dryRun, "Write nothing: count what would change (WRITE2FILE=NO)");
    CLI::Option* paceOption = app.add_flag(
        "--pace", pace, "Pause between steps as the desktop program does (1 s, 25 ms, 50 ms)");
    CLI::Option* quietOption =
        app.add_flag("--quiet", quiet, "No progress output, only the totals");
    CLI::Option* replayOption =
        app.add_flag("--replay", replay, "Print the last report of FILE.wdo instead of running it");
    std::string parseFile;
    CLI::Option* parseOption =
        app.add_option("--parse", parseFile, "Print what each command line of FILE parses to")
            ->type_name("FILE");
    std::string checkFile;
    CLI::Option* checkOption =
        app.add_option("--check", checkFile, "Load the command file FILE and print what it holds")
            ->type_name("FILE");
    bool yes = false;
    app.add_flag("--yes", yes,
                 "Answer Yes to every question (skip bad commands; run on without a report)");
    parseOption->excludes(checkOption)->excludes(fileOption);
    checkOption->excludes(fileOption);
    replayOption->needs(fileOption);
    for (CLI::Option* runOnly : {dryRunOption, paceOption, quietOption}) {
        runOnly->needs(fileOption)->excludes(replayOption);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kUsageError;
    }

    const bool inTerminal = isatty(STDIN_FILENO) != 0;
    if (parseOption->count() > 0) {
        return wendo::cli::RunParseMode(parseFile, std::cout, std::cerr);
    }
    if (checkOption->count() > 0) {
        using wendo::cli::ReadErrorAnswer;
        return wendo::cli::RunCheckMode(checkFile,
                                        yes ? ReadErrorAnswer::Yes : ReadErrorAnswer::AskOrNo,
                                        inTerminal, std::cin, std::cout, std::cerr);
    }
    if (fileOption->count() > 0 && replay) {
        return wendo::cli::RunReplayMode(commandFile, yes, inTerminal, std::cin, std::cout,
                                         std::cerr);
    }
    if (fileOption->count() > 0) {
        os::CatchStopSignals();
        wendo::cli::RunFlags flags;
        flags.dryRun = dryRun;
        flags.yes = yes;
        flags.pace = pace;
        flags.quiet = quiet;
        return wendo::cli::RunRunMode(commandFile, flags, inTerminal, isatty(STDOUT_FILENO) != 0,
                                      std::cin, std::cout, std::cerr);
    }
    std::cerr << app.help();
    return kUsageError;
}

} // namespace

int main(int argc, char** argv)
{
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
