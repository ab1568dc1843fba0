#include "brio/findfile.h"
#include "os/path.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class FindFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "wendo-find-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
    }
    void TearDown() override
    {
        if (m_find.pItems != nullptr) {
            FindEnd(&m_find);
        }
        std::error_code ec;
        fs::permissions(m_root / "locked", fs::perms::owner_all, ec);
        fs::remove_all(m_root, ec);
    }

    void Write(const std::string& name, std::size_t size = 1)
    {
        std::ofstream(m_root / name, std::ios::binary) << std::string(size, 'x');
    }
    // Seconds since 1970, both for the access and the modification time.
    void SetTimes(const std::string& name, time_t access, time_t modif)
    {
        const timespec times[2] = {{access, 0}, {modif, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (m_root / name).c_str(), times, 0), 0);
    }
    // The temporary folder in the kept form, followed by a backslash and the rest.
    std::string Kept(const std::string& rest) const
    {
        return os::FromNative(m_root.string()) + "\\" + rest;
    }
    std::vector<std::string> List(int16_t sort, int16_t kinds, const std::string& path)
    {
        std::vector<std::string> names;
        for (int more = FindFirst(sort, kinds, path.c_str(), &m_find); more != 0;
             more = FindNext(&m_find)) {
            names.emplace_back(m_find.szFileName);
        }
        FindEnd(&m_find);
        return names;
    }

    fs::path m_root;
    FindFile m_find{};
};

using Names = std::vector<std::string>;

TEST_F(FindFileTest, ListsMatchingFilesInNameOrderAndFillsTheRecord)
{
    Write("b.htm");
    Write("A.HTM");
    Write("c.txt");
    Write("a.html");
    fs::create_directory(m_root / "sub.htm");

    ASSERT_EQ(FindFirst(0, FINDFILE_FILES, Kept("*.htm").c_str(), &m_find), 1);
    EXPECT_STREQ(m_find.szFilter, "*.htm");
    EXPECT_EQ(m_find.szDirPath, os::FromNative(m_root.string()));
    EXPECT_EQ(m_find.sSort, FINDFILE_SORT_NAME) << "0 is taken as the name order";
    EXPECT_EQ(m_find.sNbEntries, 2);
    EXPECT_EQ(m_find.sNbFile, 2);
    EXPECT_EQ(m_find.sNbDir, 0);
    EXPECT_EQ(m_find.cScan, 1);
    EXPECT_STREQ(m_find.szFileName, "A.HTM");
    EXPECT_TRUE(S_ISREG(m_find.stFile.st_mode));
    ASSERT_EQ(FindNext(&m_find), 1);
    EXPECT_STREQ(m_find.szFileName, "b.htm");
    EXPECT_EQ(FindNext(&m_find), 0);
    EXPECT_EQ(FindNext(&m_find), 0);
    EXPECT_EQ(FindEnd(&m_find), 1);
    EXPECT_EQ(m_find.pItems, nullptr);
    EXPECT_EQ(FindEnd(&m_find), 1) << "a second FindEnd is harmless";
    EXPECT_EQ(FindNext(&m_find), 0);
}

TEST_F(FindFileTest, GroupsFilesAndDirectoriesByTheSortBits)
{
    Write("b.htm");
    Write("a.htm");
    Write("z.gif");
    fs::create_directory(m_root / "d2");
    fs::create_directory(m_root / "D1");
    const int16_t all = FINDFILE_DIRS | FINDFILE_FILES | FINDFILE_SCAN_ALL;

    EXPECT_EQ(List(0x42, all, Kept("*.htm")), (Names{"a.htm", "b.htm", "D1", "d2"}));
    EXPECT_EQ(List(0x22, all, Kept("*.htm")), (Names{"D1", "d2", "a.htm", "b.htm"}));
    EXPECT_EQ(List(0x43, all, Kept("*.htm")), (Names{"b.htm", "a.htm", "d2", "D1"}));
    EXPECT_EQ(List(2, all, Kept("*.htm")), (Names{"a.htm", "b.htm", "D1", "d2"}));
    EXPECT_EQ(List(0x62, all, Kept("*.htm")), (Names{"D1", "d2", "a.htm", "b.htm"}))
        << "both bits: directories first, not an empty listing";
    // Without a full scan, a directory must match the filter as a system search would.
    EXPECT_EQ(List(0x42, FINDFILE_DIRS | FINDFILE_FILES, Kept("d*")), (Names{"D1", "d2"}));
    EXPECT_EQ(List(0x42, FINDFILE_DIRS | FINDFILE_FILES, Kept("*.htm")), (Names{"a.htm", "b.htm"}));
    // Directories alone: a path without "*" lists every subdirectory of that path.
    EXPECT_EQ(List(0, FINDFILE_DIRS, os::FromNative(m_root.string())), (Names{"D1", "d2"}));
}

