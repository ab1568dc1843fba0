#include "companions/Dralo.h"
#include "os/path.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class RecordingBox final : public DraloListBox
{
public:
    void ResetContent() override
    {
        names.clear();
        ++resets;
    }
    void AddString(std::string_view name) override { names.emplace_back(name); }

    std::vector<std::string> names;
    int resets = 0;
};

class DraloTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() /
                 ("dralo-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "sub.htm");
        for (const char* name : {"b.htm", "A.htm", "c.txt", "noext"}) {
            std::ofstream(m_root / name) << "x";
        }
        fs::create_symlink(m_root / "b.htm", m_root / "link.htm");
        fs::create_directory_symlink(m_root / "sub.htm", m_root / "dirlink.htm");
    }
    void TearDown() override { fs::remove_all(m_root); }

    // The kept form of a pattern in the test folder.
    std::string Pattern(const std::string& filter) const
    {
        return os::FromNative((m_root / filter).string());
    }

    fs::path m_root;
};

TEST_F(DraloTest, ListsMatchingFilesInNameOrderAndNoFolders)
{
    struct Row
    {
        const char* name;
        const char* filter;
        std::vector<std::string> expected;
    } rows[] = {
        {"htm files and a link to one", "*.htm", {"A.htm", "b.htm", "link.htm"}},
        // The run's wildcard rule: "*.*" asks for an extension, as a run walking that
        // entry would.
        {"every file with an extension", "*.*", {"A.htm", "b.htm", "c.txt", "link.htm"}},
        {"names without one", "*", {"noext"}},
        {"one name", "c.txt", {"c.txt"}},
        {"nothing matches", "*.gif", {}},
    };
    for (const Row& row : rows) {
        RecordingBox box;
        box.names = {"left over"};
        EXPECT_EQ(KVFillFileListBox(box, Pattern(row.filter)),
                  static_cast<int>(row.expected.size()))
            << row.name;
        EXPECT_EQ(box.names, row.expected) << row.name;
        EXPECT_EQ(box.resets, 1) << row.name;
    }
}

TEST_F(DraloTest, BadPatternsEmptyTheBoxAndListNothing)
{
    const std::string longPattern = Pattern(std::string(300, 'x') + "\\*.*");
    const std::string withNul = Pattern("*.htm") + std::string(1, '\0') + "x";
    for (const std::string& pattern :
         {std::string(), Pattern("missing\\*.*"), longPattern, withNul}) {
        RecordingBox box;
        box.names = {"left over"};
        EXPECT_EQ(KVFillFileListBox(box, pattern), 0);
        EXPECT_TRUE(box.names.empty());
    }
}

} // namespace
