// Writing a file back without ever leaving it half written.
//
// The new content is written to a temporary file in the target's own folder, flushed to disk
// with the target's permission bits (and owner, where allowed), then renamed over the target:
// at every moment the target holds either its old or its new content. A backup, when asked
// for, is made the same way and flushed before the target is touched. Paths are native.
#pragma once

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

enum class WriteBackError
{
    None,
    Backup,  // the backup could not be written; the target is unchanged
    Replace, // the target could not be replaced; it is unchanged (a backup may exist)
};

// Replaces the content of target by the content of the file at from. A symbolic link as
// target is followed: the file it names is edited and the link stays a link. With a non-empty
// backup, the old content is first stored under that name (replacing a file there). A file
// whose mode has no write bit, or that this process may not write, is left unchanged
// (Replace). With a staging folder on the target's file system (the run's private folder),
// the temporary files are made there instead of beside the target. With deferred, the flush
// of the target's folder after its rename is left to deferred (a backup's folder is still
// flushed before the target is touched, so that no crash can keep the new text without it).
WriteBackError WriteBack(std::string_view target, std::string_view from, std::string_view backup,
                         std::string_view staging = {}, PendingFolderSyncs* deferred = nullptr);

// The file a native path finally names when it is a symbolic link (resolved to an absolute
// path); otherwise, or when the link cannot be resolved, the path itself.
std::string LinkTarget(std::string_view path);

// Writes data to path the same way (temporary file, flush, rename), keeping the permission bits
// of an existing file; new files get mode 0666 less the umask. Returns 0 or an errno value.
int WriteFileAtomically(std::string_view path, std::string_view data);

} // namespace os
