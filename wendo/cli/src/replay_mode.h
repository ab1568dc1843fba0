// wendo-run --replay FILE.wdo: shows the last report of a command file as the progress views
// show it, through the document's LoadReport.
#pragma once

#include <iosfwd>
#include <string>

namespace wendo::cli {

extern const char* const kReplayModeHelp;

// 0 shown; 2 when the command file or its report cannot be read; 1 when out fails.
int RunReplayMode(const std::string& path, bool yes, bool inTerminal, std::ostream& out,
                  std::ostream& err);

} // namespace wendo::cli
