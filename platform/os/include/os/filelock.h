// Files held exclusively for the length of a task: a report that one run writes while no
// other run writes it and no reader reads it half written.
//
// The hold is an advisory whole-file lock (flock) on the open descriptor: every reader and
// writer of such files in this program takes it, other programs are not stopped. It ends when
// the descriptor is closed. Paths are native.
#pragma once

#include "os/file.h"

#include <string_view>

namespace os {

// Opens the file for writing (created with mode 0666 less the umask when missing), holds it
// exclusively, and only then empties it, so that a second writer never truncates the file
// that the first one holds. -1 with *error (when given): Exists when another holder has it.
int CreateHeldForWriting(std::string_view path, FileError* error = nullptr);

// The same without emptying it: the caller looks at what is there first (TruncateFile then).
int OpenHeldForRewriting(std::string_view path, FileError* error = nullptr);

// Both refuse what is not a regular file (NotRegular) without waiting on a FIFO.

// Opens the file for reading with a shared hold; -1 while a writer holds it (Exists), or when
// it cannot be opened.
int OpenHeldForReading(std::string_view path, FileError* error = nullptr);

} // namespace os
