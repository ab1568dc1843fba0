// The desktop program's message target. Post queues the notification as an event for the
// interface thread; Send from another thread queues it and waits until the interface thread
// has handled it; Send from the interface thread handles it at once.
//
// Identical pending notifications of a coalescable kind (they carry no data; the receiver
// reads the run record when it handles one) are queued once. Notifications for a document
// that was forgotten (closed) before they were handled are dropped, and a Send waiting for
// such a document returns 0.
//
// Threads: made and destroyed on the interface thread; Post and Send from any thread. The
// interface thread must never block waiting for a thread that may Send; when it has to wait
// for one, it waits through ServiceSendsUntil, which keeps answering Sends meanwhile.
// Destruction releases every waiting Send with 0; nobody may Post or Send after it.
#pragma once

#include "core/MessageTarget.h"

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>

namespace fw {

class QueuedMessageTarget final : public QObject, public core::MessageTarget
{
    Q_OBJECT

public:
    using Handler = std::function<intptr_t(uint32_t message, intptr_t wParam, void* lParam)>;
    using Coalescable = std::function<bool(uint32_t message)>;

    QueuedMessageTarget(Handler handler, Coalescable coalescable, QObject* parent = nullptr);
    ~QueuedMessageTarget() override;

    void Post(uint32_t message, intptr_t wParam, void* lParam) override;
    intptr_t Send(uint32_t message, intptr_t wParam, void* lParam) override;

    // Drops what is pending for lParam and releases its waiting Sends (interface thread).
    void Forget(const void* lParam);
    // Answers Sends on the interface thread until done() holds; done is polled.
    void ServiceSendsUntil(const std::function<bool()>& done, int pollMs = 5);

    // Notifications queued and not yet handled (tests).
    std::size_t PendingCount() const;

protected:
    void customEvent(QEvent* event) override;

private:
    struct SendSlot
    {
        uint32_t message;
        intptr_t wParam;
        void* lParam;
        uint64_t seq;
        bool done = false;
        intptr_t result = 0;
    };
    using Key = std::tuple<uint32_t, intptr_t, const void*>;

    bool IsForgotten(const void* lParam, uint64_t seq) const; // m_mutex held
    void ServiceSends(std::unique_lock<std::mutex>& lock);
    void Deliver(uint32_t message, intptr_t wParam, void* lParam, uint64_t seq);

    Handler m_handler;
    Coalescable m_coalescable;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    uint64_t m_seq = 0;                            // guarded by m_mutex
    std::size_t m_inFlight = 0;                    // guarded by m_mutex
    std::set<Key> m_pendingPosts;                  // guarded by m_mutex
    std::map<const void*, uint64_t> m_forgotten;   // guarded by m_mutex
    std::deque<std::shared_ptr<SendSlot>> m_sends; // guarded by m_mutex
    bool m_shutdown = false;                       // guarded by m_mutex
};

} // namespace fw
