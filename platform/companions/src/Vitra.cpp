#include "companions/Vitra.h"

#include <atomic>

namespace {

std::atomic<int> g_ready{0};

} // namespace

int InitVitraDLL()
{
    g_ready.store(1);
    return 1;
}

int ISVitraInitialised()
{
    return g_ready.load();
}
