#include "os/event.h"

#include <chrono>

namespace os {

Event::Event(EventReset mode, bool initiallySet) : m_mode(mode), m_set(initiallySet)
{
}

void Event::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    // Everyone wakes: with auto-reset, the first to take the lock takes the signal and the
    // others go back to waiting.
    m_changed.notify_all();
}

void Event::Reset()
{
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool Event::TakeLocked()
{
    if (!m_set) {
        return false;
    }
    if (m_mode == EventReset::Auto) {
        m_set = false;
    }
    return true;
}

bool Event::Wait(std::uint32_t timeoutMilliseconds)
{
    std::unique_lock lock(m_mutex);
    if (timeoutMilliseconds > 0) {
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                           [this] { return m_set; });
    }
    return TakeLocked();
}

void Event::Wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_set; });
    TakeLocked();
}

bool Event::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return m_set;
}

} // namespace os
