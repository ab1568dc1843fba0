// Events for telling a worker thread to stop, suspend or go on, and for a worker to say that it
// has started or ended.
//
// An auto-reset event stays signalled until one wait or look sees it, which clears it again: one
// signal is taken by exactly one observer. A manual-reset event stays signalled until Reset.
// Every member may be called from any thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace os {

enum class EventReset
{
    Auto,
    Manual,
};

class Event
{
public:
    explicit Event(EventReset mode, bool initiallySet = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();

    // Waits until the event is signalled or the time has passed; true when it was signalled.
    // An auto-reset event is cleared by the wait that sees it. 0 only looks.
    bool Wait(std::uint32_t timeoutMilliseconds);
    // Waits without limit.
    void Wait();
    // Looks without waiting and without clearing, whatever the mode.
    bool IsSet() const;

private:
    bool TakeLocked();

    const EventReset m_mode;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set; // guarded by m_mutex
};

} // namespace os
