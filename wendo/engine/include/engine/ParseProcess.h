// The parse process: applies a document's commands to the text of one file at a time through
// two work files.
//
// The text of a file flows as a stream. The input (the source file, or after a rewind the
// rewind file) is read from a read position; the output work file receives everything that
// precedes each change followed by the change. A command reads the rest of the input into one
// buffer, scans it in place, and leaves the read position after the last text it consumed, so
// the commands of the list form a pipeline along the file. A rewind copies the rest behind the
// output and makes that output the new input, so the next command sees the whole text so far.
//
// A run is one parse process: Launch starts its worker thread, which walks the document's file
// set (RunAll), runs the commands on each file (ProcessFile), writes the changed files back,
// keeps the report, and tells the main window through the MessageTarget.
//
// Threads: one parse process belongs to one run. Launch, Finish, SetSuspendEvent and
// RequestStop are called from the interface thread or the stop thread; everything else runs
// on the worker thread (tests call it directly). The four events are the only means of
// control. The document's options, commands and file set are read without a lock (the document
// refuses edits during a run); only its run record is written, and the run record is safe to
// read from any thread. The destructor joins the worker; the object never outlives its run.
#pragma once

#include "engine/UndoJournal.h"
#include "engine/WorkOutput.h"
#include "model/FileSet.h"
#include "model/WendoDoc.h"
#include "os/event.h"
#include "os/file.h"
#include "os/replace.h"
#include "os/workdir.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace core {
class MessageTarget;
}

namespace wendo {

class CParseCmd;
class RegexReplace;

// Takes, in place of the write-back, the new text of each file that a run would write: such a
// run writes no file, no backup and no journal. Called on the worker thread.
class WriteCapture
{
public:
    virtual ~WriteCapture() = default;
    // path is the source, oldText the file holding the source's bytes as the run read them and
    // newText the file holding the text that a run would write over it, all in the kept form.
    // False counts the file as failed.
    virtual bool Capture(const std::string& path, const std::string& oldText,
                         const std::string& newText) = 0;
};

// How a run behaves beyond what its command file says.
struct RunSettings
{
    // The worker's pauses: before the walk, after each command, after each modified file. The
    // desktop program keeps them (they leave the machine to other work); wendo-run and tests
    // usually do not.
    bool pace = true;
    // Where the run's private work folder is made; empty: the system's temporary folder.
    std::string workParent;
    // Not owned; outlives the run. See WriteCapture.
    WriteCapture* capture = nullptr;
    // The user's state folder (native), where a run that writes with backups keeps its undo
    // journal; empty: no journal.
    std::string journalFolder{};
    // A source of at most this many bytes is worked on in memory, a larger one through work
    // files in the private folder; negative: always through work files. A run with a capture
    // always uses the work files, which the capture reads.
    int64_t memoryLimit = int64_t{64} << 20;
};

class CParseProcess final : public RunProcess, private CFileSet::RunSignals
{
public:
    // Pauses of a paced run, in milliseconds.
    static constexpr std::uint32_t kPauseBeforeWalk = 1000;
    static constexpr std::uint32_t kPauseAfterCommand = 25;
    static constexpr std::uint32_t kPauseAfterModified = 50;
    // How long Launch waits for the worker to confirm its start.
    static constexpr std::uint32_t kStartTimeout = 500;

    // Names of the work files inside the run's private folder.
    static constexpr std::string_view kWorkFile = "Wendo.txt";    // always the output
    static constexpr std::string_view kRewindFile = "Wendo2.txt"; // the input after a rewind
    // The source as it was read, once: the commands never read the source itself, so another
    // program's save in the middle of a run cannot end up mixed into the new text.
    static constexpr std::string_view kSourceCopy = "Wendo0.txt";
    // The message of a file whose changes a stop kept from being written.
    static constexpr std::string_view kStoppedUnwritten = "Stopped before it was written";
    // A command checks for a stop after this many matches, besides between pieces of input.
    static constexpr std::uint32_t kMatchesPerStopCheck = 256;

    // Limits of the tag commands: a tag beyond one of them is left unchanged and uncounted.
    static constexpr std::size_t kMaxTagText = 1023;  // text of a tag, and a new image tag
    static constexpr std::size_t kMaxLinkValue = 255; // the link value of a tag
    static constexpr std::size_t kMaxAttrPart = 255;  // text before an attribute; its value
    static constexpr std::size_t kMaxNewValue = 511;  // a new link value

    // Lines of at most this many bytes are copied before FROMLINE; a longer line is taken in
    // pieces of this size and each piece counts as a line.
    static constexpr std::size_t kFromLinePiece = 5119;

