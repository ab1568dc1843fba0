#include "tessel/tessel.h"

#include <atomic>

namespace {
std::atomic<bool> g_initialised{false};
}

int InitTesselDLL()
{
    // Nothing in the library needs set-up work today; the flag lets the program and the
    // window library check that start-up ran in the documented order.
    g_initialised.store(true, std::memory_order_release);
    return 1;
}

int ISTesselInitialised()
{
    return g_initialised.load(std::memory_order_acquire) ? 1 : 0;
}
