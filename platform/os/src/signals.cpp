#include "os/signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace os {

namespace {

// Written from the signal handler: lock-free by the static assertion below.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
// The handler writes a byte to the pipe so that a wait on a descriptor wakes; the bytes are
// never read, so the read end stays readable once a stop was asked. Set before the handler
// is installed and never changed after.
int g_wakeRead = -1;
int g_wakeWrite = -1;

extern "C" void OnStopSignal(int signal)
{
    const int saved = errno;
    g_stopSignal.store(signal);
    if (g_wakeWrite >= 0) {
        const char byte = 1;
        (void)!::write(g_wakeWrite, &byte, 1);
    }
    errno = saved;
}

} // namespace

void CatchStopSignals()
{
    int wake[2];
    if (g_wakeRead < 0 && ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
        g_wakeRead = wake[0];
        g_wakeWrite = wake[1];
    }
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the handler runs once; the next signal of that kind has its default effect.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

bool StopSignalled()
{
    return g_stopSignal.load() != 0;
}

bool WaitReadableUnlessStopped(int fd)
{
    pollfd watched[2] = {{fd, POLLIN, 0}, {g_wakeRead, POLLIN, 0}};
    while (!StopSignalled()) {
        const int n = ::poll(watched, 2, -1);
        if (n < 0 && errno != EINTR) {
            return true; // the read that follows meets the error
        }
        if (n > 0 && watched[0].revents != 0) {
            return !StopSignalled();
        }
    }
    return false;
}

void IgnoreBrokenPipes()
{
    struct sigaction action
    {
    };
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}

} // namespace os
