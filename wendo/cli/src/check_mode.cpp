#include "check_mode.h"

#include "command_json.h"
#include "core/Prompter.h"
#include "model/WendoDoc.h"
#include "os/path.h"
#include "terminal_prompter.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <string_view>

namespace wendo::cli {

const char* const kCheckModeHelp =
    "--check FILE.wdo loads a command file and prints one JSON object: options (the [GLOBAL]\n"
    "keys LOGFILE, MODIFTIME, LASTRUNTIME, VERBOSE, FROMLINE, TOLINE, BACKUPEXT, BACKUP,\n"
    "REWIND, REPORT, LOGUNMODIF, WRITE2FILE with the values the document holds after the\n"
    "load), lastReportTime and reportModifTime (from the report file), paths (each file set\n"
    "entry's text form) and commands (one record per command, as --parse prints them,\n"
    "without line). A command that cannot be parsed is asked about on the terminal, answered\n"
    "No without one (the load fails), or Yes with --yes (the command is skipped). Exit\n"
    "status 2 when the file does not load.\n";

namespace {

using Json = nlohmann::ordered_json;

Json Describe(const CWendoDoc& doc)
{
    Json options;
    options["LOGFILE"] = doc.ReportPath;
    options["MODIFTIME"] = doc.ModifTime;
    options["LASTRUNTIME"] = doc.LastRunTime.load();
    options["VERBOSE"] = doc.Verbose != 0;
    options["FROMLINE"] = doc.FromLine;
    options["TOLINE"] = doc.ToLine;
    options["BACKUPEXT"] = doc.BackupExt;
    options["BACKUP"] = doc.Backup != 0;
    options["REWIND"] = doc.Rewind != 0;
    options["REPORT"] = doc.Report != 0;
    options["LOGUNMODIF"] = doc.LogUnmodified != 0;
    options["WRITE2FILE"] = doc.NoWrite == 0;

    Json paths = Json::array();
    for (const CFileList& entry : doc.FileSet.Entries()) {
        paths.push_back(entry.GetStrFileList());
    }
    Json commands = Json::array();
    for (const CParseCmdList& command : doc.Commands) {
        commands.push_back(CommandRecord(command.Text));
    }

    Json object;
    object["options"] = std::move(options);
    object["lastReportTime"] = doc.LastReportTime.load();
    object["reportModifTime"] = doc.ReportModifTime;
    object["paths"] = std::move(paths);
    object["commands"] = std::move(commands);
    return object;
}

} // namespace

int RunCheckMode(const std::string& path, ReadErrorAnswer answer, bool terminal, std::ostream& out,
                 std::ostream& err)
{
    TerminalPrompter prompter(answer == ReadErrorAnswer::Yes, terminal, err);
    const auto doc = core::OpenDocumentFile<CWendoDoc>(os::FromNative(path), &prompter);
    if (doc == nullptr) {
        return 2;
    }
    out << Describe(*doc).dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    out.flush();
    if (!out) {
        err << "wendo-run: cannot write the output\n";
        return 1;
    }
    return 0;
}

} // namespace wendo::cli
