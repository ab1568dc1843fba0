#include "engine/FilePreview.h"

#include "engine/Notifications.h"
#include "engine/ParseProcess.h"
#include "os/file.h"
#include "os/path.h"

namespace wendo {

FilePreview::FilePreview(const CWendoDoc& document)
{
    m_doc.Commands = document.Commands;
    m_doc.FromLine = document.FromLine;
    m_doc.ToLine = document.ToLine;
    m_doc.Rewind = document.Rewind;
    // What a run that writes would write, whatever the document says about writing.
    m_doc.NoWrite = 0;
    m_doc.Backup = 0;
    m_doc.Report = 0;
}

FilePreview::Result FilePreview::Run(const std::string& path, const std::function<bool()>& stop)
{
    Result result;
    const std::string native = os::ToNative(path);
    os::FileStatus status;
    if (os::GetStatus(native, status) != os::FileError::None || !status.regular) {
        result.message = "ERROR: Can't open file";
        return result;
    }
    result.size = status.size;
    if (status.size > kSizeLimit) {
        result.outcome = Outcome::TooLarge;
        return result;
    }
    if (os::ReadWholeFile(native, result.before) != os::FileError::None) {
        result.message = "ERROR: Can't open file";
        return result;
    }
    std::vector<const CParseCmd*> commands;
    for (const CParseCmdList& command : m_doc.Commands) {
        commands.push_back(&command);
    }
    m_doc.ResetCounters();
    m_doc.Run.SetFileMessage("");
    CParseProcess process(m_doc, nullptr, RunSettings{false, {}});
    if (stop) {
        process.SetStopCheck(stop);
    }
    const int16_t r = process.ProcessCommands(path, commands);
    if (r == FileResult::MODIFIED && process.NeedsWriteBack()) {
        const bool read = process.ResultText(result.after);
        process.DeleteWorkFiles();
        result.outcome = read ? Outcome::Changed : Outcome::Failed;
        if (!read) {
            result.message = "ERROR: Can't open temp file";
        } else if (result.after == result.before) {
            result.outcome = Outcome::Unchanged;
        }
    } else if (r == FileResult::STOPPED) {
        result.outcome = Outcome::Stopped;
    } else if (r == FileResult::UNCHANGED || r == FileResult::NOTHING) {
        result.outcome = Outcome::Unchanged;
        result.after = result.before;
    } else {
        result.message = m_doc.Run.FileMessage();
    }
    return result;
}

} // namespace wendo
