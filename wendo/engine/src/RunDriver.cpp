// The run driver: the worker thread, its start and end, the walk over the file set and the
// per-file protocol around the command loop.

#include "core/MessageTarget.h"
#include "core/StringTable.h"
#include "engine/Notifications.h"
#include "engine/ParseProcess.h"
#include "model/ParseCmd.h"
#include "os/clock.h"
#include "os/path.h"
#include "os/thread.h"
#include "tessel/FileList.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace wendo {

namespace {

constexpr std::string_view kStatusInit = "Initialysing parse command to process ... ";
constexpr std::string_view kStatusProcessing = "Processing ... ";
constexpr std::string_view kStatusDone = "All parsing done";
constexpr std::string_view kStatusCancel = "Cancel by user";
constexpr std::string_view kStatusNoReport = "Error: Can't access report file";

// Why the walk left something out.
constexpr std::string_view kPathTooLong = "ERROR: Path too long";
constexpr std::string_view kNameHoldsBackslash = "ERROR: Name holds a backslash";
constexpr std::string_view kCantReadFolder = "ERROR: Can't read folder";

// Suspension polls: before each entry, in each walk step, before each command.
constexpr std::uint32_t kEntryPoll = 1;
constexpr std::uint32_t kWalkPoll = 10;
constexpr std::uint32_t kCommandPoll = 50;

} // namespace

// ---- Control (interface or stop thread) ----

int CParseProcess::Launch()
{
    if (!m_alive.load() || m_worker.joinable()) {
        return 0;
    }
    m_startTime = os::WallClockSeconds();
    try {
        m_worker = std::thread(&CParseProcess::ThreadMain, this);
    } catch (const std::system_error&) {
        return 0;
    }
    return m_started.Wait(kStartTimeout) ? 1 : 0;
}

int CParseProcess::Finish()
{
    if (!m_alive.load()) {
        return 0;
    }
    StopWorker();
    return 1;
}

void CParseProcess::StopWorker()
{
    m_stop.Set();
    m_suspend.Reset();
    // Joining rather than waiting for the ended event: the worker still touches this object
    // after its last notification, until it returns.
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_finished.store(true);
}

void CParseProcess::SetSuspendEvent(bool suspended)
{
    if (suspended) {
        m_suspend.Set();
    } else {
        m_suspend.Reset();
    }
}

// ---- Worker ----

void CParseProcess::ThreadMain()
{
    // Failing to lower the priority only means the run competes with the interface.
    os::LowerCurrentThreadPriority();
    m_started.Set();
    RunAll();
    m_ended.Set();
}

bool CParseProcess::StopRequested(std::uint32_t pollMs)
{
    if (m_stop.Wait(0)) {
        return true;
    }
    // A suspended run shows every file it has finished, written.
    if (m_suspend.IsSet() && !m_staging) {
        SettleWrites();
    }
    while (m_suspend.IsSet()) {
        if (m_stop.Wait(pollMs)) {
            return true;
        }
    }
    return false;
}

void CParseProcess::Pause(std::uint32_t milliseconds) const
{
    if (m_settings.pace) {
        os::SleepMilliseconds(milliseconds);
    }
}

void CParseProcess::Notify(std::uint32_t message, intptr_t wParam)
{
    if (m_target != nullptr) {
        m_target->Post(message, wParam, &m_doc);
    }
}

void CParseProcess::SetRunStatus(std::string status, bool notify)
{
    m_doc.Run.SetStatus(std::move(status));
    if (notify) {
        Notify(WMU_STATUS);
    }
}

void CParseProcess::TakeCommands()
{
    m_commands.clear();
    for (const CParseCmdList& command : m_doc.Commands) {
        m_commands.push_back(&command);
    }
}

void CParseProcess::ScanForFileStat()
{
    m_hasFileStat = m_doc.HasFileStatCommand() != 0;
}