    // The document and the target outlive the process; target may be null (no notifications).
    CParseProcess(CWendoDoc& document, core::MessageTarget* target, RunSettings settings = {});
    CParseProcess(const CParseProcess&) = delete;
    CParseProcess& operator=(const CParseProcess&) = delete;
    // Tear-down: stops the worker and joins it, closes the report and the work files and
    // removes the private folder with them.
    ~CParseProcess() override;

    // ---- Run control (interface or stop thread) ----

    // Starts the worker below normal priority and waits up to kStartTimeout for it to confirm.
    // 0 when the process was torn down, already launched, or the worker did not confirm (it
    // may still be running: Finish ends it).
    int Launch() override;
    // Signals stop, lifts a suspension (a suspended worker could never see the stop) and
    // joins the worker. 1 when the process was alive.
    int Finish() override;
    void SetSuspendEvent(bool suspended) override;
    // Signals stop without waiting: the worker ends the run at its next check.
    void RequestStop() override { m_stop.Set(); }

    // ---- The run (worker thread) ----

    // The whole run: totals reset, report opened, files counted, every entry walked, report
    // closed, WMU_RUN_END posted with the result, which is returned (a FileResult).
    int16_t RunAll();
    // One entry of the file set, or one item of a directory's listing. entry's listing is
    // used, so it is the walker's own copy.
    int16_t WalkEntry(CFileList& entry, bool recurse);
    // Something the walk met but cannot handle (a name the kept path form cannot name, a path
    // longer than the system takes, a folder that cannot be read): it counts with the files
    // passed over and gets a row whose message says why.
    void LeaveOut(const std::string& directory, const std::string& name, std::string_view why);
    // One file: the commands, the write-back and the work files. A FileResult; a failed
    // write-back is FAILED (the file was not changed). A file whose new text waits in the
    // write group is MODIFIED until its commit says otherwise (see ConcludeFile).
    int16_t ProcessFile(const CFileList& entry);
    // Every file whose new text waits is committed and every row that waits is given out:
    // the totals, the report and the views then hold every file the walk has finished.
    void SettleWrites();
    // Notes whether the list holds a DISPLAY_FILESTAT command (the report's line form).
    void ScanForFileStat();
    // The command list of this run, taken from the document when RunAll starts.
    void TakeCommands();

    // ---- The report (worker thread) ----

    // 1 when the run may go on: the report is open and its first header written, or REPORT is
    // off. 0 when the report cannot be created, is held by another run, or cannot be written.
    int OpenReport();
    // Writes the header at the current position; 1 written, 0 on a file error.
    int WriteReportHeader();
    // The line of the file in hand; 1 written, 0 when not (closed, nothing to log, error).
    int WriteReportLine();
    // Writes the header again over the first one with the final totals and closes.
    void CloseReport();
    bool ReportOpen() const { return m_report.valid(); }

    int64_t StartTime() const { return m_startTime; }
    int64_t EndTime() const { return m_endTime; }

    // Makes the run's private work folder inside parent (empty: the system's temporary
    // folder). 0 on success, else the system's error number. Files need it first.
    int PrepareWorkFolder(std::string_view parent = {});
    // Removes the private folders that killed runs left where this run makes its own.
    void RemoveStaleWorkFolders() const;

    // ---- One file ----

    // Runs the commands on one file: holds the source and reads it once, opens the work files,
    // applies each command in order (with the rewinds they ask for), records the file's message,
    // and on success copies the rest of the input behind the output and closes both work files.
    // Returns a FileResult: NOT_OPENED (message set), NOTHING (no command), STOPPED (the stop check
    // said so, also in the middle of a command; work files deleted), FAILED (error text set as the
    // message, which no longer names replacements; work files deleted; also a source that is not a
    // regular file),
    // MODIFIED or UNCHANGED. After MODIFIED, NeedsWriteBack tells whether ResultFilePath
    // holds the complete new text to write over the source; the caller then deletes the work
    // files with DeleteWorkFiles.
    int16_t ProcessCommands(const std::string& path, const std::vector<const CParseCmd*>& commands);

    // The file's text changed, the run writes files, and nothing went wrong.
    bool NeedsWriteBack() const;
    // The work file that holds (or, before the rest is copied, will hold) the complete text.
    // Both name the folder of the file in hand (see ChooseWorkFolder).
    std::string ResultFilePath() const { return m_fileDir->FileIn(m_resultFile); }
    // The complete new text after MODIFIED, wherever it is kept; false when it cannot be read.
    bool ResultText(std::string& text) const;
    // The file in hand is worked on in memory: no work file holds its text.
    bool InMemory() const { return m_inMemory; }
    std::string WorkFilePath(std::string_view name) const { return m_fileDir->FileIn(name); }
    void DeleteWorkFiles();

