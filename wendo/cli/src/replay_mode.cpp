#include "replay_mode.h"

#include "core/MessageTarget.h"
#include "core/StringTable.h"
#include "engine/EngineServices.h"
#include "engine/Notifications.h"
#include "engine/Report.h"
#include "model/WendoDoc.h"
#include "os/path.h"
#include "run_summary.h"
#include "terminal_prompter.h"
#include "terminal_text.h"

#include <ostream>

namespace wendo::cli {

const char* const kReplayModeHelp =
    "--replay FILE.wdo reads the report of the command file's last run (as the report window\n"
    "of the desktop program does) and prints one line per file it lists (path, message, and\n"
    "size and times when the run recorded them), then the state, the totals and the changes\n"
    "of each command. Exit status 2 when the command file or its report cannot be read.\n";

namespace {

// Prints each row of the report as the reader hands it over (on the calling thread).
class RowPrinter final : public core::MessageTarget
{
public:
    RowPrinter(const CWendoDoc& doc, std::ostream& out) : m_doc(doc), m_out(out) {}

    void Post(uint32_t, intptr_t, void*) override {}

    intptr_t Send(uint32_t message, intptr_t, void*) override
    {
        if (message != WMU_ADD_FILE_LINE) {
            return 0;
        }
        const RunRecord& run = m_doc.Run;
        // The reader puts the row's path in the status field.
        m_out << '"' << ForTerminal(run.Status()) << "\" " << ForTerminal(run.FileMessage());
        if (m_withStatistics) {
            m_out << "  size " << run.FileSize.load() << ", modified "
                  << FormatReportTime(run.FileModifTime.load()) << ", accessed "
                  << FormatReportTime(run.FileAccessTime.load());
        }
        m_out << '\n';
        return 0;
    }

    void SetWithStatistics(bool with) { m_withStatistics = with; }

private:
    const CWendoDoc& m_doc;
    std::ostream& m_out;
    bool m_withStatistics = false;
};

} // namespace

int RunReplayMode(const std::string& path, bool yes, bool inTerminal, std::ostream& out,
                  std::ostream& err)
{
    TerminalPrompter prompter(yes, inTerminal, err);
    const auto doc = core::OpenDocumentFile<CWendoDoc>(os::FromNative(path), &prompter);
    if (doc == nullptr) {
        return 2;
    }
    RowPrinter rows(*doc, out);
    rows.SetWithStatistics(doc->HasFileStatCommand() != 0);
    EngineServices services(&rows, {});
    doc->SetRunServices(&services);
    out << "Report " << ForTerminal(os::ForDisplay(doc->ReportFilePath())) << '\n';
    if (doc->LoadReport() == 0) {
        err << "wendo-run: " << core::LoadString(core::Msg::REPORT_NOT_VALID) << '\n';
        return 2;
    }
    PrintSummary(*doc, doc->Run.ReportedState(), out);
    out.flush();
    if (!out) {
        err << "wendo-run: cannot write the output\n";
        return 1;
    }
    return 0;
}

} // namespace wendo::cli
