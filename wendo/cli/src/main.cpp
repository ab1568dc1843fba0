// wendo-run: the command model and engine driven from a terminal. Each mode lives in its own
// source file; this file only reads the options and dispatches.
#include "check_mode.h"
#include "parse_mode.h"

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
    CLI::App app{"wendo-run: batch-edit HTML and text files from a terminal"};
    app.footer(std::string("\n") + wendo::cli::kParseModeHelp + "\n" + wendo::cli::kCheckModeHelp +
               "\nExit status: 0 on success, 1 when the output cannot be written or on an\n"
               "internal error, 2 on a usage error or an unreadable input.");

    std::string parseFile;
    CLI::Option* parseOption =
        app.add_option("--parse", parseFile, "Print what each command line of FILE parses to")
            ->type_name("FILE");
    std::string checkFile;
    CLI::Option* checkOption =
        app.add_option("--check", checkFile, "Load the command file FILE and print what it holds")
            ->type_name("FILE");
    bool yes = false;
    app.add_flag("--yes", yes, "Answer Yes to the questions of --check (skip bad commands)")
        ->needs(checkOption);
    parseOption->excludes(checkOption);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kUsageError;
    }

    if (parseOption->count() > 0) {
        return wendo::cli::RunParseMode(parseFile, std::cout, std::cerr);
    }
    if (checkOption->count() > 0) {
        using wendo::cli::ReadErrorAnswer;
        return wendo::cli::RunCheckMode(checkFile,
                                        yes ? ReadErrorAnswer::Yes : ReadErrorAnswer::AskOrNo,
                                        isatty(STDIN_FILENO) != 0, std::cin, std::cout, std::cerr);
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