TEST_F(FindFileTest, EverySortCode)
{
    Write("a.txt", 30);
    Write("B.txt", 10);
    Write("c.txt", 20);
    SetTimes("a.txt", 3000, 1000);
    SetTimes("B.txt", 1000, 3000);
    SetTimes("c.txt", 2000, 2000);
    struct Row
    {
        const char* name;
        int16_t sort;
        Names order;
    };
    const Row rows[] = {
        {"name", FINDFILE_SORT_NAME, {"a.txt", "B.txt", "c.txt"}},
        {"name descending", FINDFILE_SORT_R_NAME, {"c.txt", "B.txt", "a.txt"}},
        {"modified", FINDFILE_SORT_MODIF, {"a.txt", "c.txt", "B.txt"}},
        {"newest first", FINDFILE_SORT_R_MODIF, {"B.txt", "c.txt", "a.txt"}},
        {"accessed", FINDFILE_SORT_ACCESS, {"B.txt", "c.txt", "a.txt"}},
        {"accessed descending", FINDFILE_SORT_R_ACCESS, {"a.txt", "c.txt", "B.txt"}},
        {"size", FINDFILE_SORT_SIZE, {"B.txt", "c.txt", "a.txt"}},
        {"size descending", FINDFILE_SORT_R_SIZE, {"a.txt", "c.txt", "B.txt"}},
        {"unknown code", 7, {"a.txt", "B.txt", "c.txt"}},
        {"with files-first bit", 0x45, {"B.txt", "c.txt", "a.txt"}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(List(row.sort, FINDFILE_FILES, Kept("*.txt")), row.order) << row.name;
    }
}

TEST_F(FindFileTest, WildcardRuleComparesExtensionThenTitle)
{
    struct Row
    {
        const char* filter;
        const char* name;
        bool listed;
    };
    const Row rows[] = {
        {"*.htm", "page.HTM", true},    {"*.htm", "page.html", false},
        {"*.htm*", "page.html", true},  {"a?c.txt", "abc.txt", true},
        {"a?c.txt", "ac.txt", false},   {"ab*.t*", "abXYZ.tab", true},
        {"*", "README", true},          {"*", "a.txt", false},
        {"*.*", "a.b.c", true},         {"*.*", "README", false},
        {"page.htm", "PAGE.htm", true}, {"page.htm", "page.htm.bak", false},
        {"*.htm", ".htm", true},
    };
    for (const Row& row : rows) {
        fs::remove_all(m_root);
        fs::create_directory(m_root);
        Write(row.name);
        const Names expected = row.listed ? Names{row.name} : Names{};
        EXPECT_EQ(List(0, FINDFILE_FILES, Kept(row.filter)), expected)
            << row.filter << " against " << row.name;
    }
}

TEST_F(FindFileTest, LinksToFilesAreFilesAndLinkedDirectoriesAreLeftOut)
{
    Write("target.htm", 42);
    fs::create_directory(m_root / "dir");
    fs::create_symlink(m_root / "target.htm", m_root / "link.htm");
    fs::create_symlink(m_root / "dir", m_root / "dirlink");
    fs::create_symlink(m_root, m_root / "dir" / "loop");
    fs::create_symlink(m_root / "gone.htm", m_root / "dangling.htm");
    fs::create_directory(m_root / "fifo-dir");
    ASSERT_EQ(mkfifo((m_root / "pipe.htm").c_str(), 0600), 0);
    // With the types alone the listing asks the file system about links only; what it keeps
    // must be the same.
    for (const int16_t typesOnly : {0, FINDFILE_TYPES_ONLY}) {
        const auto all =
            static_cast<int16_t>(FINDFILE_DIRS | FINDFILE_FILES | FINDFILE_SCAN_ALL | typesOnly);
        ASSERT_EQ(FindFirst(0x42, all, Kept("*.htm").c_str(), &m_find), 1);
        EXPECT_STREQ(m_find.szFileName, "link.htm");
        EXPECT_EQ(m_find.sTag, all);
        EXPECT_EQ(m_find.stFile.st_size, typesOnly != 0 ? 0 : 42) << "the status is the target's";
        EXPECT_TRUE(S_ISREG(m_find.stFile.st_mode));
        FindEnd(&m_find);
        EXPECT_EQ(List(0x42, all, Kept("*.htm")),
                  (Names{"link.htm", "target.htm", "dir", "fifo-dir"}));
        EXPECT_EQ(List(0x42, all, Kept("dir\\*.htm")), Names{});
    }
    // An order by size needs the statuses: they are read, and the record says so.
    const int16_t bySize = FINDFILE_FILES | FINDFILE_TYPES_ONLY;
    ASSERT_EQ(FindFirst(FINDFILE_SORT_SIZE, bySize, Kept("*.htm").c_str(), &m_find), 1);
    EXPECT_EQ(m_find.sTag, FINDFILE_FILES);
    EXPECT_EQ(m_find.stFile.st_size, 42);
    FindEnd(&m_find);
}

TEST_F(FindFileTest, NamesAreBytes)
{
    const std::string latin1 = "caf\xE9.htm";
    Write(latin1);
    Write("a b~1.htm");
    Write("PROGRA~1.htm");
    fs::create_directory(m_root / "my dir~x");
    Write("my dir~x/in.htm");
    EXPECT_EQ(List(0, FINDFILE_FILES, Kept("*.htm")), (Names{"a b~1.htm", latin1, "PROGRA~1.htm"}));
    EXPECT_EQ(List(0, FINDFILE_FILES, Kept("my dir~x\\*.htm")), Names{"in.htm"});
}

TEST_F(FindFileTest, DriveLettersAndRelativePathsReachTheSameFolder)
{
    Write("a.htm");
    ASSERT_EQ(FindFirst(0, FINDFILE_FILES, ("C:" + Kept("*.htm")).c_str(), &m_find), 1);
    EXPECT_EQ(m_find.szDirPath, "C:" + os::FromNative(m_root.string())) << "kept as given";
    FindEnd(&m_find);
    EXPECT_EQ(List(0, FINDFILE_FILES, "  " + Kept("*.htm") + "\t\n"), Names{"a.htm"});

    const fs::path before = fs::current_path();
    fs::current_path(m_root);
    EXPECT_EQ(List(0, FINDFILE_FILES, "*.htm"), Names{"a.htm"});
    ASSERT_EQ(FindFirst(0, FINDFILE_FILES, "*.htm", &m_find), 1);
    EXPECT_EQ(m_find.szDirPath, os::FromNative(fs::current_path().string()));
    FindEnd(&m_find);
    fs::create_directory(m_root / "rel");
    Write("rel/b.htm");
    EXPECT_EQ(List(0, FINDFILE_FILES, "rel\\*.htm"), Names{"b.htm"});
    fs::current_path(before);
}

TEST_F(FindFileTest, NothingListedLeavesNoItemsBehind)
{
    Write("a.txt");
    struct Row
    {
        const char* name;
        std::string path;
        int error; // a folder that could not be read is told from one with nothing to list
    };
    const Row rows[] = {
        {"no match", Kept("*.htm"), 0},
        {"no such folder", Kept("none\\*.htm"), ENOENT},
        {"a file taken as folder", Kept("a.txt\\*.htm"), ENOTDIR},
        {"empty path", "", 0},
        {"path too long", Kept(std::string(FINDFILE_PATH_SIZE, 'x') + "\\*.htm"), ENAMETOOLONG},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FindFirst(0, FINDFILE_FILES, row.path.c_str(), &m_find), 0) << row.name;
        EXPECT_EQ(m_find.pItems, nullptr) << row.name;
        EXPECT_EQ(m_find.iError, row.error) << row.name;
        EXPECT_EQ(FindNext(&m_find), 0) << row.name;
    }
    EXPECT_EQ(FindFirst(0, FINDFILE_FILES, nullptr, &m_find), 0);
    EXPECT_EQ(FindFirst(0, FINDFILE_FILES, "x", nullptr), 0);
    EXPECT_EQ(FindNext(nullptr), 0);
    EXPECT_EQ(FindEnd(nullptr), 0);
    EXPECT_EQ(FindFilePrint(nullptr), 0);
}

