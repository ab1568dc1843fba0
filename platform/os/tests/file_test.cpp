#include "os/clock.h"
#include "os/file.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A private folder per test, removed with its files afterwards.
class OsFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = "/tmp/os_file_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string Path(const std::string& name) const { return m_dir + "/" + name; }

    std::string m_dir;
};

TEST_F(OsFileTest, WriteReadStatusAndRemoveTakeNativePaths)
{
    const std::string data("a\0b\r\n", 5);
    ASSERT_EQ(os::WriteWholeFile(Path("a.txt"), data.data(), data.size()), os::FileError::None);
    std::string back;
    ASSERT_EQ(os::ReadWholeFile(Path("a.txt"), back), os::FileError::None);
    EXPECT_EQ(back, data);
    os::FileStatus st;
    ASSERT_EQ(os::GetStatus(Path("a.txt"), st), os::FileError::None);
    EXPECT_EQ(st.size, 5);
    EXPECT_TRUE(st.regular);
    EXPECT_FALSE(st.directory);
    EXPECT_GT(st.modified, 0);
    EXPECT_EQ(os::RemoveFile(Path("a.txt")), os::FileError::None);
    EXPECT_FALSE(os::Exists(Path("a.txt")));
    EXPECT_EQ(os::RemoveFile(Path("a.txt")), os::FileError::NotFound);
}

TEST_F(OsFileTest, FoldersAndMissingFilesAreRefusedAsFiles)
{
    std::string data;
    EXPECT_EQ(os::ReadWholeFile(m_dir, data), os::FileError::IsDirectory);
    EXPECT_EQ(os::ReadWholeFile(Path("none"), data), os::FileError::NotFound);
    EXPECT_EQ(os::ReadWholeFile("", data), os::FileError::NotFound);
    os::FileError err = os::FileError::None;
    EXPECT_EQ(os::OpenFile(m_dir, os::OpenMode::Read, &err), -1);
    EXPECT_EQ(err, os::FileError::IsDirectory);
    // Free room is asked of the file system of an existing path only.
    EXPECT_GE(os::AvailableBytes(m_dir), 0);
    EXPECT_EQ(os::AvailableBytes(Path("none")), -1);
    EXPECT_EQ(os::AvailableBytes(""), -1);
}

TEST_F(OsFileTest, ExclusiveCreationFailsOnAnExistingName)
{
    EXPECT_EQ(os::CreateExclusive(Path("t")), os::FileError::None);
    EXPECT_EQ(os::CreateExclusive(Path("t")), os::FileError::Exists);
    os::FileStatus st;
    ASSERT_EQ(os::GetStatus(Path("t"), st), os::FileError::None);
    EXPECT_EQ(st.mode & 0777U, 0600U);
    EXPECT_EQ(os::CreateExclusive(Path("missing/t")), os::FileError::NotFound);
}

TEST_F(OsFileTest, CopyKeepsModeAndNeverTruncatesItsSource)
{
    ASSERT_EQ(os::WriteWholeFile(Path("s"), "abc", 3), os::FileError::None);
    ASSERT_EQ(::chmod((m_dir + "/s").c_str(), 0640), 0);
    ASSERT_EQ(os::CopyFile(Path("s"), Path("d"), false), os::FileError::None);
    EXPECT_EQ(os::CopyFile(Path("s"), Path("d"), false), os::FileError::Exists);
    EXPECT_EQ(os::CopyFile(Path("s"), Path("s"), true), os::FileError::Exists);
    std::string back;
    ASSERT_EQ(os::ReadWholeFile(Path("d"), back), os::FileError::None);
    EXPECT_EQ(back, "abc");
    ASSERT_EQ(os::ReadWholeFile(Path("s"), back), os::FileError::None);
    EXPECT_EQ(back, "abc");
    os::FileStatus st;
    ASSERT_EQ(os::GetStatus(Path("d"), st), os::FileError::None);
    EXPECT_EQ(st.mode, 0640U);
    EXPECT_EQ(os::RenameFile(Path("d"), Path("e")), os::FileError::None);
    EXPECT_TRUE(os::Exists(Path("e")));
    EXPECT_FALSE(os::Exists(Path("d")));
}

TEST_F(OsFileTest, HandlesReadWriteSeekAndTruncate)
{
    ASSERT_EQ(os::WriteWholeFile(Path("h"), "0123456789", 10), os::FileError::None);
    os::FileHandle h(os::OpenFile(Path("h"), os::OpenMode::ReadWrite));
    ASSERT_TRUE(h.valid());
    EXPECT_EQ(os::SeekFile(h.get(), 4, os::SeekFrom::Start), 4);
    char buf[4] = {};
    EXPECT_EQ(os::ReadFile(h.get(), buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "456");
    EXPECT_TRUE(os::WriteFile(h.get(), "xy", 2));
    EXPECT_TRUE(os::TruncateFile(h.get(), 9));
    EXPECT_EQ(os::SeekFile(h.get(), 0, os::SeekFrom::End), 9);
    h.reset();
    std::string back;
    ASSERT_EQ(os::ReadWholeFile(Path("h"), back), os::FileError::None);
    EXPECT_EQ(back, "0123456xy");
}

TEST(OsFolders, TempDirectoryIsAnExistingFolderEndingInASeparator)
{
    const std::string tmp = os::TempDirectory();
    ASSERT_FALSE(tmp.empty());
    EXPECT_EQ(tmp.front(), '/');
    EXPECT_EQ(tmp.back(), '/');
    os::FileStatus st;
    ASSERT_EQ(os::GetStatus(tmp, st), os::FileError::None);
    EXPECT_TRUE(st.directory);
}

TEST(OsClock, MonotonicClockCountsSleptMilliseconds)
{
    const std::int64_t start = os::MonotonicMilliseconds();
    os::SleepMilliseconds(30);
    const std::int64_t spent = os::MonotonicMilliseconds() - start;
    EXPECT_GE(spent, 30);
    EXPECT_LT(spent, 5000);
}

TEST(OsClock, CalendarFieldsReachPast2038)
{
    std::tm tm{};
    ASSERT_TRUE(os::UniversalTime(4102444800LL, tm)); // 2100-01-01 00:00 UTC
    EXPECT_EQ(tm.tm_year, 200);
    EXPECT_EQ(tm.tm_mon, 0);
    EXPECT_EQ(tm.tm_mday, 1);
    EXPECT_GT(os::WallClockSeconds(), 1600000000LL);
}

} // namespace
