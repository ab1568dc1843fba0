#include "plinth/plinth.h"

#include <atomic>

namespace {

std::atomic<int> g_initialised{0};

} // namespace

int InitPlinthDLL()
{
    g_initialised.store(1);
    return 1;
}

int ISPlinthInitialised()
{
    return g_initialised.load();
}
