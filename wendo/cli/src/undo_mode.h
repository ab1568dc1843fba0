// wendo-run --undo FILE.wdo: takes back the last run of a command file from its backups.
#pragma once

#include <iosfwd>
#include <string>

namespace wendo {
class CWendoDoc;
}

namespace wendo::cli {

// The mode's part of --help.
extern const char* const kUndoModeHelp;

// Where both programs keep their undo journals; empty when there is no such folder.
std::string JournalFolder();

// Restores what it can, prints what it restored and what it left. 0 when every file was
// restored, 1 when some were left, 2 when there was nothing to undo.
int RunUndoMode(const std::string& path, std::ostream& out, std::ostream& err);

// The last line of a run that wrote files: how to undo it, or that it cannot be undone.
void PrintUndoNote(const CWendoDoc& doc, const std::string& path, std::ostream& out);

} // namespace wendo::cli
