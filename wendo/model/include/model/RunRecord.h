// The run record: what a run has done so far. Written by the worker thread during a run (and by
// the report reader on the interface thread), read by the progress views when a notification
// arrives. Counters are atomics; strings are guarded by m_mutex and copied out.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace wendo {

class RunRecord
{
public:
    // Counts of the run.
    std::atomic<int32_t> MaxInc{0};           // MAXINC: files the run expects (pre-count)
    std::atomic<int32_t> FilesStarted{0};     // files opened so far
    std::atomic<int32_t> TotalExclude{0};     // TOTALEXCLUDE
    std::atomic<int32_t> TotalModified{0};    // TOTALMODIFIED
    std::atomic<int32_t> TotalIteration{0};   // TOTALITERATION
    std::atomic<int32_t> TotalDirExclude{0};  // TOTALDIREXCLUDE
    std::atomic<int32_t> TotalDirModified{0}; // TOTALDIRMODIFIED

    // The command in hand: type (-1 when the record was filled from a report) and flags.
    std::atomic<int16_t> CommandType{-1};
    std::atomic<uint32_t> CommandFlags{0};

    // Progress within the file in hand: number of commands x file size, and done so far.
    std::atomic<int64_t> ProgressTotal{0};
    std::atomic<int64_t> ProgressDone{0};

    // Statistics of the file in hand, filled by DISPLAY_FILESTAT (seconds since 1970, bytes).
    std::atomic<int64_t> FileAccessTime{0};
    std::atomic<int64_t> FileModifTime{0};
    std::atomic<int64_t> FileSize{0};

    // What became of the run's report: none asked for (REPORT off), written whole, never
    // created (the run went on without one), or left incomplete by a failed write. Written by
    // the worker, read once the run has ended.
    enum class ReportOutcome : int
    {
        None,
        Written,
        NotCreated,
        Incomplete,
    };
    std::atomic<ReportOutcome> Report{ReportOutcome::None};

    // Sets every count of the run to 0 (the start of a run, or before reading a report).
    void ResetTotals()
    {
        for (auto* c : {&MaxInc, &FilesStarted, &TotalExclude, &TotalModified, &TotalIteration,
                        &TotalDirExclude, &TotalDirModified}) {
            c->store(0);
        }
    }

    std::string FileName() const { return Get(m_fileName); }
    std::string Directory() const { return Get(m_directory); }
    std::string Status() const { return Get(m_status); }
    std::string FileMessage() const { return Get(m_fileMessage); }
    // The state a report read back records in its header (STATE); the reader keeps each row's
    // path in the status field, so the run's state needs a field of its own.
    std::string ReportedState() const { return Get(m_reportedState); }
    void SetReportedState(std::string v) { Set(m_reportedState, std::move(v)); }
    void SetFileName(std::string v) { Set(m_fileName, std::move(v)); }
    void SetDirectory(std::string v) { Set(m_directory, std::move(v)); }
    void SetStatus(std::string v) { Set(m_status, std::move(v)); }
    void SetFileMessage(std::string v) { Set(m_fileMessage, std::move(v)); }
    void AppendFileMessage(const std::string& v)
    {
        std::lock_guard lock(m_mutex);
        m_fileMessage += v;
    }

    // Per-command totals: entry 0 counts every change of the run, entry k+1 those of the
    // command at position k.
    void ResetCounters(size_t commandCount)
    {
        std::lock_guard lock(m_mutex);
        m_counters.assign(commandCount + 1, 0);
    }
    void ClearCounters()
    {
        std::lock_guard lock(m_mutex);
        m_counters.clear();
    }
    void AppendCounter(int32_t value)
    {
        std::lock_guard lock(m_mutex);
        m_counters.push_back(value);
    }
    // Adds 1 to the total and to the counter of the command; nothing when there are no counters.
    void CountModification(size_t commandIndex)
    {
        std::lock_guard lock(m_mutex);
        if (m_counters.empty()) {
            return;
        }
        ++m_counters[0];
        if (commandIndex + 1 < m_counters.size()) {
            ++m_counters[commandIndex + 1];
        }
    }
    // Takes back changes counted by CountModification for a file that was not written.
    void UncountModifications(size_t commandIndex, int32_t count)
    {
        std::lock_guard lock(m_mutex);
        if (m_counters.empty()) {
            return;
        }
        m_counters[0] -= count;
        if (commandIndex + 1 < m_counters.size()) {
            m_counters[commandIndex + 1] -= count;
        }
    }
    std::vector<int32_t> Counters() const
    {
        std::lock_guard lock(m_mutex);
        return m_counters;
    }

private:
    std::string Get(const std::string& s) const
    {
        std::lock_guard lock(m_mutex);
        return s;
    }
    void Set(std::string& s, std::string v)
    {
        std::lock_guard lock(m_mutex);
        s = std::move(v);
    }

    mutable std::mutex m_mutex;
    std::string m_fileName;          // guarded by m_mutex
    std::string m_directory;         // guarded by m_mutex
    std::string m_status;            // guarded by m_mutex
    std::string m_fileMessage;       // guarded by m_mutex
    std::string m_reportedState;     // guarded by m_mutex
    std::vector<int32_t> m_counters; // guarded by m_mutex
};

} // namespace wendo
