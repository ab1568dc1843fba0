// wendo-run --diff FILE.wdo: what a run would change, as a unified diff on standard output.
#pragma once

#include <iosfwd>
#include <string>

namespace wendo::cli {

struct RunFlags;

// The mode's part of --help.
extern const char* const kDiffModeHelp;

// Runs the command file without writing anything, printing to outHandle (a descriptor) the
// diff of each file a run would change; progress, the totals and errors go to err. Returns a
// RunExit status.
int RunDiffMode(const std::string& path, RunFlags flags, bool inTerminal, bool errTerminal,
                int outHandle, std::ostream& err);

} // namespace wendo::cli