    // Lets the command loop ask before each command whether the run was stopped.
    void SetStopCheck(std::function<bool()> check) { m_stopCheck = std::move(check); }
    // Pause after each command of the loop (0: none).
    void SetCommandPause(std::uint32_t milliseconds) { m_commandPause = milliseconds; }

    // ---- The work-file stream (also used by the command loop) ----

    // 0 on success, 1 on failure (the reason appended to the file's message).
    int OpenWorkFiles(const std::string& path);
    // Copies the input from the read position to its end onto the output. 0, or 1 on error.
    int CopyRest();
    // Makes the text produced so far the new input. path is the source (used by a dry run).
    int RewindWork(const std::string& path);
    // Closes input and output; false when the output could not be written completely.
    bool CloseWorkFiles();

    // ---- Commands (1 when the text was changed, else 0) ----

    int ReplaceBetweenDelimiters(bool keepContent, const CParseCmd& command);
    // FINDREPL with REGEX (ReplaceBetweenDelimiters hands it over).
    int ReplaceByRegex(const CParseCmd& command);
    int ChangeImgTags(const CParseCmd& command);
    int ChangeAnchorTags(const CParseCmd& command);
    void ReadFileStat(const std::string& path);

    // ---- State of the file in hand ----

    // Without TOLINE only the lines before FROMLINE are counted (see m_lineNumber).
    int64_t LineNumber() const { return m_lineNumber; }
    int64_t ReadPosition() const { return m_inputPos; }
    bool Aborted() const { return m_abort; }
    const std::string& ErrorText() const { return m_errorText; }
    int32_t CommandHits() const { return m_commandHits; }
    bool FileModified() const { return m_fileModified; }
    bool FileStatDone() const { return m_fileStatDone; }
    std::string_view ResultFileName() const { return m_resultFile; }

private:
    // CFileSet::RunSignals, for the pre-count.
    bool TakeStop() override { return m_stop.Wait(0); }
    bool IsSuspended() override { return m_suspend.IsSet(); }

    void ThreadMain();
    // Stops and joins the worker; what Finish and the tear-down share.
    void StopWorker();
    // True when a stop was signalled (and takes it); a suspension is waited out, looking
    // again every pollMs.
    bool StopRequested(std::uint32_t pollMs);
    void Pause(std::uint32_t milliseconds) const;
    void Notify(std::uint32_t message, intptr_t wParam = 0);
    void SetRunStatus(std::string status, bool notify);
    // Writes the result file over the held source (after the backup), or stages it in the
    // write group, which takes the held source over (m_stagedNow). A FileResult: MODIFIED,
    // FAILED (the file is as it was, or another program's version stays; the error is the
    // file's message) or STOPPED.
    int16_t WriteBackFile(const std::string& path);
    // The message of a file whose write-back did not happen (empty when it did).
    static std::string WriteBackFailure(const os::WriteBackOutcome& outcome);

