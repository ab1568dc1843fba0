// What wendo-run prints at the end of a run and of a replay: the state, the totals with their
// meanings, and the count of each command.
#pragma once

#include <iosfwd>

namespace wendo {
class CWendoDoc;
}

namespace wendo::cli {

void PrintSummary(const CWendoDoc& doc, std::ostream& out);

} // namespace wendo::cli
