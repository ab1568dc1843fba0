// Writing a file's new text back over its source. Worker thread only.
//
// The source was held when it was read (os::HeldSource): the new text is written through the
// folder the run opened, and only while the source is still the file that was read, so a file
// swapped for a link, another program's save and a second run's edits are never written over.
// This is the one place where a file's new text reaches the disk.

#include "engine/Notifications.h"
#include "engine/ParseProcess.h"
#include "os/path.h"
#include "os/replace.h"

#include <algorithm>
#include <iterator>

namespace wendo {

namespace {

// An extension that names another folder would put the backup outside the source's own
// folder, perhaps over a file of someone else's: it is never used.
bool BackupExtensionStaysBeside(std::string_view extension)
{
    return extension.find_first_of("/\\") == std::string_view::npos &&
           extension.find("..") == std::string_view::npos;
}

} // namespace

int16_t CParseProcess::WriteBackFile(const std::string& path)
{
    if (m_settings.capture != nullptr) {
        if (m_settings.capture->Capture(path, m_readPath, ResultFilePath())) {
            return FileResult::MODIFIED;
        }
        ForgetReplacements("ERROR: Can't open file");
        return FileResult::FAILED;
    }
    if (m_doc.Backup != 0 && !BackupExtensionStaysBeside(m_doc.BackupExt)) {
        ForgetReplacements("ERROR: Can not write backup");
        return FileResult::FAILED;
    }
    const std::string backup =
        m_doc.Backup != 0 ? os::ToNative(path + "." + m_doc.BackupExt) : std::string();
    const std::string newText = os::ToNative(ResultFilePath());
    const std::string oldText = os::ToNative(m_readPath);
    // The run's private folder receives the temporary copies, so that a run killed in the
    // middle leaves nothing among the user's files when both share a file system.
    const std::string staging =
        m_workDir.IsCreated() ? os::ToNative(m_workDir.Path()) : std::string();
    JournalCommit(path, backup);
    os::WriteBackRequest request;
    request.newText = newText;
    request.oldText = oldText;
    request.backup = backup;
    request.staging = staging;
    request.deferred = &m_folderSyncs;
    request.stop = [this] { return StopInFile(); };
    const os::WriteBackOutcome outcome = os::CommitSource(m_source, request);
    switch (outcome.error) {
    case os::WriteBackError::None:
        // The usual way goes without saying.
        if (outcome.inPlace) {
            AppendMessage("written in place", true);
        }
        return FileResult::MODIFIED;
    case os::WriteBackError::Backup:
        ForgetReplacements("ERROR: Can not write backup");
        break;
    case os::WriteBackError::Replace:
        ForgetReplacements("ERROR: Can not write to file");
        break;
    case os::WriteBackError::Changed:
        ForgetReplacements("ERROR: File changed during run");
        break;
    case os::WriteBackError::Stopped:
        ForgetReplacements(kStoppedUnwritten);
        return FileResult::STOPPED;
    case os::WriteBackError::Kept:
        ForgetReplacements("ERROR: Can not write to file, its old text is kept in " +
                           outcome.keptAs);
        break;
    }
    return FileResult::FAILED;
}

std::string CParseProcess::SweepSourceFolder()
{
    os::FileStatus folder;
    if (os::GetHandleStatus(m_source.Folder(), folder) != os::FileError::None) {
        return {};
    }
    auto swept =
        std::find_if(m_sweptFolders.begin(), m_sweptFolders.end(), [&](const SweptFolder& f) {
            return f.device == folder.device && f.inode == folder.inode;
        });
    if (swept == m_sweptFolders.end()) {
        m_sweptFolders.push_back(
            {folder.device, folder.inode, os::SweepLeftovers(m_source.Folder())});
        swept = std::prev(m_sweptFolders.end());
    }
    return os::KeptRecoveryFor(swept->sweep, m_source.Name());
}

} // namespace wendo
