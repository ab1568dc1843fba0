// Writing a file back without ever leaving it half written, and without ever writing a file
// that is not the one the run read.
//
// A source is held from the moment it is read: its folder stays open and the write-back goes
// through that folder's descriptor, so a folder or a file swapped for a link during the run
// redirects nothing. Before anything is replaced the name must still hold the same file (device,
// inode, size, modification time); otherwise another program changed it and its version stays.
//
// The usual way: the new content goes to a temporary file (in the run's staging folder when it
// shares the file system, else beside the file), flushed, with the file's owner, mode, extended
// attributes and ACL, then renamed over it: at every moment the file holds its old or its new
// content. When a new file cannot be what the old one was (other hard links, an owner or
// attributes this process cannot give), the content is written in place instead, after the old
// content has been flushed to a recovery copy NAME.wendo-old-XXXXXX beside it; the copy goes
// once the new content is on disk. A backup, when asked for, is flushed before the file is
// touched. Paths are native. Everything here runs on the caller's thread and keeps no state.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace os {

// Folders whose last renames are not yet flushed. A rename is atomic as it happens; flushing
// its folder only makes it survive a crash of the system. Flushing each folder once for all
// the files replaced in it costs one flush instead of one per file; until then a system crash
// may bring back a file's old content, never a mix of old and new. Flush is also called on
// destruction. Not thread-safe: one owner (a run's worker).
class PendingFolderSyncs
{
public:
    PendingFolderSyncs() = default;
    PendingFolderSyncs(const PendingFolderSyncs&) = delete;
    PendingFolderSyncs& operator=(const PendingFolderSyncs&) = delete;
    ~PendingFolderSyncs() { Flush(); }

    // Native folder paths, each once.
    void Add(const std::string& folder);
    // Flushes every pending folder (best effort) and forgets them.
    void Flush();
    const std::vector<std::string>& Pending() const { return m_folders; }

private:
    std::vector<std::string> m_folders;
};

enum class SourceError
{
    None,
    CannotOpen, // missing, unreadable, or its folder cannot be opened
    NotRegular, // a FIFO, a device, a socket or a folder
};

// A source file held for a run. Open never blocks (a FIFO is refused, not waited on). A link
// to a file is followed once, at Open: the file it names is the one held and written. One
// owner thread; closes everything on destruction.
class HeldSource
{
public:
    HeldSource() = default;
    HeldSource(const HeldSource&) = delete;
    HeldSource& operator=(const HeldSource&) = delete;
    // Moving hands the descriptors over; the source moved from is closed.
    HeldSource(HeldSource&& other) noexcept;
    HeldSource& operator=(HeldSource&& other) noexcept;
    ~HeldSource() { Close(); }

    SourceError Open(std::string_view path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // The file, open for reading.
    int Fd() const { return m_fd; }
    // Its folder (the link's target folder for a link) and its name there.
    int Folder() const { return m_folder; }
    const std::string& Name() const { return m_name; }
    const std::string& FolderPath() const { return m_folderPath; }
    // The folder of the path as named (a link's own folder), where backups go.
    const std::string& NamedFolderPath() const { return m_namedFolderPath; }
    int NamedFolder() const { return m_namedFolder >= 0 ? m_namedFolder : m_folder; }

    std::int64_t Size() const { return m_size; }
    // The name in the held folder still holds the file that was opened, unchanged.
    bool Unchanged() const;

    // As found at Open.
    std::uint64_t device = 0, inode = 0;
    std::uint32_t mode = 0, owner = 0, group = 0;
    std::uint64_t links = 0;

private:
    int m_fd = -1;
    int m_folder = -1;
    int m_namedFolder = -1; // only for a link; else the same folder as m_folder
    std::string m_name;
    std::string m_folderPath;
    std::string m_namedFolderPath;
    std::int64_t m_size = 0;
    std::int64_t m_mtimeSec = 0;
    std::int64_t m_mtimeNsec = 0;
};

enum class WriteBackError
{
    None,
    Backup,  // the backup could not be written; the file is unchanged
    Replace, // the file could not be replaced; it is unchanged (a backup may exist)
    Changed, // another program changed, replaced or removed the file since it was read
    Stopped, // the stop callback asked to end; the file is unchanged
    Kept,    // written in place, failed, and could not be put back: the old content is kept
             // in the recovery copy (named in keptAs)
};

struct WriteBackRequest
{
    std::string_view newText; // file holding the new content
    std::string_view oldText; // a copy of the content as read; empty: read the source again
    // The same contents in memory, used instead of the files when set.
    const std::string* newBytes = nullptr;
    const std::string* oldBytes = nullptr;
    std::string_view backup;  // native path of the backup; empty: none
    std::string_view staging; // the run's private folder; empty: temporaries beside the file
    PendingFolderSyncs* deferred = nullptr; // takes the flush of the folder after the rename
    std::function<bool()> stop;             // asked between pieces of a long copy
};

struct WriteBackOutcome
{
    WriteBackError error = WriteBackError::None;
    bool inPlace = false; // written in place rather than replaced
    std::string keptAs;   // with Kept: the recovery copy's name in the file's folder
};

// Writes the new content over a held source, as described at the top of this file.
// A file whose mode has no write bit, or that this process may not write, is left unchanged
// (Replace), even for a user whom permissions do not stop.
WriteBackOutcome CommitSource(const HeldSource& source, const WriteBackRequest& request);

// The write-backs of many files, committed together: each file's new content (and backup) is
// written to its temporary at Stage, all temporaries are flushed in one go at Commit (one
// commit of the file system's journal instead of one per file), then the backups are renamed
// into place and their folders flushed, then each source is replaced, still only when it
// holds what was read, and the folders are flushed. Every file is old or new at every moment;
// a backup is on disk before its file is replaced.
//
// Stage runs on the owner's thread. Commit touches only the batch and the system, so the owner
// may hand the whole batch to another thread for it and take it back after.
class CommitBatch
{
public:
    CommitBatch();
    CommitBatch(const CommitBatch&) = delete;
    CommitBatch& operator=(const CommitBatch&) = delete;
    ~CommitBatch(); // what was staged and not committed is dropped: those files stay unchanged

