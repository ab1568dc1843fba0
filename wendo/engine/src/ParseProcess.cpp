// The per-file command loop of the parse process and what every command shares: counting,
// the file's message, errors. Worker thread only.

#include "engine/ParseProcess.h"

#include "brio/scan.h"
#include "core/MessageTarget.h"
#include "engine/Notifications.h"
#include "model/ParseCmd.h"
#include "model/WendoDoc.h"
#include "os/clock.h"
#include "os/path.h"

namespace wendo {

CParseProcess::CParseProcess(CWendoDoc& document, core::MessageTarget* target, RunSettings settings)
    : m_doc(document), m_target(target), m_settings(std::move(settings))
{
}

CParseProcess::~CParseProcess()
{
    m_alive.store(false);
    StopWorker();
    StopCommitter();
    m_report.reset();
    CloseWorkFiles();
}

bool CParseProcess::DryRun() const
{
    return m_doc.NoWrite != 0;
}

// TOLINE names the first line outside the region; 0 means no limit.
bool CParseProcess::BeyondRegion() const
{
    return m_doc.ToLine != 0 && m_lineNumber >= m_doc.ToLine;
}

// Only the region's end reads the line number, so without TOLINE the lines are not counted:
// counting them cost more than the searches.
int CParseProcess::RegionLines(const char* from, const char* to) const
{
    return m_doc.ToLine != 0 ? BufferLineCount(from, to) : 0;
}

void CParseProcess::SetError(std::string_view text)
{
    // The first failure is the one worth reporting; later ones follow from it.
    if (m_errorText.empty()) {
        m_errorText = text;
    }
    m_abort = true;
}

void CParseProcess::CheckOutput()
{
    if (m_output.Failed()) {
        SetError("Wendo ERROR : Can't write temp file\n");
    }
}

void CParseProcess::CountChange()
{
    m_doc.Run.TotalIteration.fetch_add(1);
    m_doc.CountModification(m_commandPosition);
    if (m_fileChanges.size() <= m_commandPosition) {
        m_fileChanges.resize(m_commandPosition + 1, 0);
    }
    ++m_fileChanges[m_commandPosition];
    ++m_commandHits;
    if (m_target != nullptr) {
        m_target->Post(WMU_REPLACED, 0, &m_doc);
    }
}

void CParseProcess::AppendMessage(std::string_view text, bool separated)
{
    if (separated && !m_doc.Run.FileMessage().empty()) {
        m_doc.Run.AppendFileMessage(", ");
    }
    m_doc.Run.AppendFileMessage(std::string(text));
}

void CParseProcess::ForgetReplacements(std::string_view reason)
{
    UncountChanges(m_fileChanges);
    m_doc.Run.SetFileMessage(std::string(reason));
}

void CParseProcess::UncountChanges(std::vector<int32_t>& changes)
{
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (changes[i] != 0) {
            m_doc.Run.UncountModifications(i, changes[i]);
            m_doc.Run.TotalIteration.fetch_sub(changes[i]);
        }
    }
    changes.clear();
}

bool CParseProcess::StopInFile()
{
    if (!m_stopped && m_stopCheck && m_stopCheck()) {
        m_stopped = true;
        m_abort = true;
    }
    return m_stopped;
}

void CParseProcess::ReadFileStat(const std::string& path)
{
    os::FileStatus status;
    const bool known = os::GetStatus(os::ToNative(path), status) == os::FileError::None;
    m_doc.Run.FileSize.store(known ? status.size : 0);
    m_doc.Run.FileAccessTime.store(known ? status.accessed : 0);
    m_doc.Run.FileModifTime.store(known ? status.modified : 0);
}

bool CParseProcess::NeedsWriteBack() const
{
    return m_fileModified && !m_abort && m_errorText.empty() && !DryRun();
}

void CParseProcess::RunCommand(const CParseCmd& command)
{
    switch (command.Type) {
    case CmdType::FINDREPL_KEEPCONTENT:
        m_modifiedByLast = ReplaceBetweenDelimiters(true, command) != 0;
        break;
    case CmdType::FINDREPL:
        m_modifiedByLast = ReplaceBetweenDelimiters(false, command) != 0;
        break;
    case CmdType::CHANGE_ANCHOR:
        m_modifiedByLast = ChangeAnchorTags(command) != 0;
        break;
    case CmdType::CHANGE_IMG:
        m_modifiedByLast = ChangeImgTags(command) != 0;
        break;
    case CmdType::DISPLAY_FILESTAT:
        ReadFileStat(m_sourcePath);
        m_modifiedByLast = false;
        m_fileStatDone = true;
        break;
    case CmdType::REWIND:
        // Only a rewind right after a change has anything to show the next command.
        if (m_modifiedByLast) {
            m_abort = RewindWork(m_readPath) != 0;
            m_outputPending = false;
            m_modifiedByLast = false;
        }
        break;
    default:
        // A comment or an unknown command changes nothing; a flag left from the command
        // before would add a bogus entry to the message and rewind once more.
        m_modifiedByLast = false;
        break;
    }
}

