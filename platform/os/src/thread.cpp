#include "os/thread.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace os {

bool LowerCurrentThreadPriority()
{
    // On Linux the nice value belongs to each thread, named by its thread id.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, tid);
    if (now == -1 && errno != 0) {
        return false;
    }
    return setpriority(PRIO_PROCESS, tid, now + 1) == 0;
}

} // namespace os
