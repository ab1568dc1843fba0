// The user's state folder, where the programs keep what must outlive a run (the undo
// journals), and the flush that makes a record there survive a crash. Paths are native.
#pragma once

#include <string>

namespace os {

// $XDG_STATE_HOME/<program> when the variable holds an absolute path, else
// ~/.local/state/<program>; made (mode 0700, parents as needed) when missing. Empty when
// there is no home folder or the folder cannot be made.
std::string StateFolder(const std::string& program);

// Flushes the file's data (and the size that reaches it) to the device; false on failure.
bool FlushFileData(int handle);

} // namespace os
