// wendo-run FILE.wdo: runs a command file on the engine, showing the progress on the terminal.
#pragma once

#include <iosfwd>
#include <string>

namespace wendo {
class WriteCapture;
}

namespace wendo::cli {

// The run's part of --help.
extern const char* const kRunModeHelp;

// Exit statuses of a run.
namespace RunExit {
inline constexpr int kDone = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kNotLoaded = 2;
inline constexpr int kCancelled = 3;
inline constexpr int kNoReport = 4;
} // namespace RunExit

struct RunFlags
{
    bool dryRun = false; // WRITE2FILE=NO for this run
    bool yes = false;    // answer Yes to every question
    bool pace = false;   // the desktop program's pauses between steps
    bool quiet = false;  // no progress output
    // Takes what the run would write, which then writes nothing (see WriteCapture).
    WriteCapture* capture = nullptr;
};

// Loads the command file at path (native) and runs it. Progress goes to out (a redrawn line
// when out is a terminal, plain lines otherwise), questions and errors to err, answers come
// from the terminal. Ctrl-C, SIGTERM and SIGHUP stop the run cleanly, a question waiting for
// its answer included (the caller installs os::CatchStopSignals and os::IgnoreBrokenPipes).
// Returns a RunExit status.
int RunRunMode(const std::string& path, const RunFlags& flags, bool inTerminal, bool outTerminal,
               std::ostream& out, std::ostream& err);

} // namespace wendo::cli
