// Writing a file's new text back over its source. Worker thread only.
//
// The source is never left half written: the new text goes to a flushed temporary file in the
// source's folder that is renamed over it, after the backup (when asked for) has been written
// and flushed. A symbolic link is edited in its target.

#include "engine/ParseProcess.h"
#include "os/path.h"
#include "os/replace.h"

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

bool CParseProcess::WriteBackFile(const std::string& path)
{
    if (m_settings.capture != nullptr) {
        if (m_settings.capture->Capture(path, ResultFilePath())) {
            return true;
        }
        AppendMessage("ERROR: Can't open file", true);
        return false;
    }
    if (m_doc.Backup != 0 && !BackupExtensionStaysBeside(m_doc.BackupExt)) {
        AppendMessage("ERROR: Can not write backup", true);
        return false;
    }
    const std::string backup = m_doc.Backup != 0 ? path + "." + m_doc.BackupExt : std::string();
    // The run's private folder receives the temporary copies, so that a run killed in the
    // middle leaves nothing among the user's files when both share a file system.
    const std::string staging =
        m_workDir.IsCreated() ? os::ToNative(m_workDir.Path()) : std::string();
    JournalCommit(path, backup);
    const os::WriteBackError error = os::WriteBack(
        os::ToNative(path), os::ToNative(ResultFilePath()),
        backup.empty() ? std::string() : os::ToNative(backup), staging, &m_folderSyncs);
    switch (error) {
    case os::WriteBackError::None:
        return true;
    case os::WriteBackError::Backup:
        AppendMessage("ERROR: Can not write backup", true);
        return false;
    case os::WriteBackError::Replace:
        break;
    }
    AppendMessage("ERROR: Can not write to file", true);
    return false;
}

} // namespace wendo