int16_t CParseProcess::RunAll()
{
    RunRecord& run = m_doc.Run;
    run.ResetTotals();
    m_doc.ResetCounters();
    TakeCommands();
    m_lastModifiedDir.clear();
    SetCommandPause(m_settings.pace ? kPauseAfterCommand : 0);
    SetStopCheck([this] { return StopRequested(kCommandPoll); });
    RemoveStaleWorkFolders();
    if (!m_settings.workParent.empty()) {
        // A failure shows on each file as "Can't open temp file".
        PrepareWorkFolder(m_settings.workParent);
    }

    SetRunStatus(std::string(kStatusInit), false);
    Notify(WMU_RUN_INIT);
    Notify(WMU_RUN_RESET);
    Notify(WMU_PATHS_CLEAR);

    run.Report.store(RunRecord::ReportOutcome::None);
    if (OpenReport() == 0) {
        run.Report.store(RunRecord::ReportOutcome::NotCreated);
        const core::PromptAnswer answer =
            m_doc.Ask(core::LoadString(core::Msg::CANT_ACCESS_REPORT), core::PromptButtons::YesNo,
                      core::PromptIcon::Question);
        if (answer != core::PromptAnswer::Yes) {
            m_finished.store(true);
            m_endTime = os::WallClockSeconds();
            SetRunStatus(std::string(kStatusNoReport), true);
            Notify(WMU_RUN_END, FileResult::NOT_OPENED);
            return FileResult::NOT_OPENED;
        }
    }

    if (m_report.valid()) {
        run.Report.store(RunRecord::ReportOutcome::Written);
    }
    NoteOwnFiles();
    Pause(kPauseBeforeWalk);

    int16_t result = FileResult::NOTHING;
    CFileSet& fileSet = m_doc.FileSet;
    fileSet.SetRunSignals(this);
    fileSet.PrepareExcludeList();
    int32_t expected = 0;
    const bool counted = fileSet.PreCount(expected);
    fileSet.SetRunSignals(nullptr);
    run.MaxInc.store(expected);
    if (!counted) {
        result = FileResult::STOPPED;
    } else {
        ScanForFileStat();
        SetRunStatus(std::string(kStatusProcessing), false);
        Notify(WMU_RUN_PROCESSING);
        for (const CFileList& stored : fileSet.Entries()) {
            if (StopRequested(kEntryPoll)) {
                result = FileResult::STOPPED;
                break;
            }
            CFileList entry = fileSet.RunEntry(stored);
            result = WalkEntry(entry, true);
            SettleWrites();
            m_folderSyncs.Flush();
            if (result < FileResult::UNCHANGED) {
                break;
            }
            Notify(WMU_COUNTERS);
        }
    }

    // Every replaced file is on disk before the report says so.
    SettleWrites();
    StopCommitter();
    m_folderSyncs.Flush();
    m_finished.store(true);
    m_endTime = os::WallClockSeconds();
    SetRunStatus(std::string(result != FileResult::STOPPED ? kStatusDone : kStatusCancel), true);
    CloseReport();
    Notify(WMU_RUN_END, result);
    return result;
}

void CParseProcess::NoteOwnFiles()
{
    m_ownFiles.clear();
    os::FileStatus status;
    if (os::GetStatus(os::ToNative(m_doc.GetPathName()), status) == os::FileError::None) {
        m_ownFiles.emplace_back(status.device, status.inode);
    }
    if (m_report.valid() && os::GetHandleStatus(m_report.get(), status) == os::FileError::None) {
        m_ownFiles.emplace_back(status.device, status.inode);
    }
}

bool CParseProcess::IsOwnFile(const std::string& path) const
{
    os::FileStatus status;
    if (m_ownFiles.empty() || os::GetStatus(os::ToNative(path), status) != os::FileError::None) {
        return false;
    }
    return std::find(m_ownFiles.begin(), m_ownFiles.end(),
                     std::make_pair(status.device, status.inode)) != m_ownFiles.end();
}

