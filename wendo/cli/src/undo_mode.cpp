#include "undo_mode.h"

#include "engine/UndoJournal.h"
#include "model/WendoDoc.h"

#include <ctime>
#include <ostream>

namespace wendo::cli {

const char* const kUndoModeHelp =
    "--undo FILE.wdo takes back the last run of the command file that wrote with backups\n"
    "(runs with BACKUP=ON keep a journal in $XDG_STATE_HOME/wendo, else\n"
    "~/.local/state/wendo): each file that still holds exactly what the run wrote gets its\n"
    "backup's text back, replaced whole with its mode and links kept, and the backups the run\n"
    "made are removed. A file changed since the run, or whose backup is gone or changed, is\n"
    "listed and left alone. The journal is used once. Exit status 0 all restored, 1 some\n"
    "left, 2 nothing to undo (a run without backups cannot be undone).\n";

namespace {

std::string TimeText(int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    char text[32] = "?";
    if (localtime_r(&time, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    }
    return text;
}

} // namespace

std::string JournalFolder()
{
    return UserJournalFolder();
}

int RunUndoMode(const std::string& path, std::ostream& out, std::ostream& err)
{
    const UndoResult result = UndoLastRun(JournalFolder(), path);
    if (result.state == UndoResult::State::Busy) {
        err << "wendo-run: a run of " << path << " is in progress; undo it once it has ended\n";
        return 2;
    }
    if (result.state == UndoResult::State::NoJournal) {
        err << "wendo-run: nothing to undo for " << path << '\n';
        return 2;
    }
    out << "Undoing the run of " << TimeText(result.runTime) << '\n';
    for (const std::string& file : result.restored) {
        out << "  restored  " << file << '\n';
    }
    for (const auto& [file, reason] : result.left) {
        out << "  left      " << file << " (" << reason << ")\n";
    }
    out << result.restored.size() << " restored, " << result.left.size() << " left\n";
    return result.left.empty() ? 0 : 1;
}

void PrintUndoNote(const CWendoDoc& doc, const std::string& path, std::ostream& out)
{
    if (doc.NoWrite != 0 || doc.Run.TotalModified.load() == 0) {
        return;
    }
    if (doc.Backup == 0) {
        out << "This run kept no backups: it cannot be undone.\n";
    } else if (!HasJournal(JournalFolder(), path)) {
        out << "This run's undo journal could not be written: it cannot be undone.\n";
    } else {
        out << "To take this run back: wendo-run --undo " << path << '\n';
    }
}

} // namespace wendo::cli
