#include "brio/files.h"
#include "os/file.h"
#include "os/path.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A private temporary folder per test. Brio is given kept-form paths ("\tmp\brio-...\name");
// the test itself looks at the files through their native paths.
class FilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "brio-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(m_root, ec)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(m_root, ec);
    }

    std::string Kept(const std::string& relative = "") const
    {
        const std::string root = os::FromNative(m_root.string());
        return relative.empty() ? root : root + "\\" + relative;
    }
    fs::path Native(const std::string& relative) const { return m_root / os::ToNative(relative); }
    void Put(const std::string& relative, const std::string& content) const
    {
        std::ofstream(Native(relative), std::ios::binary) << content;
    }
    std::string Content(const std::string& relative) const
    {
        std::string data;
        EXPECT_EQ(os::ReadWholeFile(Native(relative).string(), data), os::FileError::None);
        return data;
    }
    // A descriptor on a file of the folder, opened for reading and writing.
    os::FileHandle Open(const std::string& relative) const
    {
        return os::FileHandle(os::OpenFile(Native(relative).string(), os::OpenMode::ReadWrite));
    }
    static bool Root() { return ::geteuid() == 0; }

    fs::path m_root;
};

TEST_F(FilesTest, AllocAndReadFileDefinedForEveryKindOfFile)
{
    const std::string withNul("a\0b\r\n\0", 6);
    Put("text.txt", "hello\r\n");
    Put("nul.bin", withNul);
    Put("empty.txt", "");
    fs::create_directory(Native("folder"));
    struct Row
    {
        const char* name;
        int result;
        std::string content;
    } rows[] = {
        {"text.txt", 1, "hello\r\n"}, {"nul.bin", 1, withNul},
        {"empty.txt", 1, ""},         {"folder", 0, ""},
        {"missing", 0, ""},
    };
    for (const Row& row : rows) {
        char* block = reinterpret_cast<char*>(1);
        size_t size = 99;
        EXPECT_EQ(AllocAndReadFile(Kept(row.name).c_str(), &block, &size), row.result) << row.name;
        if (row.result == 1) {
            ASSERT_NE(block, nullptr) << row.name;
            EXPECT_EQ(std::string(block, size), row.content) << row.name;
            EXPECT_EQ(block[size], '\0') << row.name;
        } else {
            EXPECT_EQ(block, nullptr) << row.name;
            EXPECT_EQ(size, 0U) << row.name;
        }
        KV_Free(block);
    }
    char* block = nullptr;
    EXPECT_EQ(AllocAndReadFile(nullptr, &block, nullptr), 0);
    EXPECT_EQ(AllocAndReadFile(Kept("text.txt").c_str(), nullptr, nullptr), 0);
    if (!Root()) {
        fs::permissions(Native("text.txt"), fs::perms::none);
        EXPECT_EQ(AllocAndReadFile(Kept("text.txt").c_str(), &block, nullptr), 0);
        EXPECT_EQ(block, nullptr);
    }
}

TEST_F(FilesTest, Write2FileCreatesAndReplaces)
{
    EXPECT_EQ(Write2File(Kept("w.txt").c_str(), "first version", 13), 1);
    EXPECT_EQ(Write2File(Kept("w.txt").c_str(), "x\0y", 3), 1);
    EXPECT_EQ(Content("w.txt"), std::string("x\0y", 3));
    EXPECT_EQ(Write2File(Kept("empty").c_str(), nullptr, 0), 1);
    EXPECT_EQ(Content("empty"), "");
    EXPECT_EQ(Write2File(Kept("no\\such\\folder.txt").c_str(), "x", 1), 0);
    EXPECT_EQ(Write2File(Kept("n").c_str(), nullptr, 4), 0);
    EXPECT_EQ(Write2File(Kept().c_str(), "x", 1), 0);
}

