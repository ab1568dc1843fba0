// What wendo-run prints at the end of a run and of a replay: the state, the totals with their
// meanings, and the count of each command.
#pragma once

#include <iosfwd>
#include <string_view>

namespace wendo {
class CWendoDoc;
}

namespace wendo::cli {

// state is the run's state line: the run record's status after a run, the report header's
// STATE after a replay.
void PrintSummary(const CWendoDoc& doc, std::string_view state, std::ostream& out);

} // namespace wendo::cli
