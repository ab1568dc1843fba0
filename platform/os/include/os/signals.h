// The terminal's interrupt (Ctrl-C) and the termination signal as a request to stop, for
// programs that end their work cleanly instead of dying in the middle of it.
#pragma once

namespace os {

// From now on the first SIGINT or SIGTERM only marks the request; a second one of the same
// kind acts as the system's default again (ends the program), for when a clean stop hangs.
// Call once, from the main thread, before other threads start.
void CatchStopSignals();

// A stop signal has arrived since CatchStopSignals. Safe from any thread.
bool StopSignalled();

} // namespace os
