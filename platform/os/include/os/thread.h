// Thread scheduling.
#pragma once

namespace os {

// Lowers the calling thread's scheduling priority one step below where it is (its nice value
// one higher on Linux). False when the system refused; the thread then runs on unchanged,
// which is harmless.
bool LowerCurrentThreadPriority();

} // namespace os