int16_t CParseProcess::WalkEntry(CFileList& entry, bool recurse)
{
    RunRecord& run = m_doc.Run;
    if (StopRequested(kWalkPoll)) {
        return FileResult::STOPPED;
    }
    if (entry.IsExclude() != 0) {
        return FileResult::UNCHANGED;
    }
    switch (entry.GetItemFault()) {
    case CFileList::ItemFault::NameHoldsBackslash:
        LeaveOut(entry.GetListedFolder() + '\\', entry.GetListedName(), kNameHoldsBackslash);
        return FileResult::UNCHANGED;
    case CFileList::ItemFault::PathTooLong:
        LeaveOut(entry.GetListedFolder() + '\\', entry.GetListedName(), kPathTooLong);
        return FileResult::UNCHANGED;
    case CFileList::ItemFault::None:
        break;
    }
    if (entry.IsFile() != 0) {
        // Never cut to fit: a cut path names another file.
        if (entry.IsTooLong() != 0) {
            LeaveOut(entry.GetHostRoot(), entry.GetFileName(), kPathTooLong);
            return FileResult::UNCHANGED;
        }
        // The run's own command file and report may lie in a walked folder; editing them
        // would corrupt the report being written and the commands being run.
        if (m_doc.FileSet.IsExcluded(entry) || IsOwnFile(entry.GetFileFullPath())) {
            run.TotalExclude.fetch_add(1);
            Notify(WMU_COUNTERS);
            return FileResult::UNCHANGED;
        }
        const int16_t r = ProcessFile(entry);
        ConcludeFile(r, entry.GetHostRoot());
        return r;
    }

    if (!recurse) {
        run.TotalDirExclude.fetch_add(1);
        return FileResult::UNCHANGED;
    }
    // An excluded directory is still walked: its files meet the exclusion test one by one.
    if (m_doc.FileSet.IsExcluded(entry)) {
        run.TotalDirExclude.fetch_add(1);
    }
    Notify(WMU_COUNTERS);
    int16_t r = FileResult::UNCHANGED;
    if (entry.FindFirst(CFileList::SORT_NAME) != 0) {
        const bool childRecurse = entry.IsRecursive() != 0;
        CFileList child;
        while (entry.FindNext(child) != 0) {
            r = WalkEntry(child, childRecurse);
            if (r < FileResult::UNCHANGED) {
                break;
            }
        }
    } else if (entry.GetListingError() != 0) {
        // A folder that vanished since its parent was listed, cannot be opened, or whose path
        // is longer than the system takes: what it held was not walked, and the run says so.
        LeaveOut(entry.GetHostRoot(), std::string(),
                 entry.GetListingError() == ENAMETOOLONG ? kPathTooLong : kCantReadFolder);
    }
    entry.FindEnd();
    m_folderSyncs.Flush();
    return r;
}

void CParseProcess::LeaveOut(const std::string& directory, const std::string& name,
                             std::string_view why)
{
    PendingRow row = RowInRecord();
    row.result = FileResult::NOT_OPENED;
    row.shown = true;
    row.fileName = name;
    row.directory = os::ForDisplay(directory);
    row.message = why;
    QueueRow(std::move(row));
}

int16_t CParseProcess::ProcessFile(const CFileList& entry)
{
    RunRecord& run = m_doc.Run;
    const std::string path = entry.GetFileFullPath();
    run.FilesStarted.fetch_add(1);
    // The size is known once the file is held (ProcessCommands).
    run.ProgressTotal.store(0);
    run.ProgressDone.store(0);
    run.SetFileName(entry.GetFileName());
    run.SetDirectory(os::ForDisplay(entry.GetHostRoot()));
    run.SetFileMessage("");
    Notify(WMU_FILE_BEGIN);
    Notify(WMU_FILE_NAME);

    int16_t r = ProcessCommands(path, m_commands);
    if (r == FileResult::MODIFIED && NeedsWriteBack()) {
        r = WriteBackFile(path);
    }
    DeleteWorkFiles();
    m_source.Close();
    return r;
}

} // namespace wendo
