// The write group: the files whose new texts wait to be committed together, and the rows that
// wait with them so that rows, counters and report lines keep the walk's order. Worker thread;
// the batch of the group in flight belongs to the committer thread until it is joined.

#include "core/MessageTarget.h"
#include "engine/Notifications.h"
#include "engine/ParseProcess.h"
#include "os/clock.h"

#include <system_error>
#include <utility>

namespace wendo {

namespace {

// A group is committed once it holds this many files (each holds up to five descriptors
// until then), this many bytes of new text and backups, this many rows, or once it is this
// old, so that the rows of a slow stretch still show soon.
constexpr std::size_t kGroupFiles = 64;
constexpr int64_t kGroupBytes = int64_t{32} << 20;
constexpr std::size_t kGroupRows = 4096;
constexpr int64_t kGroupAgeMs = 250;

} // namespace

CParseProcess::PendingRow CParseProcess::RowInRecord() const
{
    const RunRecord& run = m_doc.Run;
    PendingRow row;
    row.fileName = run.FileName();
    row.directory = run.Directory();
    row.message = run.FileMessage();
    row.size = run.FileSize.load();
    row.modified = run.FileModifTime.load();
    row.accessed = run.FileAccessTime.load();
    return row;
}

void CParseProcess::PutRowInRecord(const PendingRow& row)
{
    RunRecord& run = m_doc.Run;
    run.SetFileName(row.fileName);
    run.SetDirectory(row.directory);
    run.SetFileMessage(row.message);
    run.FileSize.store(row.size);
    run.FileModifTime.store(row.modified);
    run.FileAccessTime.store(row.accessed);
}

void CParseProcess::ConcludeFile(int16_t result, const std::string& hostRoot)
{
    PendingRow row = RowInRecord();
    row.result = result;
    row.staged = std::exchange(m_stagedNow, false);
    row.shown = m_doc.LogUnmodified != 0 || !row.message.empty() || FileStatDone();
    if (row.staged) {
        row.changes = m_fileChanges;
    }
    row.hostRoot = hostRoot;
    QueueRow(std::move(row));
}

void CParseProcess::QueueRow(PendingRow row)
{
    if (!row.staged && !m_inFlight && (!m_group || m_group->rows.empty())) {
        GiveOutRow(row); // nothing waits before it
        return;
    }
    FillingGroup().rows.push_back(std::move(row));
    if (m_group->batch.Size() >= kGroupFiles || m_group->batch.Bytes() >= kGroupBytes ||
        m_group->rows.size() >= kGroupRows ||
        os::MonotonicMilliseconds() - m_group->startedMs >= kGroupAgeMs) {
        CommitGroup(false);
    }
}

CParseProcess::WriteGroup& CParseProcess::FillingGroup()
{
    if (!m_group) {
        m_group = std::make_unique<WriteGroup>();
        m_group->startedMs = os::MonotonicMilliseconds();
    }
    return *m_group;
}

void CParseProcess::CommitGroup(bool wait)
{
    TakeBackInFlight();
    if (!m_group) {
        return;
    }
    std::unique_ptr<WriteGroup> group = std::move(m_group);
    if (group->batch.Size() > 0) {
        // Every commit on the one committer, waited for or not, so that all the renames of a
        // run come from one thread.
        if (StartCommit(*group)) {
            m_inFlight = std::move(group);
            if (wait) {
                TakeBackInFlight();
            }
            return;
        }
        group->outcomes = group->batch.Commit(); // no thread to be had: committed here
    }
    GiveOutRows(*group);
}

void CParseProcess::TakeBackInFlight()
{
    if (!m_inFlight) {
        return;
    }
    {
        std::unique_lock lock(m_commitMutex);
        m_commitWake.wait(lock, [this] { return m_commitJob == nullptr; });
    }
    const std::unique_ptr<WriteGroup> group = std::move(m_inFlight);
    GiveOutRows(*group);
}

bool CParseProcess::StartCommit(WriteGroup& group)
{
    if (!m_committer.joinable()) {
        try {
            m_committer = std::thread(&CParseProcess::CommitterMain, this);
        } catch (const std::system_error&) {
            return false;
        }
    }
    const std::lock_guard lock(m_commitMutex);
    m_commitJob = &group;
    m_commitWake.notify_all();
    return true;
}

void CParseProcess::CommitterMain()
{
    std::unique_lock lock(m_commitMutex);
    for (;;) {
        m_commitWake.wait(lock, [this] { return m_commitJob != nullptr || m_commitQuit; });
        if (m_commitJob == nullptr) {
            return;
        }
        WriteGroup* const job = m_commitJob;
        lock.unlock();
        job->outcomes = job->batch.Commit();
        lock.lock();
        m_commitJob = nullptr;
        m_commitWake.notify_all();
    }
}

void CParseProcess::StopCommitter()
{
    if (!m_committer.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(m_commitMutex);
        m_commitQuit = true;
        m_commitWake.notify_all();
    }
    m_committer.join();
    m_commitQuit = false; // a later run starts a committer of its own
}

void CParseProcess::SettleWrites()
{
    CommitGroup(true);
}

void CParseProcess::GiveOutRows(WriteGroup& group)
{
    // The record may hold the file in hand (a settle in the middle of a file): it gets it back.
    const PendingRow inHand = RowInRecord();
    std::size_t next = 0;
    for (PendingRow& row : group.rows) {
        if (row.staged) {
            const os::WriteBackOutcome& outcome = group.outcomes[next++];
            if (outcome.error != os::WriteBackError::None) {
                UncountChanges(row.changes);
                row.message = WriteBackFailure(outcome);
                row.result = FileResult::FAILED;
                row.shown = true;
            }
        }
        GiveOutRow(row);
    }

    PutRowInRecord(inHand);
}

void CParseProcess::GiveOutRow(PendingRow& row)
{
    RunRecord& run = m_doc.Run;
    PutRowInRecord(row);
    WriteReportLine();
    if (row.shown && m_target != nullptr) {
        m_target->Send(WMU_ADD_FILE_LINE, 0, &m_doc);
    }
    if (row.result == FileResult::MODIFIED) {
        if (row.hostRoot != m_lastModifiedDir) {
            m_lastModifiedDir = row.hostRoot;
            run.TotalDirModified.fetch_add(1);
        }
        run.TotalModified.fetch_add(1);
        Notify(WMU_COUNTERS);
        Notify(WMU_FILE_MODIFIED);
        Pause(kPauseAfterModified);
        return;
    }
    if (row.result == FileResult::UNCHANGED) {
        return;
    }
    // Not opened, failed, stopped in the middle, nothing to do, or left out: passed over.
    run.TotalExclude.fetch_add(1);
    Notify(WMU_COUNTERS);
}

} // namespace wendo
