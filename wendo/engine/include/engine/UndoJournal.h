// The undo journal: what the last run of a command file wrote, so that the run can be taken
// back from its backups. One journal per command file, in the user's state folder, named after
// the command file's absolute path. A run that writes with backups starts it at its first
// write-back and adds each file's record, flushed, before the file is replaced, so a killed
// run leaves a journal of every file it may have replaced. Undo restores only files that still
// hold exactly what the run wrote and whose backups still hold what they held; it never guesses.
//
// The journal is a text file: a header, then one line per file, fields separated by tabs,
// bytes below 0x20, 0x7f and "%" written as %XX. A line cut by a kill is ignored.
//
// Threads: a writer belongs to one run's worker; the functions may be called from any thread.
// A writer holds its journal exclusively (flock) and undo holds it shared, so an undo never
// reads a journal that a run is still writing.
#pragma once

#include "os/file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wendo {

// The size and the SHA-256 (lowercase hex) of a file's bytes; size -1 when it cannot be read.
struct ContentId
{
    int64_t size = -1;
    std::string sha256;
    bool Known() const { return size >= 0; }
    bool operator==(const ContentId& other) const = default;
};

// Reads the file at the native path (links followed) whole.
ContentId IdentifyFile(const std::string& path);
// The same for bytes in memory.
ContentId IdentifyBytes(std::string_view bytes);

struct JournalEntry
{
    std::string path;         // native, as the run named the file
    std::string backup;       // native
    ContentId written;        // what the run wrote over the file
    ContentId backedUp;       // what the backup holds: the file's text before the run
    bool backupIsNew = false; // no file had the backup's name before the run
};

// Where both programs keep their journals: the user's state folder for this program (made
// when missing); empty when there is none.
std::string UserJournalFolder();

// The journal of a command file (native path, made absolute) inside folder.
std::string JournalPath(const std::string& folder, const std::string& commandFile);
bool HasJournal(const std::string& folder, const std::string& commandFile);
// Files the journal names; -1 when there is no journal, or a run holds it.
int JournalFileCount(const std::string& folder, const std::string& commandFile);
// Removes the journal: a run that writes without backups makes any older journal a
// journal of some other run.
void ForgetJournal(const std::string& folder, const std::string& commandFile);

class UndoJournal
{
public:
    UndoJournal() = default;
    UndoJournal(const UndoJournal&) = delete;
    UndoJournal& operator=(const UndoJournal&) = delete;
    ~UndoJournal() { Close(); }

    // Replaces the journal of commandFile with an empty one of a run that started at time
    // (seconds since 1970). False when it cannot be written (the run then cannot be undone).
    bool Start(const std::string& folder, const std::string& commandFile, int64_t time);
    // Adds the record and flushes it. False when it cannot be written: the journal is then
    // removed, since it would not name every file of the run.
    bool Record(const JournalEntry& entry);
    bool IsOpen() const { return m_file.valid(); }
    // Releases the journal; one without records is removed.
    void Close();

private:
    os::FileHandle m_file;
    std::string m_path;
    std::size_t m_records = 0;
};

struct UndoResult
{
    enum class State
    {
        Done,      // the journal was used and removed
        NoJournal, // nothing to undo
        Busy,      // a run of the command file is writing its journal
    };
    State state = State::NoJournal;
    int64_t runTime = 0;
    // Native paths; a file that the run had not yet replaced counts as restored.
    std::vector<std::string> restored;
    // Files left as they are, each with the reason.
    std::vector<std::pair<std::string, std::string>> left;
};

// Takes back the last run of commandFile (native) from its journal in folder, newest record
// first: each file that still holds what the run wrote gets its backup's text back through
// a safe write-back, and a backup the run made anew is removed once its text is back in
// place. The journal is removed afterwards, whatever was left.
UndoResult UndoLastRun(const std::string& folder, const std::string& commandFile);

} // namespace wendo