TEST_F(FindFileTest, UnreadableFolderListsNothing)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    fs::create_directory(m_root / "locked");
    Write("locked/a.htm");
    fs::permissions(m_root / "locked", fs::perms::none);
    EXPECT_EQ(List(0x42, 7, Kept("locked\\*.htm")), Names{});
}

// A 16-bit count once listed 32,767 names of a bigger folder, in the order the disk gave.
TEST_F(FindFileTest, CountsPastSixteenBitsAndEveryNameInOrder)
{
    constexpr int kCount = 32767 + 3;
    for (int i = 0; i < kCount; ++i) {
        const int fd = open((m_root / std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    ASSERT_EQ(FindFirst(0, FINDFILE_FILES, Kept("*").c_str(), &m_find), 1);
    EXPECT_EQ(m_find.sNbEntries, kCount);
    std::string last = m_find.szFileName;
    int delivered = 1;
    while (FindNext(&m_find) != 0) {
        EXPECT_LT(last, m_find.szFileName);
        last = m_find.szFileName;
        ++delivered;
    }
    EXPECT_EQ(delivered, kCount);
    EXPECT_EQ(m_find.cScan, kCount);
}

TEST_F(FindFileTest, PrintsTheRecord)
{
    Write("a.htm");
    ASSERT_EQ(FindFirst(0, FINDFILE_FILES, Kept("*.htm").c_str(), &m_find), 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(FindFilePrint(&m_find), 1);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string expected = "\nFindFile Struct\nsTag: 2\nszFilter: *.htm\nsSort: 2\n"
                                 "cScan: 1\nsNbEntries: 1\nsNbFile: 1\nsNbDir: 0\nszDirPath: " +
                                 os::FromNative(m_root.string()) + "\nszFileName: a.htm\n\n";
    EXPECT_EQ(out, expected);
}

} // namespace
