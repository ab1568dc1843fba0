#include "QtTestSupport.h"
#include "fw/QueuedMessageTarget.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

struct Received
{
    uint32_t message;
    intptr_t wParam;
    void* lParam;
};

class MessageTargetTest : public ::testing::Test
{
protected:
    void SetUp() override { TestApp(); }

    std::vector<Received> m_received;
    int m_docA = 0;
    int m_docB = 0;
};

TEST_F(MessageTargetTest, PostedNotificationsArriveInOrderOnTheEventLoop)
{
    fw::QueuedMessageTarget target(
        [this](uint32_t m, intptr_t w, void* l) -> intptr_t {
            m_received.push_back({m, w, l});
            return 0;
        },
        {});
    target.Post(1, 0, &m_docA);
    target.Post(2, 5, &m_docA);
    target.Post(1, 0, &m_docA);
    EXPECT_TRUE(m_received.empty()) << "posting never handles at once";
    ASSERT_TRUE(SpinUntil([&] { return m_received.size() == 3; }));
    EXPECT_EQ(m_received[0].message, 1u);
    EXPECT_EQ(m_received[1].message, 2u);
    EXPECT_EQ(m_received[1].wParam, 5);
    EXPECT_EQ(m_received[2].message, 1u);
}

TEST_F(MessageTargetTest, IdenticalPendingCoalescableNotificationsAreQueuedOnce)
{
    fw::QueuedMessageTarget target(
        [this](uint32_t m, intptr_t w, void* l) -> intptr_t {
            m_received.push_back({m, w, l});
            return 0;
        },
        [](uint32_t message) { return message == 10; });
    for (int i = 0; i < 5; ++i) {
        target.Post(10, 0, &m_docA); // merged
        target.Post(10, 0, &m_docB); // another document: its own
        target.Post(10, 1, &m_docA); // another parameter: its own
        target.Post(11, 0, &m_docA); // not coalescable: every one
    }
    EXPECT_EQ(target.PendingCount(), 8u);
    ASSERT_TRUE(SpinUntil([&] { return target.PendingCount() == 0; }));
    EXPECT_EQ(m_received.size(), 8u);
    // Once handled, the same notification is queued again.
    target.Post(10, 0, &m_docA);
    EXPECT_EQ(target.PendingCount(), 1u);
    SpinUntil([&] { return target.PendingCount() == 0; });
}

TEST_F(MessageTargetTest, SendFromAWorkerWaitsUntilHandledAndGetsTheResult)
{
    fw::QueuedMessageTarget target(
        [this](uint32_t m, intptr_t w, void* l) -> intptr_t {
            m_received.push_back({m, w, l});
            return 40 + w;
        },
        {});
    std::atomic<intptr_t> result{-1};
    std::thread worker([&] { result = target.Send(215, 2, &m_docA); });
    ASSERT_TRUE(SpinUntil([&] { return result.load() != -1; }));
    worker.join();
    EXPECT_EQ(result.load(), 42);
    ASSERT_EQ(m_received.size(), 1u);
}

TEST_F(MessageTargetTest, SendOnTheInterfaceThreadIsHandledAtOnce)
{
    fw::QueuedMessageTarget target([](uint32_t, intptr_t w, void*) -> intptr_t { return w; }, {});
    EXPECT_EQ(target.Send(215, 7, &m_docA), 7);
}

// The interface thread waiting for a worker that sends must keep answering, or both wait
// for each other for good.
TEST_F(MessageTargetTest, WaitingForAWorkerKeepsAnsweringItsSends)
{
    fw::QueuedMessageTarget target([](uint32_t, intptr_t w, void*) -> intptr_t { return w; }, {});
    std::atomic<bool> finished{false};
    std::atomic<intptr_t> sum{0};
    std::thread worker([&] {
        for (int i = 1; i <= 20; ++i) {
            sum += target.Send(215, i, &m_docA);
        }
        finished = true;
    });
    target.ServiceSendsUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(sum.load(), 210);
}

TEST_F(MessageTargetTest, AForgottenDocumentGetsNothingMoreAndItsSendsReturn)
{
    fw::QueuedMessageTarget target(
        [this](uint32_t m, intptr_t w, void* l) -> intptr_t {
            m_received.push_back({m, w, l});
            return 1;
        },
        {});
    target.Post(1, 0, &m_docA);
    target.Post(1, 0, &m_docB);
    std::atomic<intptr_t> sent{-1};
    std::thread worker([&] { sent = target.Send(215, 0, &m_docA); });
    // The Send is queued before the document goes.
    while (target.PendingCount() < 3) {
        std::this_thread::yield();
    }
    target.Forget(&m_docA);
    worker.join();
    EXPECT_EQ(sent.load(), 0);
    SpinUntil([&] { return target.PendingCount() == 0; });
    ASSERT_EQ(m_received.size(), 1u);
    EXPECT_EQ(m_received[0].lParam, &m_docB);
}

TEST_F(MessageTargetTest, DestructionReleasesAWaitingSender)
{
    auto target = std::make_unique<fw::QueuedMessageTarget>(
        [](uint32_t, intptr_t, void*) -> intptr_t { return 5; }, nullptr);
    std::atomic<intptr_t> sent{-1};
    std::thread worker([&] { sent = target->Send(215, 0, &m_docA); });
    while (target->PendingCount() < 1) {
        std::this_thread::yield();
    }
    target.reset();
    worker.join();
    EXPECT_EQ(sent.load(), 0);
}

} // namespace
