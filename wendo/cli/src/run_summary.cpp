#include "run_summary.h"

#include "model/WendoDoc.h"
#include "terminal_text.h"

#include <cstdio>
#include <iomanip>
#include <ostream>

namespace wendo::cli {

void PrintSummary(const CWendoDoc& doc, std::string_view state, std::ostream& out)
{
    const RunRecord& run = doc.Run;
    auto row = [&out](const char* name, int64_t value) {
        out << "  " << std::left << std::setw(38) << name << value << '\n';
    };
    out << ForTerminal(state) << '\n';
    row("files expected (MAXINC)", run.MaxInc.load());
    row("files modified (TOTALMODIFIED)", run.TotalModified.load());
    row("files passed over (TOTALEXCLUDE)", run.TotalExclude.load());
    row("replacements (TOTALITERATION)", run.TotalIteration.load());
    row("folders excluded (TOTALDIREXCLUDE)", run.TotalDirExclude.load());
    row("folders modified (TOTALDIRMODIFIED)", run.TotalDirModified.load());
    const std::vector<int32_t> counters = run.Counters();
    if (counters.empty()) {
        return;
    }
    out << "Changes by command:\n";
    auto command = doc.Commands.begin();
    for (std::size_t i = 1; i < counters.size(); ++i) {
        char number[24];
        std::snprintf(number, sizeof number, "%2zu", i);
        std::string label = "(not in the command file)";
        if (command != doc.Commands.end()) {
            // A command's text comes from the command file and may hold any byte.
            label = ForTerminal(command->Label.empty() ? command->Text : command->Label);
            ++command;
        }
        out << "  " << number << ". " << std::left << std::setw(30) << label << ' ' << counters[i]
            << '\n';
    }
    out << "  total" << std::string(30, ' ') << counters[0] << '\n';
}

} // namespace wendo::cli