TEST_F(FilesTest, MkTempCreatesAPrivateFileAsItPicksTheName)
{
    const std::string templ = Kept("wdoXXXXXX.tmp");
    char first[BRIO_PATH_SIZE];
    ASSERT_EQ(KV_MkTemp(templ.c_str(), first), first);
    const std::string name(first);
    ASSERT_EQ(name.size(), templ.size());
    EXPECT_EQ(name.substr(0, name.size() - 10), templ.substr(0, templ.size() - 10));
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    for (std::size_t i = name.size() - 10; i < name.size() - 4; ++i) {
        EXPECT_TRUE(name[i] >= '0' && name[i] <= '9') << name;
    }
    struct stat st
    {
    };
    ASSERT_EQ(::stat(os::ToNative(name).c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(st.st_mode & 0777, 0600U);

    // Template and destination may be one buffer; the second name differs from the first.
    char same[BRIO_PATH_SIZE];
    std::snprintf(same, sizeof same, "%s", templ.c_str());
    ASSERT_EQ(KV_MkTemp(same, same), same);
    EXPECT_NE(std::string(same), name);

    char dest[BRIO_PATH_SIZE];
    EXPECT_EQ(KV_MkTemp(Kept("noxs").c_str(), dest), nullptr);
    EXPECT_EQ(KV_MkTemp(Kept("missing\\XXXXXX").c_str(), dest), nullptr);
    EXPECT_EQ(KV_MkTemp(nullptr, dest), nullptr);
}

TEST_F(FilesTest, TempDirectoryFollowsTmpdirOrFallsBackToTmp)
{
    std::optional<std::string> saved;
    if (const char* v = std::getenv("TMPDIR")) {
        saved = v;
    }
    char dest[BRIO_PATH_SIZE];
    ::setenv("TMPDIR", m_root.c_str(), 1);
    EXPECT_EQ(GetTempDirectory(dest), 1);
    EXPECT_EQ(std::string(dest), Kept() + "\\");
    ::setenv("TMPDIR", (m_root / "missing").c_str(), 1);
    EXPECT_EQ(GetTempDirectory(dest), 1);
    EXPECT_STREQ(dest, "\\tmp\\");
    ::unsetenv("TMPDIR");
    EXPECT_EQ(GetTempDirectory(dest), 1);
    EXPECT_STREQ(dest, "\\tmp\\");
    EXPECT_EQ(GetTempDirectory(nullptr), 0);
    if (saved) {
        ::setenv("TMPDIR", saved->c_str(), 1);
    }
}

TEST_F(FilesTest, EmptyDirectoryKeepsReadOnlyFilesAndFolders)
{
    Put("a.txt", "a");
    Put("ro.txt", "r");
    fs::permissions(Native("ro.txt"), fs::perms::owner_read);
    fs::create_directory(Native("sub"));
    Put("sub\\inner.txt", "i");
    fs::create_directory_symlink(Native("sub"), Native("linked"));
    EXPECT_EQ(EmptyDirectory(Kept().c_str()), 1);
    EXPECT_FALSE(fs::exists(Native("a.txt")));
    EXPECT_TRUE(fs::exists(Native("ro.txt")));
    EXPECT_TRUE(fs::exists(Native("sub\\inner.txt")));
    EXPECT_TRUE(fs::is_symlink(Native("linked")));
    EXPECT_EQ(EmptyDirectory((Kept() + "\\").c_str()), 1);
    EXPECT_EQ(EmptyDirectory(Kept("missing").c_str()), 0);
    EXPECT_EQ(EmptyDirectory(Kept("ro.txt").c_str()), 0);
    EXPECT_EQ(EmptyDirectory(nullptr), 0);
}

TEST_F(FilesTest, DirectorySizeCountsOnlyFilesDirectlyInside)
{
    Put("three", "abc");
    Put("five", "12345");
    fs::create_directory(Native("sub"));
    Put("sub\\big", std::string(100, 'x'));
    EXPECT_EQ(GetDirectorySize(Kept().c_str()), 8);
    EXPECT_EQ(GetDirectorySize(Kept("sub").c_str()), 100);
    EXPECT_EQ(GetDirectorySize(Kept("missing").c_str()), -1);
    EXPECT_EQ(GetDirectorySize(Kept("three").c_str()), -1);
}

TEST_F(FilesTest, FindFileToRootClimbsTheParents)
{
    fs::create_directories(Native("a\\b\\c"));
    Put("a\\marker.ini", "m");
    fs::create_directory(Native("a\\b\\marker.ini")); // a folder of that name does not count
    char dest[BRIO_PATH_SIZE] = "";
    EXPECT_EQ(FindFileToRoot("marker.ini", Kept("a\\b\\c").c_str(), dest), 1);
    EXPECT_EQ(std::string(dest), Kept("a\\marker.ini"));
    EXPECT_EQ(FindFileToRoot("marker.ini", (Kept("a") + "\\").c_str(), dest), 1);
    EXPECT_EQ(std::string(dest), Kept("a\\marker.ini"));
    EXPECT_EQ(FindFileToRoot("no-such-file.brio", Kept("a\\b\\c").c_str(), dest), 0);
    EXPECT_EQ(FindFileToRoot(nullptr, Kept().c_str(), dest), 0);

    // Without a start folder the search begins in the current one.
    const fs::path cwd = fs::current_path();
    fs::current_path(Native("a\\b"));
    EXPECT_EQ(FindFileToRoot("marker.ini", nullptr, nullptr), 1);
    EXPECT_EQ(FindFileToRoot("marker.ini", "c", dest), 1);
    EXPECT_EQ(std::string(dest), Kept("a\\marker.ini"));
    EXPECT_EQ(FindFileToRoot("marker.ini", "d:c", dest), 1);
    EXPECT_EQ(std::string(dest), Kept("a\\marker.ini"));
    fs::current_path(cwd);
}

TEST_F(FilesTest, FindStrInFileSearchesFromThePositionAcrossBlocks)
{
    std::string content(70000, '.');
    content.replace(10, 6, "needle");
    content.replace(32765, 6, "needle"); // across the first block boundary
    content[40000] = '\0';
    Put("hay", content);
    os::FileHandle h = Open("hay");
    ASSERT_TRUE(h.valid());
    EXPECT_EQ(FindStrInFile(h.get(), "needle"), 0);
    EXPECT_EQ(os::SeekFile(h.get(), 0, os::SeekFrom::Current), 10);
    os::SeekFile(h.get(), 11, os::SeekFrom::Start);
    EXPECT_EQ(FindStrInFile(h.get(), "needle"), 0);
    EXPECT_EQ(os::SeekFile(h.get(), 0, os::SeekFrom::Current), 32765);
    os::SeekFile(h.get(), 32766, os::SeekFrom::Start);
    EXPECT_EQ(FindStrInFile(h.get(), "needle"), 4);
    EXPECT_EQ(os::SeekFile(h.get(), 0, os::SeekFrom::Current), 32766);
    EXPECT_EQ(FindStrInFile(h.get(), ""), 3);
    EXPECT_EQ(FindStrInFile(h.get(), nullptr), 3);
    EXPECT_EQ(FindStrInFile(-1, "needle"), 2);
}

TEST_F(FilesTest, PlaceAtInFileOverwritesAfterTheMarker)
{
    Put("p.txt", "HEAD SIZE=____ tail");
    EXPECT_EQ(PlaceAtInFile(Kept("p.txt").c_str(), "SIZE=", "1234", 4), 0);
    EXPECT_EQ(Content("p.txt"), "HEAD SIZE=1234 tail");
    EXPECT_EQ(PlaceAtInFile(Kept("p.txt").c_str(), "tail", "++", 2), 0);
    EXPECT_EQ(Content("p.txt"), "HEAD SIZE=1234 tail++");
    EXPECT_EQ(PlaceAtInFile(Kept("p.txt").c_str(), "NONE", "x", 1), 4);
    EXPECT_EQ(PlaceAtInFile(Kept("missing").c_str(), "SIZE=", "x", 1), 2);
    EXPECT_EQ(PlaceAtInFile(Kept().c_str(), "SIZE=", "x", 1), 2);
    EXPECT_EQ(PlaceAtInFile(Kept("p.txt").c_str(), "", "x", 1), 3);
    EXPECT_EQ(PlaceAtInFile(Kept("p.txt").c_str(), "SIZE=", nullptr, 1), 3);
}

TEST_F(FilesTest, RemoveFromFileShiftsTheRestDown)
{
    Put("r.txt", "0123456789");
    os::FileHandle h = Open("r.txt");
    os::SeekFile(h.get(), 3, os::SeekFrom::Start);
    EXPECT_EQ(RemoveFromFile(4, h.get()), 0);
    EXPECT_EQ(os::SeekFile(h.get(), 0, os::SeekFrom::Current), 3);
    EXPECT_EQ(Content("r.txt"), "012789");
    EXPECT_EQ(RemoveFromFile(0, h.get()), 1);
    EXPECT_EQ(RemoveFromFile(-2, h.get()), 3);
    EXPECT_EQ(RemoveFromFile(100, h.get()), 0);
    EXPECT_EQ(Content("r.txt"), "012");

    std::string big;
    for (int i = 0; i < 100000; ++i) {
        big.push_back(static_cast<char>('a' + i % 26));
    }
    Put("big", big);
    os::FileHandle b = Open("big");
    os::SeekFile(b.get(), 10, os::SeekFrom::Start);
    EXPECT_EQ(RemoveFromFile(40000, b.get()), 0);
    EXPECT_EQ(Content("big"), big.substr(0, 10) + big.substr(40010));
}

TEST_F(FilesTest, GetFileStringReadsLineByLine)
{
    Put("lines", std::string("one\r\ntwo\nnul\0after\nabcdefgh\nlast", 32));
    os::FileHandle h = Open("lines");
    char buf[6];
    const char* expected[] = {"one\r", "two", "nul", "after", "abcde", "fgh", "last"};
    for (const char* line : expected) {
        EXPECT_EQ(GetFileString(buf, sizeof buf, h.get()), 0) << line;
        EXPECT_STREQ(buf, line);
    }
    EXPECT_EQ(GetFileString(buf, sizeof buf, h.get()), 6);
    EXPECT_EQ(GetFileString(buf, 1, h.get()), 3);
    EXPECT_EQ(GetFileString(nullptr, 10, h.get()), 3);
    Put("empty", "");
    os::FileHandle e = Open("empty");
    EXPECT_EQ(GetFileString(buf, sizeof buf, e.get()), 6);
}

TEST_F(FilesTest, GetFilePreviousWordLooksBackFromThePosition)
{
    Put("words", "hello big\tworld");
    os::FileHandle h = Open("words");
    char buf[8];
    struct Row
    {
        std::int64_t pos;
        int size;
        int result;
        const char* word;
    } rows[] = {
        {15, 8, 0, "world"}, {9, 8, 0, "big"}, {10, 8, 0, ""},      {5, 8, 0, "hello"},
        {0, 8, 0, ""},       {15, 5, 5, ""},   {15, 6, 0, "world"}, {5, 5, 5, ""},
    };
    for (const Row& row : rows) {
        os::SeekFile(h.get(), row.pos, os::SeekFrom::Start);
        EXPECT_EQ(GetFilePreviousWord(buf, row.size, h.get()), row.result) << row.pos;
        EXPECT_STREQ(buf, row.word) << row.pos;
        EXPECT_EQ(os::SeekFile(h.get(), 0, os::SeekFrom::Current), row.pos);
    }
    EXPECT_EQ(GetFilePreviousWord(nullptr, 8, h.get()), 3);
}

TEST_F(FilesTest, MaxLineWidthExpandsTabsToStops)
{
    Put("t.txt", "ab\tc\r\nabcdefg\n\t\tx");
    EXPECT_EQ(QueryMaxFileStringLen(Kept("t.txt").c_str(), 4), 9);
    EXPECT_EQ(QueryMaxFileStringLen(Kept("t.txt").c_str(), 0), 7);
    EXPECT_EQ(QueryMaxFileStringLen(Kept("t.txt").c_str(), 8), 17);
    EXPECT_EQ(QueryMaxFileStringLen(Kept("missing").c_str(), 4), 0);
    EXPECT_EQ(QueryMaxFileStringLen(Kept().c_str(), 4), 0);
}

TEST(FilesPath, SeparatorConversion)
{
    char buf[16];
    EXPECT_EQ(SetUXFilePath("c:\\a\\b.txt", buf, 0), 1);
    EXPECT_STREQ(buf, "c:/a/b.txt");
    EXPECT_EQ(SetUXFilePath("c:\\a\\b.txt", buf, 4), 1);
    EXPECT_STREQ(buf, "c:/");
    EXPECT_EQ(SetUXFilePath("c:\\a\\b.txt", buf, 3), 0);
    EXPECT_STREQ(buf, "c:");
    EXPECT_EQ(SetPCFilePath("/a/b", buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "\\a\\b");
    EXPECT_EQ(SetPCFilePath("plain", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "plain");
    std::strcpy(buf, "kept");
    EXPECT_EQ(SetPCFilePath("/a", buf, 0), 0);
    EXPECT_STREQ(buf, "kept");
    EXPECT_EQ(SetUXFilePath(nullptr, buf, 0), 0);
}

TEST(FilesPath, ExcludeDirMatchesEndsAndBaseRelativeEntries)
{
    struct Row
    {
        const char* name;
        const char* dir;
        const char* list;
        const char* base;
        int result;
    } rows[] = {
        {"star entry matches the end", "c:\\site\\CVS", "*\\cvs", nullptr, 1},
        {"trailing separator ignored", "c:\\site\\CVS\\", "*\\CVS\\", nullptr, 1},
        {"star entry needs the end", "c:\\site\\CVS\\x", "*\\CVS", nullptr, 0},
        {"relative entry joins the base", "c:\\site\\old", "tmp, old ", "c:\\site\\", 1},
        {"relative entry is not a suffix", "c:\\site\\x\\old", "old", "c:\\site\\", 0},
        {"empty entries match nothing", "c:\\site", ",,", "c:\\site", 0},
        {"empty list", "c:\\site", "", nullptr, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ISExcludeDir(row.dir, row.list, row.base), row.result) << row.name;
    }
    EXPECT_EQ(ISExcludeDir(nullptr, "*", nullptr), 0);
    EXPECT_EQ(ISExcludeDir("c:\\x", nullptr, nullptr), 0);
}

} // namespace
