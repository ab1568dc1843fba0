// The document's file set: its text form, the default exclusion filters, the exclusion test
// and the pre-count of files on a real folder tree.
#include "ModelTestSupport.h"
#include "model/FileSet.h"

using namespace wendo;
using namespace wendo::test;

namespace {

TEST(FileSetText, SaveAndLoadKeepEntriesInOrder)
{
    CFileSet set;
    set.Append(CFileList("C:\\site\\*.htm", 1, 0, 0, nullptr));
    set.Append(CFileList("*.bak", 0, 1, 1, "x"));
    std::string text;
    EXPECT_EQ(set.SaveToText(text), 2);
    EXPECT_EQ(
        text,
        ":~:FILTER RECURS_ON C:/site/*.htm:~:\n:~:EXCL_FILTER RECURS_OFF SKIP *.bak ~x~:~:\n");

    struct Row
    {
        const char* name;
        int32_t count;
        std::size_t expected;
    };
    for (const Row& row : {Row{"all", 2, 2}, Row{"more_than_present", 50, 2}, Row{"fewer", 1, 1},
                           Row{"zero", 0, 0}, Row{"negative", -4, 0}}) {
        SCOPED_TRACE(row.name);
        CFileSet loaded;
        loaded.Append(CFileList("stale.htm", 0, 0, 0, nullptr));
        loaded.LoadFromText(row.count, text);
        ASSERT_EQ(static_cast<std::size_t>(loaded.Count()), row.expected);
        for (std::size_t i = 0; i < row.expected; ++i) {
            EXPECT_EQ(loaded.Entries()[i].GetStrFileList(), set.Entries()[i].GetStrFileList());
        }
    }
}

TEST(FileSetText, TokensWithoutTheirClosingMarkerAreNotTaken)
{
    CFileSet set;
    set.LoadFromText(3, ":~:FILTER RECURS_ON a.htm:~:\n:~:FILTER RECURS_ON b.htm\n");
    ASSERT_EQ(set.Count(), 1);
    set.LoadFromText(3, "no markers at all");
    EXPECT_EQ(set.Count(), 0);
    set.LoadFromText(1, ":~::~:");
    ASSERT_EQ(set.Count(), 1);
    EXPECT_EQ(set.At(0)->GetStrFileList(), "");
}

TEST(FileSetFilters, DefaultFiltersStandApartFromTheEntries)
{
    CFileSet set;
    std::vector<std::string> forms;
    for (const CFileList& filter : set.DefaultFilters()) {
        forms.push_back(filter.GetStrFileList());
    }
    EXPECT_EQ(forms, (std::vector<std::string>{
                         "EXCL_FILTER RECURS_ON *.wdo", "EXCL_FILTER RECURS_ON *.gif",
                         "EXCL_FILTER RECURS_ON *.jpg", "EXCL_FILTER RECURS_ON *.tif",
                         "EXCL_FILTER RECURS_ON *.bmp", "EXCL_FILTER RECURS_ON *.zip"}));
    EXPECT_EQ(set.Count(), 0);
    CFileList out;
    EXPECT_FALSE(set.First(out));
    std::string text;
    EXPECT_EQ(set.SaveToText(text), 0);
    EXPECT_EQ(text, "");
    set.Clear();
    EXPECT_EQ(set.DefaultFilters().size(), 6U);
}

TEST(FileSetFilters, ExclusionTestsDefaultFiltersThenTheGatheredExcludeEntries)
{
    CFileSet set;
    set.Append(CFileList("C:\\site\\*.htm", 1, 0, 0, nullptr));
    set.Append(CFileList("C:\\site\\old\\*.htm", 1, 1, 0, nullptr));
    const CFileList image("C:\\site\\images\\LOGO.GIF", 0, 0, 0, nullptr);
    const CFileList job("C:\\site\\jobs\\site.wdo", 0, 0, 0, nullptr);
    const CFileList oldPage("C:\\site\\old\\a.htm", 0, 0, 0, nullptr);
    const CFileList page("C:\\site\\a.htm", 0, 0, 0, nullptr);

    EXPECT_TRUE(set.IsExcluded(image));
    EXPECT_TRUE(set.IsExcluded(job));
    EXPECT_FALSE(set.IsExcluded(oldPage)); // the exclude list is gathered when a run starts
    set.PrepareExcludeList();
    EXPECT_TRUE(set.IsExcluded(oldPage));
    EXPECT_FALSE(set.IsExcluded(page));
}

TEST(FileSetRelativeEntries, AreTakenFromTheCommandFolder)
{
    const struct
    {
        const char* name;
        CFileList entry;
        const char* folder;
        const char* path; // as the run uses it
    } rows[] = {
        {"relative_pattern", CFileList("site/*.htm", 1, 0, 0, nullptr), "\\jobs\\",
         "/jobs/site/*.htm"},
        {"folder_without_separator", CFileList("a.htm", 0, 0, 0, "opt"), "\\jobs", "/jobs/a.htm"},
        {"relative_exclude_folder", CFileList("site/old/*.htm", 1, 1, 0, nullptr), "\\jobs\\",
         "/jobs/site/old/*.htm"},
        {"exclude_filter_matches_anywhere", CFileList("*.bak", 0, 1, 0, nullptr), "\\jobs\\",
         "*.bak"},
        {"folder_pattern", CFileList("*\\old\\*.htm", 1, 1, 0, nullptr), "\\jobs\\", "*/old/*.htm"},
        {"absolute", CFileList("/srv/site/*.htm", 1, 0, 0, nullptr), "\\jobs\\", "/srv/site/*.htm"},
        {"drive", CFileList("C:\\site\\*.htm", 1, 0, 0, nullptr), "\\jobs\\", "C:/site/*.htm"},
        {"url", CFileList("http://host/a.htm", 0, 0, 0, nullptr), "\\jobs\\", "http://host/a.htm"},
        {"no_command_folder", CFileList("site/*.htm", 1, 0, 0, nullptr), "", "site/*.htm"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const CFileList run = CFileSet::ResolveEntry(row.entry, row.folder);
        EXPECT_EQ(run.GetURLPath(), row.path);
        EXPECT_EQ(run.IsRecursive(), row.entry.IsRecursive());
        EXPECT_EQ(run.IsExclude(), row.entry.IsExclude());
        EXPECT_EQ(run.GetOption(), row.entry.GetOption());
    }
}

class FileSetCount : public TempFolderTest
{
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        for (const char* name : {"a.htm", "b.htm", "logo.gif", "c.txt", "site.wdo", "sub/d.htm",
                                 "sub/pic.jpg", "sub/deep/e.htm", "old/f.htm", "old/g.zip"}) {
            fs::create_directories((m_dir / name).parent_path());
            WriteAll(m_dir / name, "x");
        }
    }
    std::string In(const std::string& pattern) const { return (m_dir / pattern).string(); }
};

TEST_F(FileSetCount, CountsTheFilesARunWillMeet)
{
    struct Entry
    {
        std::string pattern;
        int recursive;
        int exclude;
    };
    struct Row
    {
        const char* name;
        std::vector<Entry> entries;
        bool prepare;
        int32_t expected;
    };
    const std::vector<Row> rows = {
        {"recursive_filter", {{In("*.htm"), 1, 0}}, false, 5},
        {"current_folder_only", {{In("*.htm"), 0, 0}}, false, 2},
        {"default_filters_drop_images", {{In("*.*"), 1, 0}}, false, 6},
        {"one_file", {{In("a.htm"), 0, 0}}, false, 1},
        {"one_image_file", {{In("logo.gif"), 0, 0}}, false, 0},
        {"excluded_entry_counts_nothing", {{In("*.htm"), 1, 1}}, false, 0},
        {"exclude_entry_once_gathered", {{In("*.htm"), 1, 0}, {In("old/*.htm"), 1, 1}}, true, 4},
        {"exclude_entry_not_gathered", {{In("*.htm"), 1, 0}, {In("old/*.htm"), 1, 1}}, false, 5},
        {"missing_folder", {{In("nowhere/*.htm"), 1, 0}}, false, 0},
        {"entries_add_up", {{In("*.htm"), 0, 0}, {In("sub/*.htm"), 1, 0}}, false, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CFileSet set;
        for (const Entry& e : row.entries) {
            set.Append(CFileList(e.pattern.c_str(), e.recursive, e.exclude, 0, nullptr));
        }
        if (row.prepare) {
            set.PrepareExcludeList();
        }
        int32_t count = -1;
        EXPECT_TRUE(set.PreCount(count));
        EXPECT_EQ(count, row.expected);
    }
}

// Stops at the stopAt-th look (0: never); suspended for the first suspendedLooks looks.
class ScriptedSignals : public CFileSet::RunSignals
{
public:
    ScriptedSignals(int stopAt, int suspendedLooks)
        : m_stopAt(stopAt), m_suspendedLooks(suspendedLooks)
    {
    }
    bool TakeStop() override { return ++stopLooks == m_stopAt; }
    bool IsSuspended() override { return suspendLooks++ < m_suspendedLooks; }

    int stopLooks = 0;
    int suspendLooks = 0;

private:
    int m_stopAt;
    int m_suspendedLooks;
};

TEST_F(FileSetCount, AStopEndsTheCountAndASuspensionIsWaitedOut)
{
    CFileSet set;
    set.Append(CFileList(In("*.htm").c_str(), 1, 0, 0, nullptr));

    ScriptedSignals stopDeep(4, 0); // inside the walk of the subfolders
    set.SetRunSignals(&stopDeep);
    int32_t count = -1;
    EXPECT_FALSE(set.PreCount(count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(stopDeep.stopLooks, 4);

    ScriptedSignals suspended(0, 5);
    set.SetRunSignals(&suspended);
    EXPECT_TRUE(set.PreCount(count));
    EXPECT_EQ(count, 5);
    EXPECT_GT(suspended.suspendLooks, 5);

    // A stop that comes while suspended ends the wait and the count.
    ScriptedSignals stopWhileSuspended(2, 1000000);
    set.SetRunSignals(&stopWhileSuspended);
    EXPECT_FALSE(set.PreCount(count));

    set.SetRunSignals(nullptr);
    EXPECT_TRUE(set.PreCount(count));
    EXPECT_EQ(count, 5);
}

} // namespace
