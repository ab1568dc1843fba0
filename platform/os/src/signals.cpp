#include "os/signals.h"

#include <atomic>
#include <csignal>

namespace os {

namespace {

// Written from the signal handler: lock-free by the static assertion below.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnStopSignal(int signal)
{
    g_stopSignal.store(signal);
}

} // namespace

void CatchStopSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the handler runs once; the next signal of that kind has its default effect.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopSignalled()
{
    return g_stopSignal.load() != 0;
}

} // namespace os
