// Events: one signal per observer for auto-reset, held signals for manual-reset, and waits
// that a signal from another thread ends.
#include "os/event.h"
#include "os/filelock.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

TEST(Event, AutoResetIsTakenByOneLookAndManualResetStays)
{
    struct Case
    {
        const char* name;
        os::EventReset mode;
        bool secondLook;
    };
    for (const Case& c : {Case{"auto", os::EventReset::Auto, false},
                          Case{"manual", os::EventReset::Manual, true}}) {
        SCOPED_TRACE(c.name);
        os::Event event(c.mode);
        EXPECT_FALSE(event.Wait(0));
        event.Set();
        EXPECT_TRUE(event.IsSet());
        EXPECT_TRUE(event.IsSet()) << "looking does not take the signal";
        EXPECT_TRUE(event.Wait(0));
        EXPECT_EQ(event.Wait(0), c.secondLook);
        event.Reset();
        EXPECT_FALSE(event.IsSet());
    }
    EXPECT_TRUE(os::Event(os::EventReset::Manual, true).IsSet());
}

TEST(Event, WaitEndsOnASignalFromAnotherThreadOrOnTime)
{
    os::Event event(os::EventReset::Auto);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.Wait(30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));

    std::thread setter([&event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        event.Set();
    });
    EXPECT_TRUE(event.Wait(10000));
    setter.join();
    EXPECT_FALSE(event.IsSet());

    std::thread late([&event] { event.Set(); });
    event.Wait();
    late.join();
}

TEST(FileLock, WriterExcludesWritersAndReadersUntilClosed)
{
    const std::string path = "/tmp/wendo-lock-" + std::to_string(getpid());
    {
        std::FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("old text", f);
        std::fclose(f);
    }
    {
        os::FileHandle writer(os::CreateHeldForWriting(path));
        ASSERT_TRUE(writer.valid());
        os::FileError error = os::FileError::None;
        EXPECT_EQ(os::CreateHeldForWriting(path, &error), -1);
        EXPECT_EQ(error, os::FileError::Exists);
        EXPECT_EQ(os::OpenHeldForReading(path, &error), -1);
        EXPECT_EQ(error, os::FileError::Exists);
        os::FileStatus status;
        ASSERT_EQ(os::GetHandleStatus(writer.get(), status), os::FileError::None);
        EXPECT_EQ(status.size, 0) << "emptied once held";
    }
    os::FileHandle reader(os::OpenHeldForReading(path));
    EXPECT_TRUE(reader.valid());
    os::FileHandle second(os::OpenHeldForReading(path));
    EXPECT_TRUE(second.valid()) << "readers share";
    EXPECT_EQ(os::CreateHeldForWriting(path), -1) << "a reader keeps the writer out";
    reader.reset();
    second.reset();
    std::remove(path.c_str());
    EXPECT_EQ(os::OpenHeldForReading(path), -1);
}

} // namespace
