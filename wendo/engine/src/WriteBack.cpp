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

std::string CParseProcess::WriteBackFailure(const os::WriteBackOutcome& outcome)
{
    switch (outcome.error) {
    case os::WriteBackError::None:
        break;
    case os::WriteBackError::Backup:
        return "ERROR: Can not write backup";
    case os::WriteBackError::Replace:
        return "ERROR: Can not write to file";
    case os::WriteBackError::Changed:
        return "ERROR: File changed during run";
    case os::WriteBackError::Stopped:
        return std::string(kStoppedUnwritten);
    case os::WriteBackError::Kept:
        return "ERROR: Can not write to file, its old text is kept in " + outcome.keptAs;
    }
    return {};
}

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
    if (m_inMemory) {
        request.newBytes = &ResultBytes();
        request.oldBytes = &m_sourceText;
    }
    request.backup = backup;
    request.staging = staging;
    request.deferred = &m_folderSyncs;
    request.stop = [this] { return StopInFile(); };
    os::WriteBackOutcome outcome;
    m_staging = true;
    const bool staged = FillingGroup().batch.Stage(std::move(m_source), request, outcome);
    m_staging = false;
    if (staged) {
        m_stagedNow = true;
        return FileResult::MODIFIED;
    }
    if (outcome.error == os::WriteBackError::None) {
        // The usual way goes without saying.
        if (outcome.inPlace) {
            AppendMessage("written in place", true);
        }
        return FileResult::MODIFIED;
    }
    ForgetReplacements(WriteBackFailure(outcome));
    return outcome.error == os::WriteBackError::Stopped ? FileResult::STOPPED : FileResult::FAILED;
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
