// The command document: one command file's global options, commands and file set, the
// counters of a run and its run state. It reads and writes the command file through its
// Serialize (see CommandFile.h) and is what a run is started on.
//
// Threads: the document lives on the interface thread. During a run the worker reads the
// options, commands and file set without a lock (every view refuses edits while Started is
// set) and writes only the run record, which is safe to read from any thread. Started and
// Suspended are read from any thread; RunLock serialises the start and the end of a run.
#pragma once

#include "core/Document.h"
#include "model/FileSet.h"
#include "model/ParseCmdList.h"
#include "model/RunRecord.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace wendo {

class CommandListView;
class CWendoDoc;

// A run as the document sees it. The engine, which is built above the document, implements
// it (CParseProcess); the document owns one per run.
class RunProcess
{
public:
    // The worker has been joined by Finish before an implementation is destroyed.
    virtual ~RunProcess() = default;
    // Starts the worker; 1 when it confirmed its start.
    virtual int Launch() = 0;
    // Stops the worker and waits until it has returned; 1 when the process was alive. Never
    // called on the interface thread while the worker may still send to it.
    virtual int Finish() = 0;
    // Signals (true) or clears (false) the suspend event; the worker pauses at its next check.
    virtual void SetSuspendEvent(bool suspended) = 0;
    // Signals the stop event without waiting; the worker ends the run at its next check.
    virtual void RequestStop() = 0;
};

// What the document needs of the engine: a process for a run, and the report reader. The
// program (the desktop program, wendo-run, a test) gives each document one; not owned.
class RunServices
{
public:
    virtual ~RunServices() = default;
    // A new process for a run of document; none when it cannot be made.
    virtual std::unique_ptr<RunProcess> CreateProcess(CWendoDoc& document) = 0;
    // Reads document's last report into its run record; 1 read, 0 not.
    virtual int LoadReport(CWendoDoc& document) = 0;
};

// The choice of the stop-or-suspend question of a running document.
enum class StopChoice
{
    Cancel,
    Stop,
    Suspend,
};

// Asks whether to stop or suspend the run ("Stop/Suspend": Stop or Suspend, OK or Cancel).
// The user interface implements it; called on the interface thread.
class StopPrompter
{
public:
    virtual ~StopPrompter() = default;
    virtual StopChoice AskStopOrSuspend() = 0;
};

// Ends a document's run off the interface thread: its thread calls EndProcess (which waits for
// the worker) and ends. Owned by the document, which joins it before the next run starts and
// when it is destroyed.
class CKillProcessThread
{
public:
    explicit CKillProcessThread(CWendoDoc& document) : m_doc(document) {}
    CKillProcessThread(const CKillProcessThread&) = delete;
    CKillProcessThread& operator=(const CKillProcessThread&) = delete;
    // Waits for the thread when it was started.
    ~CKillProcessThread();

    // 1 when the thread was started.
    int CreateThread();
    void Join();

private:
    CWendoDoc& m_doc;
    std::thread m_thread;
};

class CWendoDoc : public core::CDocument
{
public:
    // What ModifyFileEntry does.
    enum FileEntryChange : int16_t
    {
        kToggleExclude = 1,
        kRemoveEntry = 2,
        kToggleRecursive = 3,
        kRemoveAllEntries = 4,
    };

    CWendoDoc();
    // Ends a run still in progress (the owner ends it first when the worker may be sending to
    // the interface thread) and joins the stop thread.
    ~CWendoDoc() override;

    // Global options of the command file, with their values in a new document.
    std::string ReportPath;        // LOGFILE; empty: the command file's name with ".log"
    std::string BackupExt = "bak"; // BACKUPEXT
    int32_t Verbose = 0;           // VERBOSE: stored and written back only
    int32_t Rewind = 0;            // REWIND: rewind after each modifying command
    int32_t Report = 0;            // REPORT: write a report file
    int32_t LogUnmodified = 0;     // LOGUNMODIF: report unmodified files too
    int32_t NoWrite = 0;           // WRITE2FILE=NO: dry run
    int32_t Backup = 1;            // BACKUP
    int64_t ModifTime = 0;         // MODIFTIME (seconds since 1970)
    // The run's worker sets these two when it opens the report, while the interface may save.
    std::atomic<int64_t> LastReportTime{0}; // LASTREPORTTIME read from the report on load
    int64_t ReportModifTime = 0;            // MODIFTIME recorded in the report
    std::atomic<int64_t> LastRunTime{0};    // LASTRUNTIME
    int16_t FromLine = 0; // FROMLINE: first line of the region (0 or 1: from the start)
    int16_t ToLine = 0;   // TOLINE: first line after the region (0: no limit)
    int16_t OpenCommandEditors = 0;
    int16_t OpenPathSelectors = 0;

    // What the current or last run did; read by the progress views. Its counters are the
    // per-command totals (entry 0 the total, entry i + 1 command i).
    RunRecord Run;

    // The commands in run order. The command list views remove, duplicate and clear through
    // the list itself and then call SetModifiedFlag.
    std::list<CParseCmdList> Commands;

    // The paths and filters to process.
    CFileSet FileSet;

    // A run is in progress ("in process"), and it is suspended. Guarded by RunLock while a
    // run starts or ends; read anywhere.
    std::atomic<int32_t> Started{0};
    std::atomic<int32_t> Suspended{0};
    std::mutex RunLock;
    // The process of the run in progress, and the thread that stops it. Guarded by RunLock.
    std::unique_ptr<RunProcess> Engine;
    std::unique_ptr<CKillProcessThread> StopThread;

