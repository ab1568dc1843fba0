#include "fw/QueuedMessageTarget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <chrono>

namespace fw {

namespace {

const QEvent::Type kNotifyEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kSendEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class NotifyEvent final : public QEvent
{
public:
    NotifyEvent(uint32_t message, intptr_t wParam, void* lParam, uint64_t seq)
        : QEvent(kNotifyEvent), m_message(message), m_wParam(wParam), m_lParam(lParam), m_seq(seq)
    {
    }
    uint32_t m_message;
    intptr_t m_wParam;
    void* m_lParam;
    uint64_t m_seq;
};

} // namespace

QueuedMessageTarget::QueuedMessageTarget(Handler handler, Coalescable coalescable, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)), m_coalescable(std::move(coalescable))
{
}

QueuedMessageTarget::~QueuedMessageTarget()
{
    std::lock_guard lock(m_mutex);
    m_shutdown = true;
    for (const auto& slot : m_sends) {
        slot->done = true;
        slot->result = 0;
    }
    m_sends.clear();
    m_changed.notify_all();
}

void QueuedMessageTarget::Post(uint32_t message, intptr_t wParam, void* lParam)
{
    uint64_t seq = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown) {
            return;
        }
        if (m_coalescable && m_coalescable(message) &&
            !m_pendingPosts.emplace(message, wParam, lParam).second) {
            return;
        }
        seq = ++m_seq;
        ++m_inFlight;
    }
    QCoreApplication::postEvent(this, new NotifyEvent(message, wParam, lParam, seq));
}

intptr_t QueuedMessageTarget::Send(uint32_t message, intptr_t wParam, void* lParam)
{
    if (QThread::currentThread() == thread()) {
        uint64_t seq = 0;
        {
            std::lock_guard lock(m_mutex);
            seq = ++m_seq;
            if (m_shutdown || IsForgotten(lParam, seq)) {
                return 0;
            }
        }
        return m_handler ? m_handler(message, wParam, lParam) : 0;
    }
    auto slot = std::make_shared<SendSlot>();
    slot->message = message;
    slot->wParam = wParam;
    slot->lParam = lParam;
    std::unique_lock lock(m_mutex);
    if (m_shutdown) {
        return 0;
    }
    slot->seq = ++m_seq;
    m_sends.push_back(slot);
    // Wakes the interface thread in its event loop, or in ServiceSendsUntil.
    QCoreApplication::postEvent(this, new QEvent(kSendEvent));
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return slot->done; });
    return slot->result;
}

void QueuedMessageTarget::Forget(const void* lParam)
{
    std::lock_guard lock(m_mutex);
    m_forgotten[lParam] = m_seq;
    std::erase_if(m_pendingPosts, [lParam](const Key& key) { return std::get<2>(key) == lParam; });
    for (auto it = m_sends.begin(); it != m_sends.end();) {
        if ((*it)->lParam == lParam) {
            (*it)->done = true;
            (*it)->result = 0;
            it = m_sends.erase(it);
        } else {
            ++it;
        }
    }
    m_changed.notify_all();
}

void QueuedMessageTarget::ServiceSendsUntil(const std::function<bool()>& done, int pollMs)
{
    std::unique_lock lock(m_mutex);
    while (true) {
        ServiceSends(lock);
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished) {
            return;
        }
        m_changed.wait_for(lock, std::chrono::milliseconds(pollMs),
                           [this] { return !m_sends.empty(); });
    }
}

std::size_t QueuedMessageTarget::PendingCount() const
{
    std::lock_guard lock(m_mutex);
    return m_inFlight + m_sends.size();
}

void QueuedMessageTarget::customEvent(QEvent* event)
{
    if (event->type() == kNotifyEvent) {
        const auto* notify = static_cast<NotifyEvent*>(event);
        Deliver(notify->m_message, notify->m_wParam, notify->m_lParam, notify->m_seq);
    } else if (event->type() == kSendEvent) {
        std::unique_lock lock(m_mutex);
        ServiceSends(lock);
    }
}

bool QueuedMessageTarget::IsForgotten(const void* lParam, uint64_t seq) const
{
    const auto found = m_forgotten.find(lParam);
    return found != m_forgotten.end() && seq <= found->second;
}

void QueuedMessageTarget::ServiceSends(std::unique_lock<std::mutex>& lock)
{
    while (!m_sends.empty()) {
        std::shared_ptr<SendSlot> slot = m_sends.front();
        m_sends.pop_front();
        intptr_t result = 0;
        if (!m_shutdown && !IsForgotten(slot->lParam, slot->seq) && m_handler) {
            lock.unlock();
            result = m_handler(slot->message, slot->wParam, slot->lParam);
            lock.lock();
        }
        slot->result = result;
        slot->done = true;
        m_changed.notify_all();
    }
}

void QueuedMessageTarget::Deliver(uint32_t message, intptr_t wParam, void* lParam, uint64_t seq)
{
    bool forgotten = false;
    {
        std::lock_guard lock(m_mutex);
        m_pendingPosts.erase(Key{message, wParam, lParam});
        forgotten = IsForgotten(lParam, seq);
        if (--m_inFlight == 0 && m_sends.empty()) {
            // Nothing queued can name a forgotten document any more.
            m_forgotten.clear();
        }
    }
    if (!forgotten && m_handler) {
        m_handler(message, wParam, lParam);
    }
}

} // namespace fw
