#include "EntryList.h"
#include "UiTestSupport.h"
#include "model/WendoDoc.h"
#include "tessel/FileList.h"

#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

using wendo::CWendoDoc;
using wendo::ui::CEntryList;

class EntryListTest : public ::testing::Test
{
protected:
    EntryListTest()
        : m_list((TestApp(), std::make_unique<QTreeWidget>())), m_entries(*m_list, m_doc)
    {
        m_entries.Init();
    }
    QTreeWidget& List() { return *m_list; }

    std::unique_ptr<QTreeWidget> m_list;
    CWendoDoc m_doc;
    CEntryList m_entries;
};

TEST_F(EntryListTest, ImageNumberOfEachKindOfEntry)
{
    struct Row
    {
        const char* name;
        const char* path;
        int recursive;
        int exclude;
        int image;
    } rows[] = {
        {"plain path", "C:\\site\\a.htm", 0, 0, 10},
        {"plain path, recursive", "C:\\site\\a.htm", 1, 0, 11},
        {"directory filter", "C:\\site\\*.htm", 0, 0, 8},
        {"directory filter, recursive, excluded", "C:\\site\\*.htm", 1, 1, 25},
        {"file filter", "*.gif", 0, 0, 14},
        {"file filter, recursive, excluded", "*.gif", 1, 1, 31},
        {"virtual directory (a file filter too)", "*\\images\\*.gif", 0, 1, 30},
        {"network path", "\\\\host\\share\\a.htm", 0, 0, 3},
        {"network path, recursive, excluded", "\\\\host\\share\\a.htm", 1, 1, 20},
        {"network directory filter", "\\\\host\\share\\*.htm", 0, 0, 1},
        {"network directory filter, recursive", "\\\\host\\share\\*.htm", 1, 0, 2},
    };
    for (const Row& row : rows) {
        const CFileList entry(row.path, row.recursive, row.exclude, 0, nullptr);
        const int image = CEntryList::ImageOf(entry);
        EXPECT_EQ(image, row.image) << row.name;
        EXPECT_EQ(CEntryList::IsExcluded(image), row.exclude != 0) << row.name;
        EXPECT_EQ(CEntryList::IsRecursive(image), row.recursive != 0) << row.name;
    }
}

TEST_F(EntryListTest, TogglesStayWithinTheirPairs)
{
    for (int image = 0; image < CEntryList::kImageCount; ++image) {
        EXPECT_EQ(CEntryList::ToggledExclude(CEntryList::ToggledExclude(image)), image);
        EXPECT_NE(CEntryList::IsExcluded(CEntryList::ToggledExclude(image)),
                  CEntryList::IsExcluded(image));
        const int toggled = CEntryList::ToggledRecursive(image);
        EXPECT_EQ(CEntryList::ToggledRecursive(toggled), image) << image;
        if (toggled != image) {
            EXPECT_NE(CEntryList::IsRecursive(toggled), CEntryList::IsRecursive(image)) << image;
            EXPECT_EQ(CEntryList::IsExcluded(toggled), CEntryList::IsExcluded(image)) << image;
        }
    }
    // Numbers outside the pairs have nothing to toggle.
    for (int image : {0, 5, 6, 7, 16, 21, 22, 23}) {
        EXPECT_EQ(CEntryList::ToggledRecursive(image), image);
    }
    EXPECT_EQ(CEntryList::Images().size(), CEntryList::kImageCount);
}

TEST_F(EntryListTest, RowsShowNativeTextAndTestExcludedFilters)
{
    m_entries.AddEntry(CFileList("C:\\site\\*.htm", 1, 0, 0, nullptr));
    m_entries.AddEntry(CFileList("*.bak", 0, 1, 0, nullptr));
    m_entries.AddEntry(CFileList("*\\old\\*.htm", 1, 1, 0, nullptr));
    ASSERT_EQ(m_entries.Count(), 3);

    EXPECT_EQ(List().topLevelItem(0)->text(0), QStringLiteral("/site/"));
    EXPECT_EQ(List().topLevelItem(0)->text(1), QStringLiteral("*.htm"));
    EXPECT_EQ(m_entries.PathText(0), "C:\\site\\");
    EXPECT_EQ(List().topLevelItem(1)->text(0), QString());
    EXPECT_EQ(m_entries.FilesText(1), "*.bak");
    EXPECT_EQ(List().topLevelItem(2)->text(1), QStringLiteral("*/old/*.htm"));

    EXPECT_FALSE(m_entries.IsExcludedVirtualFilter(0));
    EXPECT_FALSE(m_entries.IsExcludedVirtualFilter(1));
    EXPECT_TRUE(m_entries.IsExcludedVirtualFilter(2));

    EXPECT_TRUE(m_entries.ToggleRecursive(0));
    EXPECT_EQ(m_entries.Image(0), 8);
    EXPECT_TRUE(m_entries.ToggleExclude(1));
    EXPECT_EQ(m_entries.Image(1), 14);
    EXPECT_FALSE(m_entries.ToggleExclude(7)) << "no such row";
}

TEST_F(EntryListTest, RowsTurnBackIntoTheEntriesTheyCameFrom)
{
    struct Row
    {
        const char* name;
        const char* text;     // the entry's text form
        const char* expected; // the text form stored from its row
    } rows[] = {
        {"drive and folder kept", "FILTER RECURS_ON C:/site/*.htm",
         "FILTER RECURS_ON C:/site/*.htm"},
        {"relative folder", "FILTER RECURS_OFF site/help/returns.txt",
         "FILTER RECURS_OFF site/help/returns.txt"},
        {"network path", "EXCL_FILTER RECURS_ON //host/share/a.htm",
         "EXCL_FILTER RECURS_ON //host/share/a.htm"},
        {"skip and option kept", "FILTER RECURS_OFF SKIP C:/a/b.htm ~x~",
         "FILTER RECURS_OFF SKIP C:/a/b.htm ~x~"},
        {"a file filter is stored not recursive", "EXCL_FILTER RECURS_ON *.bak",
         "EXCL_FILTER RECURS_OFF *.bak"},
        {"a virtual filter keeps its depth", "EXCL_FILTER RECURS_ON */old/*.htm",
         "EXCL_FILTER RECURS_ON */old/*.htm"},
    };
    for (const Row& row : rows) {
        m_entries.DeleteAll();
        m_entries.AddEntry(CFileList(row.text));
        EXPECT_EQ(m_entries.EntryOf(0).GetStrFileList(), row.expected) << row.name;
    }

    m_entries.DeleteAll();
    m_entries.AddEntry(CFileList("FILTER RECURS_ON C:/site/*.htm"));
    m_entries.AddEntry(CFileList("EXCL_FILTER RECURS_OFF *.bak"));
    int count = 0;
    EXPECT_EQ(m_entries.TokensText(count),
              ":~:FILTER RECURS_ON C:/site/*.htm:~:\n:~:EXCL_FILTER RECURS_OFF *.bak:~:\n");
    EXPECT_EQ(count, 2);
}

} // namespace
