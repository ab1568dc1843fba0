#include "os/replace.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class WriteBackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("wendo-replace-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    static void Write(const std::string& p, const std::string& text)
    {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string Read(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    size_t EntriesInDir() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {}));
    }
    fs::path m_dir;
};

TEST_F(WriteBackTest, ReplacesContentKeepsModeAndMakesBackupFirst)
{
    Write(Path("a.htm"), "old text");
    Write(Path("new"), "new text");
    ::chmod(Path("a.htm").c_str(), 0640);
    ASSERT_EQ(os::WriteBack(Path("a.htm"), Path("new"), Path("a.htm.bak")),
              os::WriteBackError::None);
    EXPECT_EQ(Read(Path("a.htm")), "new text");
    EXPECT_EQ(Read(Path("a.htm.bak")), "old text");
    struct stat st
    {
    };
    ::stat(Path("a.htm").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(EntriesInDir(), 3u) << "no temporary file may be left behind";
}

TEST_F(WriteBackTest, DeferredFolderFlushesAreCollectedOncePerFolder)
{
    fs::create_directories(m_dir / "sub");
    for (const char* name : {"a.htm", "b.htm", "sub/c.htm"}) {
        Write(Path(name), "old");
    }
    Write(Path("new"), "new");
    os::PendingFolderSyncs pending;
    for (const char* name : {"a.htm", "b.htm", "sub/c.htm"}) {
        ASSERT_EQ(os::WriteBack(Path(name), Path("new"), {}, {}, &pending),
                  os::WriteBackError::None);
        EXPECT_EQ(Read(Path(name)), "new") << "the rename is not deferred, only its flush";
    }
    ASSERT_EQ(os::WriteBack(Path("a.htm"), Path("new"), Path("a.htm.bak"), {}, &pending),
              os::WriteBackError::None);
    const std::vector<std::string> expected = {m_dir.string() + "/",
                                               (m_dir / "sub").string() + "/"};
    EXPECT_EQ(pending.Pending(), expected);
    pending.Flush();
    EXPECT_TRUE(pending.Pending().empty());
}

TEST_F(WriteBackTest, SymlinkedFileIsEditedInItsTargetAndStaysALink)
{
    Write(Path("real.htm"), "old");
    Write(Path("new"), "new");
    fs::create_symlink(Path("real.htm"), Path("link.htm"));
    ASSERT_EQ(os::WriteBack(Path("link.htm"), Path("new"), ""), os::WriteBackError::None);
    EXPECT_TRUE(fs::is_symlink(Path("link.htm")));
    EXPECT_EQ(Read(Path("real.htm")), "new");
}

TEST_F(WriteBackTest, FailuresLeaveTheSourceAsItWas)
{
    Write(Path("a.htm"), "old");
    // The new content cannot be read: nothing changes.
    EXPECT_EQ(os::WriteBack(Path("a.htm"), Path("missing"), ""), os::WriteBackError::Replace);
    EXPECT_EQ(Read(Path("a.htm")), "old");
    // The backup's folder does not exist: the source is not touched.
    Write(Path("new"), "new");
    EXPECT_EQ(os::WriteBack(Path("a.htm"), Path("new"), Path("nofolder/a.htm.bak")),
              os::WriteBackError::Backup);
    EXPECT_EQ(Read(Path("a.htm")), "old");
    // A missing target is not created.
    EXPECT_EQ(os::WriteBack(Path("gone.htm"), Path("new"), ""), os::WriteBackError::Replace);
    EXPECT_FALSE(fs::exists(Path("gone.htm")));
    EXPECT_EQ(EntriesInDir(), 2u);
}

TEST_F(WriteBackTest, UnwritableFolderReportsReplaceFailure)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop the superuser";
    }
    Write(Path("a.htm"), "old");
    Write(Path("new"), "new");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(os::WriteBack(Path("a.htm"), Path("new"), ""), os::WriteBackError::Replace);
    EXPECT_EQ(Read(Path("a.htm")), "old");
}

TEST_F(WriteBackTest, WriteFileAtomicallyCreatesAndReplaces)
{
    ASSERT_EQ(os::WriteFileAtomically(Path("r.log"), "first"), 0);
    ASSERT_EQ(os::WriteFileAtomically(Path("r.log"), "second"), 0);
    EXPECT_EQ(Read(Path("r.log")), "second");
    EXPECT_NE(os::WriteFileAtomically(Path("no/r.log"), "x"), 0);
    EXPECT_EQ(EntriesInDir(), 1u);
}

} // namespace