    // Takes the source over. True when the file waits for Commit; false when its outcome is
    // already known (a refusal, a failure, or a file written in place) and is in outcome.
    // request.deferred is not used here; the stop callback is asked during the copies.
    bool Stage(HeldSource&& source, const WriteBackRequest& request, WriteBackOutcome& outcome);
    // The same for a source that stays the caller's and outlives Commit.
    bool Stage(const HeldSource& source, const WriteBackRequest& request,
               WriteBackOutcome& outcome);
    // Files waiting, and the bytes written for them.
    std::size_t Size() const;
    std::int64_t Bytes() const { return m_bytes; }
    // Commits every waiting file; outcomes in the order of Stage. The batch is empty after.
    // With deferred, the flush of the replaced files' folders is left to it.
    std::vector<WriteBackOutcome> Commit(PendingFolderSyncs* deferred = nullptr);

private:
    struct Staged;
    class Folder;
    bool StageFile(std::unique_ptr<Staged> staged, const WriteBackRequest& request,
                   WriteBackOutcome& outcome);
    // The staging folder's descriptor when it is on the given device, else -1; opened once.
    int StagingFolder(std::string_view path, std::uint64_t device);

    std::vector<std::unique_ptr<Staged>> m_files;
    std::int64_t m_bytes = 0;
    std::string m_stagingPath;
    std::unique_ptr<Folder> m_staging;
    std::uint64_t m_stagingDevice = 0;
};

// The same for a path: opens it, then commits.
WriteBackError WriteBack(std::string_view target, std::string_view from, std::string_view backup,
                         std::string_view staging = {}, PendingFolderSyncs* deferred = nullptr);

// What a look at a folder's leftovers found.
struct LeftoverSweep
{
    int removed = 0;               // temporaries of dead runs
    std::vector<std::string> kept; // recovery copies left in place for the user (names)
};

// Cleans a folder of what runs killed before they could finish left beside the files: their
// temporaries NAME.wendo-XXXXXX are removed, their recovery copies NAME.wendo-old-XXXXXX are
// removed when NAME holds the same content again, else kept and listed. Only this user's, not
// held by a live run, untouched for two minutes. folder is an open folder descriptor.
LeftoverSweep SweepLeftovers(int folder);
// The recovery copy of a dead run kept for the file name in that sweep, or empty.
std::string KeptRecoveryFor(const LeftoverSweep& sweep, std::string_view name);

// The file a native path finally names when it is a symbolic link (resolved to an absolute
// path); otherwise, or when the link cannot be resolved, the path itself.
std::string LinkTarget(std::string_view path);

// Writes data to path the same way (temporary file, flush, rename), keeping the permission bits
// of an existing file; new files get mode 0666 less the umask. Returns 0 or an errno value.
int WriteFileAtomically(std::string_view path, std::string_view data);

} // namespace os