    // ---- The write group (worker thread) ----
    //
    // The new texts of modified files are written to temporaries as each file is done and
    // committed in groups (os::CommitBatch): one flush for many files. A file's row, its
    // counters and its report line wait until its group is committed, and so do the rows of
    // the files after it, so that they keep the walk's order. A full group is committed on
    // the committer thread while the worker goes on with the next files; the worker takes the
    // group back (joins) before it gives out the group's rows. Nothing of a group in flight
    // is touched by the worker until then.
    struct PendingRow
    {
        int16_t result = 0;  // a FileResult
        bool staged = false; // its new text waits in the group's batch
        bool shown = false;  // the row goes to the views whatever its message
        std::string fileName, directory, message;
        int64_t size = 0, modified = 0, accessed = 0;
        std::vector<int32_t> changes; // by command position, to forget them on failure
        std::string hostRoot;         // kept form, for the folders counted as modified
    };
    struct WriteGroup
    {
        std::vector<PendingRow> rows;
        os::CommitBatch batch;
        std::vector<os::WriteBackOutcome> outcomes; // the batch's, after its commit
        int64_t startedMs = 0;
    };
    // The row of the file just done (the run record holds it); given out now when nothing
    // waits before it, else queued behind what waits.
    void ConcludeFile(int16_t result, const std::string& hostRoot);
    // The row the run record holds, and the record made to hold a row.
    PendingRow RowInRecord() const;
    void PutRowInRecord(const PendingRow& row);
    void QueueRow(PendingRow row);
    // The group filling, made when there is none.
    WriteGroup& FillingGroup();
    // Takes the group in flight back and gives out its rows; then hands the filling group to
    // the committer, or commits it here when wait is true.
    void CommitGroup(bool wait);
    void TakeBackInFlight();
    // Hands a group to the committer thread (started when needed); false when no thread can
    // be had.
    bool StartCommit(WriteGroup& group);
    void CommitterMain();
    void StopCommitter();
    void GiveOutRows(WriteGroup& group);
    void GiveOutRow(PendingRow& row);
    // The held source's folder is cleaned of dead runs' leftovers, once per run; a recovery
    // copy kept there for the source is returned (empty when none).
    std::string SweepSourceFolder();
    // Copies the held source to the work folder; false (message set) on failure or stop.
    bool ReadSourceOnce();
    // True once a stop was asked while the file is in hand; asks the stop check (at most once
    // per call) when it was not yet seen.
    bool StopInFile();
    // The file's row loses the replacements it would claim, and the run's totals forget them:
    // the file was not written. reason becomes the message.
    void ForgetReplacements(std::string_view reason);
    // The run's totals forget the changes of a file (by command position) and changes empties.
    void UncountChanges(std::vector<int32_t>& changes);
    // Notes in the undo journal, before the file is replaced, what the write-back of path
    // (with backup, empty when none) is about to do.
    void JournalCommit(const std::string& path, const std::string& backup);
    bool WriteReport(std::string_view bytes);
    // The file held at the report path may be emptied for the report: it is not the command
    // file, and it is empty or an earlier report. handle's position moves.
    bool MayBecomeTheReport(int handle) const;
    std::string ReportHeader();
    // Notes the command file and the report, which the walk must never edit.
    void NoteOwnFiles();
    bool IsOwnFile(const std::string& path) const;
    std::string ReportLine() const;

    // A block holding the rest of the input, NUL-terminated; size excludes the NUL. For a
    // file in memory it is a view of the input, never written through.
    struct RestBuffer
    {
        char* data = nullptr;
        std::size_t size = 0;
        bool owned = true;
        RestBuffer() = default;
        RestBuffer(const RestBuffer&) = delete;
        RestBuffer& operator=(const RestBuffer&) = delete;
        ~RestBuffer();
    };

    // Picks memory or the folder for the work files of the held source, before they are
    // opened.
    void ChooseWorkFolder();
    // The held source into m_sourceText; false (message set) on failure or stop.
    bool ReadSourceToMemory();
    // Makes input the input of a file in memory and an empty output its output.
    void OpenMemoryWork(const std::string& input);
    // Line 1 at the input's start; the lines before the region copied to the output.
    void StartAtFirstLine();
    // The text a file in memory holds in the end.
    const std::string& ResultBytes() const
    {
        return m_resultFile == kWorkFile ? m_outputText : m_rewoundText;
    }
    bool ReadRest(RestBuffer& buffer);
    // The input from the byte at offset from to its end.
    bool ReadInput(RestBuffer& buffer, int64_t from);
    // The compiled pattern of a REGEX command, compiled once per run; null when refused.
    RegexReplace* CompiledRegex(const CParseCmd& command);
    bool CopyLinesBeforeRegion();
    void SetError(std::string_view text);
    void CheckOutput();
    bool DryRun() const;
    bool BeyondRegion() const;
    // Line ends between two positions of a command's buffer, as far as the region needs them.
    int RegionLines(const char* from, const char* to) const;
    void CountChange();
    // Appends to the file's message, after ", " when separated and the message is not empty.
    void AppendMessage(std::string_view text, bool separated);
    void RunCommand(const CParseCmd& command);

    int ChangeTags(const CParseCmd& command, bool image);
    int FindNextTag(const char*& scan, const char* linkName, const CParseCmd& command);
    bool BuildImgTag(const CParseCmd& command, std::string& newTag);
    bool BuildAnchorTag(const CParseCmd& command, std::string& newTag);
    bool EditTagAttribute(const CParseCmd& command, const char* name, std::string& newTag);
    bool EditLinkAttribute(const CParseCmd& command, const char* name, std::string& newTag);

