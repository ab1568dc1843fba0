#include "model/ParseCmd.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wendo;
using namespace wendo::CmdFlag;

namespace {

constexpr int kAnchor = CmdType::CHANGE_ANCHOR;
constexpr int kImage = CmdType::CHANGE_IMG;

std::vector<std::string> Names(std::span<const std::string_view> names)
{
    return {names.begin(), names.end()};
}

using Strings = std::vector<std::string>;

TEST(ParseCmdTables, TypeNamesBothWays)
{
    for (int type = 0; type < 6; ++type) {
        EXPECT_EQ(CParseCmd::FindTypeByName(CParseCmd::GetTypeName(type)), type);
    }
    for (const int type : {-1, 6, -32768, 1000}) {
        EXPECT_EQ(CParseCmd::GetTypeName(type), "Unknowed");
    }
    // Display names only, exactly.
    for (const char* name : {"Unknowed", "find replace", "REWIND ", "", "FINDREPL"}) {
        EXPECT_EQ(CParseCmd::FindTypeByName(name), -1) << name;
    }
}

TEST(ParseCmdTables, DefaultFlags)
{
    struct Row
    {
        int type;
        uint32_t tag;
        uint32_t sub;
    };
    for (const Row& row : {Row{kAnchor, HREF_TAG, REPLACE}, Row{kImage, WIDTH_TAG, REPLACE},
                           Row{CmdType::FINDREPL, 0, 0}, Row{-1, 0, 0}}) {
        uint32_t tag = 99;
        uint32_t sub = 99;
        CParseCmd::GetDefaultFlags(row.type, tag, sub);
        EXPECT_EQ(tag, row.tag) << row.type;
        EXPECT_EQ(sub, row.sub) << row.type;
    }
}

TEST(ParseCmdTables, SubcommandListsFollowTypeAndTag)
{
    struct Row
    {
        const char* name;
        int type;
        uint32_t flags;
        Strings names;
        int index;
    };
    const std::vector<Row> rows = {
        {"anchor whole tag", kAnchor, ANCHOR_TAG | REMOVE, {"Append"}, 0},
        {"anchor href, none set", kAnchor, HREF_TAG, {"Append", "Modify", "Remove"}, 0},
        {"anchor remove", kAnchor, HREF_TAG | REMOVE, {"Append", "Modify", "Remove"}, 2},
        {"anchor first set wins", kAnchor, REPLACE | REMOVE, {"Append", "Modify", "Remove"}, 1},
        {"anchor addrepl not listed", kAnchor, ADDREPL, {"Append", "Modify", "Remove"}, 0},
        {"image whole tag", kImage, IMG_TAG | SRC_TAG | REMOVE, {"Append"}, 0},
        {"image src tag", kImage, SRC_TAG | ADD, {"Modify"}, 0},
        {"image attribute", kImage, ALT_TAG | ADDREPL, {"Add", "Modify", "Remove", "Add/Repl"}, 3},
        {"image none set", kImage, 0, {"Add", "Modify", "Remove", "Add/Repl"}, 0},
        {"other type", CmdType::FINDREPL, REPLACE, {" "}, 0},
        {"unknown type", -1, REPLACE, {" "}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Names(CParseCmd::GetSubcommandNames(row.type, row.flags)), row.names);
        EXPECT_EQ(CParseCmd::GetSubcommandCount(row.type, row.flags),
                  static_cast<int>(row.names.size()));
        EXPECT_EQ(CParseCmd::GetSubcommandIndex(row.type, row.flags), row.index);
    }
}

TEST(ParseCmdTables, SubcommandNameByIndex)
{
    struct Row
    {
        int index;
        int type;
        uint32_t flags;
        const char* name;
    };
    const std::vector<Row> rows = {
        {0, kAnchor, 0, "Append"},
        {2, kAnchor, 0, "Remove"},
        {3, kAnchor, 0, "Unknowed"},
        {-1, kAnchor, 0, ""},
        {7, kAnchor, ANCHOR_TAG, "Append"},
        {1, kImage, 0, "Modify"},
        {3, kImage, 0, "Add/Repl"},
        {4, kImage, 0, "Unknowed"},
        {-5, kImage, 0, ""},
        {2, kImage, IMG_TAG, "Append"},
        {2, kImage, SRC_TAG, "Modify"},
        {0, CmdType::FINDREPL, 0, ""},
        {0, 9, 0, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CParseCmd::GetSubcommandName(row.index, row.type, row.flags), row.name)
            << row.index << " " << row.type << " " << row.flags;
    }
}

TEST(ParseCmdTables, SubcommandFlagByName)
{
    struct Row
    {
        int type;
        uint32_t flags;
        const char* name;
        uint32_t flag;
    };
    const std::vector<Row> rows = {
        {kAnchor, ANCHOR_TAG, "Remove", APPEND},
        {kAnchor, HREF_TAG, "Append", ADD},
        {kAnchor, 0, "Modify", REPLACE},
        {kAnchor, 0, "Remove", REMOVE},
        {kAnchor, 0, "Add/Repl", 0},
        {kAnchor, 0, "append", 0},
        {kImage, IMG_TAG, "Remove", APPEND},
        {kImage, SRC_TAG, "Add", REPLACE},
        {kImage, 0, "Add", ADD},
        {kImage, 0, "Modify", REPLACE},
        {kImage, 0, "Remove", REMOVE},
        {kImage, 0, "Add/Repl", ADDREPL},
        {kImage, 0, "Anything", ADD},
        {CmdType::REWIND, 0, "Add", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CParseCmd::GetSubcommandFlag(row.type, row.flags, row.name), row.flag)
            << row.type << " " << row.name;
    }
}

TEST(ParseCmdTables, TagNamesIndexesAndFlags)
{
    const Strings imageTags = {"WIDTH Tag",  "HEIGHT Tag", "VSPACE Tag", "HSPACE Tag",
                               "BORDER Tag", "ALT Tag",    "SRC Tag",    "IMG Tag"};
    EXPECT_EQ(Names(CParseCmd::GetTagNames(kImage)), imageTags);
    EXPECT_EQ(Names(CParseCmd::GetTagNames(CmdType::FINDREPL)), Strings{" "});
    EXPECT_EQ(CParseCmd::GetTagCount(kAnchor), 2);
    EXPECT_EQ(CParseCmd::GetTagCount(CmdType::DISPLAY_FILESTAT), 1);

    // Each tag's flag, index and name agree.
    for (std::size_t i = 0; i < imageTags.size(); ++i) {
        const uint32_t flag = CParseCmd::GetTagFlag(kImage, imageTags[i]);
        EXPECT_EQ(flag, WIDTH_TAG << i);
        EXPECT_EQ(CParseCmd::GetTagIndex(kImage, flag | ADD), static_cast<int>(i));
        EXPECT_EQ(CParseCmd::GetTagName(kImage, static_cast<int>(i)), imageTags[i]);
    }
    EXPECT_EQ(CParseCmd::GetTagFlag(kAnchor, "HREF Tag"), HREF_TAG);
    EXPECT_EQ(CParseCmd::GetTagFlag(kAnchor, "ANCHOR Tag"), ANCHOR_TAG);
    EXPECT_EQ(CParseCmd::GetTagFlag(kAnchor, "IMG Tag"), 0U);
    EXPECT_EQ(CParseCmd::GetTagFlag(kImage, "img tag"), 0U);
    EXPECT_EQ(CParseCmd::GetTagFlag(CmdType::FINDREPL, " "), 0U);

    EXPECT_EQ(CParseCmd::GetTagIndex(kAnchor, HREF_TAG | ANCHOR_TAG), 0);
    EXPECT_EQ(CParseCmd::GetTagIndex(kAnchor, ANCHOR_TAG), 1);
    EXPECT_EQ(CParseCmd::GetTagIndex(kAnchor, WIDTH_TAG), 2);
    EXPECT_EQ(CParseCmd::GetTagIndex(kImage, ALT_TAG | WIDTH_TAG), 0);
    EXPECT_EQ(CParseCmd::GetTagIndex(kImage, HREF_TAG), 8);
    EXPECT_EQ(CParseCmd::GetTagIndex(CmdType::FINDREPL, ~0U), 0);

    EXPECT_EQ(CParseCmd::GetTagName(kAnchor, 1), "ANCHOR Tag");
    EXPECT_EQ(CParseCmd::GetTagName(kAnchor, 2), "Unknowed");
    EXPECT_EQ(CParseCmd::GetTagName(kImage, 8), "Unknowed");
    EXPECT_EQ(CParseCmd::GetTagName(kImage, -1), "Unknowed");
    EXPECT_EQ(CParseCmd::GetTagName(CmdType::FINDREPL, 0), "");
}

} // namespace
