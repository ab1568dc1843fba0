// The parse process's side of the undo journal. Worker thread only.

#include "engine/ParseProcess.h"
#include "os/clock.h"
#include "os/file.h"
#include "os/path.h"

#include <filesystem>

namespace wendo {

void CParseProcess::JournalCommit(const std::string& path, const std::string& backup)
{
    const std::string& folder = m_settings.journalFolder;
    if (folder.empty()) {
        return;
    }
    const std::string commandFile = os::ToNative(m_doc.GetPathName());
    if (!m_journalStarted) {
        m_journalStarted = true;
        // A run without backups cannot be undone, and the journal of an earlier run would
        // no longer describe the files.
        if (backup.empty()) {
            ForgetJournal(folder, commandFile);
        } else {
            m_journal.Start(folder, commandFile, os::WallClockSeconds());
        }
    }
    if (!m_journal.IsOpen()) {
        return;
    }
    JournalEntry entry;
    // Absolute, so that an undo from another folder names the same files; links are kept,
    // since the write-back edits a link's target through it.
    std::error_code error;
    entry.path = std::filesystem::absolute(os::ToNative(path), error).lexically_normal().string();
    entry.backup =
        std::filesystem::absolute(os::ToNative(backup), error).lexically_normal().string();
    entry.written =
        m_inMemory ? IdentifyBytes(ResultBytes()) : IdentifyFile(os::ToNative(ResultFilePath()));
    entry.backedUp = IdentifyFile(entry.path);
    os::FileStatus status;
    entry.backupIsNew = os::GetStatus(entry.backup, status) == os::FileError::NotFound;
    m_journal.Record(entry);
}

} // namespace wendo
