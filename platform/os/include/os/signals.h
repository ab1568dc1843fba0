// The terminal's interrupt (Ctrl-C), the termination signal and a hang-up as a request to
// stop, for programs that end their work cleanly instead of dying in the middle of it.
#pragma once

namespace os {

// From now on the first SIGINT, SIGTERM or SIGHUP only marks the request; a second one of the
// same kind acts as the system's default again (ends the program), for when a clean stop
// hangs. Call once, from the main thread, before other threads start.
void CatchStopSignals();

// A stop signal has arrived since CatchStopSignals. Safe from any thread.
bool StopSignalled();

// Waits until fd has something to read (true) or a stop signal arrives (false), so that a
// question on a terminal never outlasts a stop request. Without CatchStopSignals it only
// waits for fd.
bool WaitReadableUnlessStopped(int fd);

// A write to a closed pipe fails with EPIPE instead of ending the program, so that a broken
// output is a write error like any other. Call once, from the main thread, before other
// threads start.
void IgnoreBrokenPipes();

} // namespace os