    CWendoDoc& m_doc;
    core::MessageTarget* m_target;
    const RunSettings m_settings;
    std::function<bool()> m_stopCheck;
    std::uint32_t m_commandPause = 0;
    // The run's private folders. m_workDir is on disk (or where PrepareWorkFolder put it) and
    // also stages the write-back; m_memoryDir lives in memory where the system has such a
    // folder. m_fileDir is the one holding the work files of the file in hand.
    os::WorkDir m_workDir;
    os::WorkDir m_memoryDir;
    os::WorkDir* m_fileDir = &m_workDir;
    bool m_folderPrepared = false;
    bool m_memoryTried = false;
    // Folders where files were replaced and whose renames are not yet flushed: each walked
    // folder is flushed once when its files are done, and all before the report is closed.
    os::PendingFolderSyncs m_folderSyncs;
    // The write group filling, the one the committer has (null when none), and the committer.
    std::unique_ptr<WriteGroup> m_group;
    std::unique_ptr<WriteGroup> m_inFlight;
    // The committer thread, started at the first group and stopped at the run's end. It takes
    // one group at a time (m_commitJob, guarded by m_commitMutex) and clears the job when done.
    std::thread m_committer;
    std::mutex m_commitMutex;
    std::condition_variable m_commitWake;
    WriteGroup* m_commitJob = nullptr; // guarded by m_commitMutex
    bool m_commitQuit = false;         // guarded by m_commitMutex
    bool m_stagedNow = false;          // the file in hand was staged in m_group
    bool m_staging = false;            // in the middle of staging it: the group must not be settled
    // The run's undo journal, started at its first write-back.
    UndoJournal m_journal;
    bool m_journalStarted = false;

    // Control. The events and the atomics are shared with the controlling threads; the
    // thread object is touched only by the controlling side.
    os::Event m_started{os::EventReset::Auto};
    os::Event m_stop{os::EventReset::Auto};
    os::Event m_ended{os::EventReset::Auto};
    os::Event m_suspend{os::EventReset::Manual}; // set: suspended
    std::thread m_worker;
    std::atomic<bool> m_alive{true};
    std::atomic<bool> m_finished{false};

    // The run, on the worker thread (times read by others only after Finish).
    std::vector<const CParseCmd*> m_commands;
    int64_t m_startTime = 0;
    int64_t m_endTime = 0;
    std::string m_lastModifiedDir; // kept form, exact comparison
    bool m_hasFileStat = false;
    os::FileHandle m_report;
    std::size_t m_headerLength = 0;
    std::string m_commandFileShown; // CMDFILE; fixed at the first header
    // Device and inode of the command file and the report, noted when the run starts.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_ownFiles;

    // The stream of the file in hand.
    std::string m_sourcePath;
    os::HeldSource m_source;
    std::string m_readPath; // the copy of the source the commands read
    bool m_stopped = false; // a stop was seen in the middle of the file
    // Changes counted for the file in hand, by command position (to forget them).
    std::vector<int32_t> m_fileChanges;
    // Folders whose leftovers this run has looked at (device, inode), and what it kept there.
    struct SweptFolder
    {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        os::LeftoverSweep sweep;
    };
    std::vector<SweptFolder> m_sweptFolders;
    os::FileHandle m_input;
    int64_t m_inputPos = 0; // read position
    // A file worked on in memory: the source as read (kept for the backup), the input after a
    // rewind and the output; the input is one of the first two. The rewind swaps the last two.
    bool m_inMemory = false;
    std::string m_sourceText;
    std::string m_rewoundText;
    std::string m_outputText;
    const std::string* m_inputText = &m_sourceText;
    WorkOutput m_output;
    // Line of the read position, from 1 (64-bit: no wrap). Counted past the lines before the
    // region always, and along the commands' text only while TOLINE limits the region.
    int64_t m_lineNumber = 1;
    std::string_view m_resultFile = kWorkFile;

    // Per-file flags of the command loop.
    bool m_abort = false;
    std::string m_errorText;
    int32_t m_commandHits = 0;
    std::size_t m_commandPosition = 0;
    bool m_modifiedByLast = false;
    bool m_outputPending = false;
    bool m_fileModified = false;
    bool m_fileStatDone = false;

    // The tag in hand, reused for each tag. Positions point into the command's buffer.
    const char* m_tagKind = "";
    const char* m_tagStart = nullptr;
    const char* m_tagEnd = nullptr;
    std::string m_tagText;      // from "<" up to, not including, ">"
    std::string m_value;        // the link value between its quotes
    std::size_t m_valuePos = 0; // where m_value begins in m_tagText
    std::string m_linkTarget;   // m_value without its fragment

    // The run's compiled REGEX commands, each with the text it was compiled from (a command
    // object may be given another text between two files).
    struct RegexEntry
    {
        const CParseCmd* command = nullptr;
        std::string text;
        std::shared_ptr<RegexReplace> regex;
    };
    std::vector<RegexEntry> m_regexes;
    std::string m_replacement; // the replacement of the match in hand
};

} // namespace wendo