    // ---- Framework ----
    // Storing writes the command file, loading reads it; a failure throws
    // core::CArchiveException with the bad-schema cause.
    void Serialize(core::CArchive& ar) override;
    // Asks every option view to store its working copy first; false when one refuses.
    bool OnSaveDocument(std::string_view path) override;
    // Back to the values of a new document: options, commands, file set entries, counters.
    void DeleteContents() override;

    const core::CRuntimeClass* GetRuntimeClass() const override;
    static const core::CRuntimeClass classCWendoDoc;

    // ---- Commands ----
    // One enumeration at a time: FirstCommand resets the position, NextCommand copies the
    // command there into out and advances. 0 when empty or at the end.
    int FirstCommand();
    int NextCommand(CParseCmd& out);
    int NextCommandEntry(CParseCmdList& out);
    int32_t CommandCount() const { return static_cast<int32_t>(Commands.size()); }
    int HasFileStatCommand() const;
    // Stores a command made anew from command's text: position -1 appends (a file statistics
    // command goes to the head instead); otherwise the command at position is replaced, or,
    // with insert, the new one goes right after it. A file statistics command stored at a
    // position above 0 replaces that command and moves to the head. The view, when given, is
    // told of the row. 0 (nothing changed) when position names no command.
    int StoreCommand(int32_t position, const CParseCmd& command, CommandListView* view, int insert);
    // 1 when a command is open in an editor at position; with activate, its editor frame is
    // handed to the frame activator.
    int FindCommandEditor(int32_t position, int activate);
    // How an editor frame is brought to the front; set by the user interface.
    void SetFrameActivator(std::function<void(void*)> activator);

    // ---- File set ----
    int FirstFileEntry(CFileList& out) { return FileSet.First(out) ? 1 : 0; }
    int NextFileEntry(CFileList& out) { return FileSet.Next(out) ? 1 : 0; }
    int IsFileEntryExcluded(int32_t index) const;
    int IsFileEntryRecursive(int32_t index) const;
    // Applies a FileEntryChange to the entry at index (all entries for kRemoveAllEntries);
    // another code or a missing entry changes nothing. The document is marked modified; 1.
    int ModifyFileEntry(int32_t index, int16_t code);
    // Replaces the file set by the entries of the tokens in text, refreshes the file list
    // view and marks the document modified.
    void SetFileSet(int32_t count, std::string_view text);

    // ---- Runs ----
    // 1 when saved, with a command and a file set entry, and no editor or path selector open.
    int CanRun() const;
    // (command count + 1) counters of 0.
    void ResetCounters() { Run.ResetCounters(Commands.size()); }
    // Adds one change to the run's total and to the counter of the command at that index.
    void CountModification(size_t commandIndex) { Run.CountModification(commandIndex); }
    // Hands the run state to the progress view shown on this document, if any.
    void UpdateProgressState();

    // Where runs and reports come from, and who is asked to stop or suspend; not owned.
    void SetRunServices(RunServices* services) { m_runServices = services; }
    RunServices* GetRunServices() const { return m_runServices; }
    void SetStopPrompter(StopPrompter* prompter) { m_stopPrompter = prompter; }

    // Starts a run: 1 when started; 0 when one is in progress (no message) or when the
    // process could not be made or started (message 61451 through the prompter).
    int StartProcess();
    // Stops and releases the run's process and clears Started and Suspended; 1. Waits for the
    // worker, so the interface thread calls it only once the run has ended (WMU_RUN_END);
    // otherwise the stop thread does. RunLock is not held while waiting, so the interface
    // thread never waits behind a worker that may be sending to it. When another thread is
    // already ending the run, returns once that thread is done.
    int EndProcess();
    // Clears the suspension of a run in progress.
    void ResumeProcess();
    // Suspends the run and asks to stop or suspend: Cancel resumes (0), Suspend leaves the
    // run suspended (1), Stop resumes it and ends it through the stop thread (0). 0 when no
    // run is in progress.
    int AskStopProcess();
    // Ends the run through the stop thread without asking; 1 when a run was in progress.
    int StopProcess();
    // Reads the last report into the run record (see RunServices); 0 without services.
    int LoadReport();

    // The report file: ReportPath (a relative one taken from the command file's folder), or
    // the command file's name with ".log" in its folder.
    std::string ReportFilePath() const { return ReportFileFor(ReportPath, GetPathName()); }
    static std::string ReportFileFor(std::string_view reportPath, std::string_view commandFile);
    // The folder of the command file (kept form, final separator), which its relative entries
    // and LOGFILE are taken from (ResolveFromCommandFolder); empty when it has no folder part.
    std::string CommandFolder() const;

private:
    void ResetOptions();

    // Index of the next command of the enumeration; an index rather than a position in the
    // list, so that removing commands can never leave it dangling.
    std::size_t m_commandCursor = 0;
    std::function<void(void*)> m_frameActivator;
    RunServices* m_runServices = nullptr;
    StopPrompter* m_stopPrompter = nullptr;
    // Set, under RunLock, while a thread ends the run; m_runEnded is signalled when it is done.
    bool m_ending = false;
    std::condition_variable m_runEnded;
};

} // namespace wendo
