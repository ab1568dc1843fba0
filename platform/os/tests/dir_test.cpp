#include "os/dir.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Set by a test to make every listing leave its entries untyped, as some file systems do.
bool g_untypedListings = false;

} // namespace

// Stands in for the C library's call in this test program, so that a test can show the reader
// a listing without types.
extern "C" ssize_t getdents64(int fd, void* buffer, size_t length) noexcept
{
    const long got = syscall(SYS_getdents64, fd, buffer, length);
    for (long at = 0; g_untypedListings && at < got;) {
        auto* entry = reinterpret_cast<dirent64*>(static_cast<char*>(buffer) + at);
        entry->d_type = DT_UNKNOWN;
        at += entry->d_reclen;
    }
    return got;
}

namespace {

class DirReaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "wendo-dir-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_root / "locked", fs::perms::owner_all, ec);
        fs::remove_all(m_root, ec);
    }
    void Touch(const std::string& name) { std::ofstream(m_root / name) << "x"; }

    std::vector<std::string> Names(const fs::path& dir)
    {
        os::DirectoryReader reader(dir.string());
        std::vector<std::string> names;
        std::string name;
        while (reader.Next(name)) {
            names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_root;
};

TEST_F(DirReaderTest, ReadsNamesAsBytesWithoutDotEntries)
{
    const std::string latin1 = "caf\xE9.htm";
    Touch(latin1);
    Touch("a b~1.htm");
    fs::create_directory(m_root / "sub");
    EXPECT_EQ(Names(m_root), (std::vector<std::string>{"a b~1.htm", latin1, "sub"}));
}

TEST_F(DirReaderTest, ClassifiesEntriesAndNeverOffersLinkedDirectories)
{
    Touch("file.htm");
    fs::create_directory(m_root / "dir");
    fs::create_symlink(m_root / "file.htm", m_root / "to-file");
    fs::create_symlink(m_root / "dir", m_root / "to-dir");
    fs::create_symlink(m_root, m_root / "dir" / "loop");
    fs::create_symlink(m_root / "gone", m_root / "dangling");

    os::DirectoryReader reader(m_root.string());
    ASSERT_TRUE(reader.IsOpen());
    struct stat st
    {
    };
    EXPECT_EQ(reader.Status("file.htm", st), os::EntryKind::File);
    EXPECT_EQ(st.st_size, 1);
    EXPECT_EQ(reader.Status("dir", st), os::EntryKind::Directory);
    EXPECT_EQ(reader.Status("to-file", st), os::EntryKind::File);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << "a link to a file reports the file's status";
    EXPECT_EQ(reader.Status("to-dir", st), os::EntryKind::LinkToDirectory);
    EXPECT_EQ(reader.Status("dangling", st), os::EntryKind::Missing);
    EXPECT_EQ(reader.Status("no-such", st), os::EntryKind::Missing);
    EXPECT_EQ(reader.Status("dir/loop", st), os::EntryKind::Missing) << "names, not paths";
    EXPECT_EQ(reader.Status(std::string("file.htm\0x", 10), st), os::EntryKind::Missing);

    os::DirectoryReader inner((m_root / "dir").string());
    EXPECT_EQ(inner.Status("loop", st), os::EntryKind::LinkToDirectory);
}

// The kind read from the listing's types must be the one a status call gives, and an untyped
// listing must fall back to the status calls.
TEST_F(DirReaderTest, KindOfEachListedEntryWithAndWithoutTypes)
{
    Touch("file.htm");
    fs::create_directory(m_root / "dir");
    fs::create_symlink(m_root / "file.htm", m_root / "to-file");
    fs::create_symlink(m_root / "dir", m_root / "to-dir");
    fs::create_symlink(m_root / "gone", m_root / "dangling");
    ASSERT_EQ(mkfifo((m_root / "pipe").c_str(), 0600), 0);
    const std::map<std::string, os::EntryKind> expected = {
        {"file.htm", os::EntryKind::File},    {"dir", os::EntryKind::Directory},
        {"to-file", os::EntryKind::File},     {"to-dir", os::EntryKind::LinkToDirectory},
        {"dangling", os::EntryKind::Missing}, {"pipe", os::EntryKind::Other},
    };
    for (const bool untyped : {false, true}) {
        g_untypedListings = untyped;
        os::DirectoryReader reader(m_root.string());
        std::map<std::string, os::EntryKind> kinds;
        std::string name;
        while (reader.Next(name)) {
            kinds[name] = reader.Kind(name);
        }
        g_untypedListings = false;
        EXPECT_EQ(reader.Error(), 0);
        EXPECT_EQ(kinds, expected) << (untyped ? "untyped" : "typed");
    }
}

TEST_F(DirReaderTest, ReportsErrorsInsteadOfFailingHard)
{
    os::DirectoryReader missing((m_root / "none").string());
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Error(), ENOENT);
    std::string name;
    EXPECT_FALSE(missing.Next(name));
    struct stat st
    {
    };
    EXPECT_EQ(missing.Status("x", st), os::EntryKind::Missing);

    Touch("plain");
    EXPECT_FALSE(os::DirectoryReader((m_root / "plain").string()).IsOpen());
    EXPECT_FALSE(os::DirectoryReader(std::string("/tmp\0/etc", 9)).IsOpen());
}

TEST_F(DirReaderTest, UnreadableDirectoryCannotBeOpened)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    fs::create_directory(m_root / "locked");
    fs::permissions(m_root / "locked", fs::perms::none);
    os::DirectoryReader reader((m_root / "locked").string());
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.Error(), EACCES);
}

TEST_F(DirReaderTest, ExistenceCountsTheEntryItself)
{
    Touch("here");
    fs::create_symlink(m_root / "gone", m_root / "dangling");
    EXPECT_TRUE(os::EntryExists((m_root / "here").string()));
    EXPECT_TRUE(os::EntryExists((m_root / "dangling").string()));
    EXPECT_FALSE(os::EntryExists((m_root / "none").string()));
    EXPECT_FALSE(os::EntryExists(""));
    EXPECT_FALSE(os::WorkingDirectory().empty());
}

} // namespace