int16_t CParseProcess::ProcessCommands(const std::string& path,
                                       const std::vector<const CParseCmd*>& commands)
{
    m_sourcePath = path;
    m_modifiedByLast = false;
    m_fileModified = false;
    m_outputPending = false;
    m_fileStatDone = false;
    m_abort = false;
    m_stopped = false;
    m_errorText.clear();
    m_commandHits = 0;
    m_fileChanges.clear();

    switch (m_source.Open(os::ToNative(path))) {
    case os::SourceError::None:
        break;
    case os::SourceError::NotRegular:
        // A FIFO or a device would block the run or never end.
        AppendMessage("ERROR: Not a regular file", true);
        return FileResult::FAILED;
    case os::SourceError::CannotOpen:
        AppendMessage("ERROR: Can't open file", false);
        return FileResult::NOT_OPENED;
    }
    m_doc.Run.ProgressTotal.store(static_cast<int64_t>(commands.size()) * m_source.Size());
    ChooseWorkFolder();
    if (const std::string kept = SweepSourceFolder(); !kept.empty()) {
        // Which text is right is for the user to say; editing it now would bury the question.
        m_source.Close();
        AppendMessage("ERROR: Old text of an interrupted run kept in " + kept, true);
        return FileResult::FAILED;
    }
    if (!ReadSourceOnce()) {
        DeleteWorkFiles();
        m_source.Close();
        return m_stopped ? FileResult::STOPPED : FileResult::FAILED;
    }
    if (OpenWorkFiles(m_readPath) != 0) {
        DeleteWorkFiles();
        return FileResult::NOT_OPENED;
    }
    if (commands.empty()) {
        DeleteWorkFiles();
        return FileResult::NOTHING;
    }

    m_commandPosition = 0;
    for (const CParseCmd* command : commands) {
        m_doc.Run.SetStatus("Parsing command: " + command->Label);
        m_doc.Run.CommandType.store(command->Type);
        m_doc.Run.CommandFlags.store(command->Flags);
        if (m_target != nullptr) {
            m_target->Post(WMU_COMMAND_BEGIN, 0, &m_doc);
        }
        if (StopInFile()) {
            break;
        }
        m_commandHits = 0;
        if (!m_abort) {
            RunCommand(*command);
        }
        CheckOutput();
        if (m_modifiedByLast) {
            m_outputPending = true;
            m_fileModified = true;
            // The output now holds this command's changes and receives the rest behind them,
            // so it is the work file with the complete text, even after an earlier rewind.
            m_resultFile = kWorkFile;
            AppendMessage(command->Label + "(" + std::to_string(m_commandHits) + ") ", true);
        }
        if (m_doc.Rewind != 0 && m_modifiedByLast && !m_stopped) {
            m_abort = RewindWork(m_readPath) != 0;
            m_outputPending = false;
        }
        if (m_abort) {
            break;
        }
        ++m_commandPosition;
        if (m_commandPause > 0) {
            os::SleepMilliseconds(m_commandPause);
        }
    }

    if (!m_abort && m_outputPending && !DryRun()) {
        m_abort = CopyRest() != 0;
    }
    if (!CloseWorkFiles()) {
        SetError("Wendo ERROR : Can't write temp file\n");
    }
    if (m_stopped) {
        DeleteWorkFiles();
        if (m_fileModified) {
            ForgetReplacements(kStoppedUnwritten);
        }
        return FileResult::STOPPED;
    }
    // Every abort ends the file unwritten; it is reported as a failure, never as a change.
    if (m_abort || !m_errorText.empty()) {
        m_abort = true;
        DeleteWorkFiles();
        if (!m_errorText.empty()) {
            ForgetReplacements("ERROR: " + m_errorText);
        } else if (m_fileModified) {
            ForgetReplacements("ERROR: Not written");
        }
        return FileResult::FAILED;
    }
    return m_fileModified ? FileResult::MODIFIED : FileResult::UNCHANGED;
}

} // namespace wendo
