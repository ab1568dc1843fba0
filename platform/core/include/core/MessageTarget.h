// Where the engine's notifications go. The engine never touches a window: it posts (queued,
// returns at once) or sends (returns once the receiver has handled it) numbered messages to a
// MessageTarget. The desktop program implements it with queued events on the interface thread;
// wendo-run and the tests implement it directly.
#pragma once

#include <cstdint>

namespace core {

// The application's first private message number; the engine's notifications are above it.
constexpr uint32_t WM_APP = 32768;

class MessageTarget
{
public:
    virtual ~MessageTarget() = default;

    // Queues the message and returns at once. May be called from any thread.
    virtual void Post(uint32_t message, intptr_t wParam, void* lParam) = 0;

    // Delivers the message and returns once it has been handled. May be called from any
    // thread; an implementation must not deadlock when the interface thread is the caller.
    virtual intptr_t Send(uint32_t message, intptr_t wParam, void* lParam) = 0;
};

} // namespace core
