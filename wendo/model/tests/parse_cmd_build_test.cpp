#include "core/archive.h"
#include "model/ParseCmd.h"
#include "model/ParseCmdList.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace wendo;

namespace {

using Opt = std::optional<std::string>;

void ExpectSameFields(const CParseCmd& a, const CParseCmd& b)
{
    EXPECT_EQ(a.Type, b.Type);
    EXPECT_EQ(a.Flags, b.Flags);
    EXPECT_EQ(a.Value, b.Value);
    EXPECT_EQ(a.Delimiter1, b.Delimiter1);
    EXPECT_EQ(a.Delimiter2, b.Delimiter2);
    EXPECT_EQ(a.Exclude, b.Exclude);
    EXPECT_EQ(a.GetSource(), b.GetSource());
    EXPECT_EQ(a.ErrorFlag, b.ErrorFlag);
    EXPECT_EQ(a.ErrorText, b.ErrorText);
    EXPECT_EQ(a.Label, b.Label);
}

TEST(ParseCmdBuildText, WritesTheCanonicalForm)
{
    struct Row
    {
        const char* line;
        const char* rebuilt;
    };
    const std::vector<Row> rows = {
        {"FINDREPL CASESENS VALUE ~new text~DELIMITER ~old text~",
         "FINDREPL CASESENS VALUE ~new text~DELIMITER ~old text~"},
        {"CHANGE_IMG REPLACE SRC_TAG SRC ~*~VALUE ~logo.gif~",
         "CHANGE_IMG REPLACE SRC_TAG SRC ~*~VALUE ~logo.gif~"},
        {"FINDREPL VALUE ~a~~b~", "FINDREPL VALUE ~a~~b~"},
        {"DISPLAY_FILESTAT", "DISPLAY_FILESTAT "},
        {"REWIND ONCE VALUE ~x~", "REWIND "},
        {"", "FINDREPL DELIMITER ~~"},
        {"FINDREPL_KEEPCONTENT DELIMITER ~a~ VALUE ~v~ DELIMITER ~b~ CASESENS ONCE",
         "FINDREPL_KEEPCONTENT ONCE CASESENS VALUE ~v~DELIMITER ~a~DELIMITER ~b~"},
        {"CHANGE_ANCHOR EXCLUDE ~x~ ADD HREF_TAG SRC ~*.htm~ VALUE ~target~",
         "CHANGE_ANCHOR ADD HREF_TAG SRC ~*.htm~VALUE ~target~EXCLUDE ~x~"},
        // Fields a type does not use are dropped.
        {"FINDREPL DELIMITER ~a~DELIMITER ~b~EXCLUDE ~e~", "FINDREPL DELIMITER ~a~"},
        {"# a comment", "# a comment"},
        {"UNKNOWN VALUE ~x~", "UNKNOWN VALUE ~x~"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        CParseCmd cmd(row.line);
        cmd.BuildText();
        EXPECT_EQ(cmd.Text, row.rebuilt);
    }
}

TEST(ParseCmdBuildText, RebuiltTextParsesToTheSameFields)
{
    const std::vector<std::string> lines = {
        "FINDREPL CASESENS NOSKIPCRLF VALUE ~new~DELIMITER ~old~",
        "FINDREPL ONCE CHARONLY NOVIRTUAL CURRENTDIRONLY DELIMITER ~  spaced  ~",
        "FINDREPL VALUE ~only a value~",
        "FINDREPL VALUE ~~~~~~DELIMITER ~~~a~",
        "FINDREPL VALUE ~:~:~~:~DELIMITER ~a~~~",
        "FINDREPL_KEEPCONTENT DELIMITER ~<!-- s -->~DELIMITER ~<!-- e -->~VALUE ~new body~",
        "FINDREPL_KEEPCONTENT DELIMITER ~~DELIMITER ~~",
        "CHANGE_IMG ADD ALT_TAG SRC ~*~VALUE ~A chair~EXCLUDE ~old\\*~",
        "CHANGE_IMG ADDREPL BORDER_TAG SRC ~spacer.gif~VALUE ~0~",
        "CHANGE_IMG APPEND IMG_TAG SRC ~*.gif~VALUE ~class=\"x\"~",
        "CHANGE_IMG REMOVE HEIGHT_TAG HSPACE_TAG SRC ~~~a~~~VALUE ~height~",
        "CHANGE_ANCHOR REPLACE HREF_TAG SRC ~old.htm~VALUE ~new.htm~",
        "CHANGE_ANCHOR APPEND ANCHOR_TAG SRC ~*~VALUE ~target=\"_blank\"~",
        "CHANGE_IMG ADD SRC ~*~VALUE ~x~",
        "DISPLAY_FILESTAT",
        "REWIND",
        // Commands in error rebuild to the same error.
        "CHANGE_IMG ADD REPLACE ALT_TAG SRC ~*~VALUE ~x~",
        "CHANGE_ANCHOR REMOVE HREF_TAG VALUE ~x~",
        "FINDREPL CASESENS",
    };
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        CParseCmd cmd(line);
        cmd.BuildText();
        ExpectSameFields(CParseCmd(cmd.Text), cmd);
    }
}

// A tag command with an empty value used to be rebuilt without VALUE, so the command file
// saved from it could no longer be loaded. Text commands still leave an empty value out.
TEST(ParseCmdBuildText, EmptyValueOfTagCommandSurvivesRebuilding)
{
    struct Row
    {
        const char* line;
        const char* rebuilt;
    };
    const std::vector<Row> rows = {
        {"CHANGE_IMG REPLACE SRC_TAG VALUE ~~ SRC ~*~",
         "CHANGE_IMG REPLACE SRC_TAG SRC ~*~VALUE ~~"},
        {"CHANGE_ANCHOR APPEND ANCHOR_TAG VALUE ~~ SRC ~*~",
         "CHANGE_ANCHOR APPEND ANCHOR_TAG SRC ~*~VALUE ~~"},
        {"FINDREPL DELIMITER ~d~ VALUE ~~", "FINDREPL DELIMITER ~d~"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        CParseCmd cmd(row.line);
        ASSERT_EQ(cmd.ErrorFlag, 0);
        cmd.BuildText();
        EXPECT_EQ(cmd.Text, row.rebuilt);
        const CParseCmd again(cmd.Text);
        EXPECT_EQ(again.ErrorFlag, 0) << again.ErrorText;
    }
}

TEST(ParseCmdBuildText, EditedFieldsReachTheText)
{
    CParseCmd cmd("CHANGE_IMG");
    uint32_t tag = 0;
    uint32_t sub = 0;
    CParseCmd::GetDefaultFlags(cmd.Type, tag, sub);
    cmd.Flags = tag | sub | CmdFlag::SRC;
    ASSERT_TRUE(cmd.SetSource("images\\*.gif"));
    cmd.Value = "120";
    cmd.BuildText();
    EXPECT_EQ(cmd.Text, "CHANGE_IMG REPLACE WIDTH_TAG SRC ~images\\*.gif~VALUE ~120~");
    EXPECT_EQ(cmd.Label, "Modify WIDTH Tag");
    EXPECT_EQ(CParseCmd(cmd.Text).ErrorFlag, 0);
}

TEST(ParseCmdLabel, NamesSubcommandAndTag)
{
    struct Row
    {
        const char* line;
        const char* label;
    };
    const std::vector<Row> rows = {
        {"FINDREPL VALUE ~x~", "FIND REPLACE"},
        {"FINDREPL_KEEPCONTENT", "KEEPCONTENT"},
        {"DISPLAY_FILESTAT", "FILESTAT"},
        {"REWIND", "REWIND"},
        {"CHANGE_IMG REPLACE SRC_TAG", "Modify SRC Tag"},
        {"CHANGE_IMG ADD REMOVE SRC_TAG", "Modify SRC Tag"},
        {"CHANGE_IMG APPEND IMG_TAG", "Append IMG Tag"},
        {"CHANGE_IMG REMOVE ALT_TAG BORDER_TAG", "Remove BORDER Tag"},
        {"CHANGE_IMG ADDREPL", "Add/Repl Unknowed"},
        {"CHANGE_IMG", "Add Unknowed"},
        {"CHANGE_ANCHOR APPEND ANCHOR_TAG", "Append ANCHOR Tag"},
        {"CHANGE_ANCHOR ADD HREF_TAG", "Append HREF Tag"},
        // The sub-command name follows ANCHOR_TAG, the tag name the first tag bit.
        {"CHANGE_ANCHOR REPLACE HREF_TAG ANCHOR_TAG", "Append HREF Tag"},
        {"CHANGE_ANCHOR REMOVE", "Remove Unknowed"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(CParseCmd(row.line).Label, row.label);
    }
}

TEST(ParseCmdFormatArgument, DoublesEveryTilde)
{
    struct Row
    {
        const char* argument;
        const char* out;
    };
    const std::vector<Row> rows = {
        {"", "VALUE ~~"},    {"a b", "VALUE ~a b~"},  {"a~b", "VALUE ~a~~b~"},
        {"~", "VALUE ~~~~"}, {":~:", "VALUE ~:~~:~"}, {"~~x~", "VALUE ~~~~~x~~~"},
    };
    std::string out = "stale";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.argument);
        CParseCmd::FormatArgument(out, "VALUE", row.argument);
        EXPECT_EQ(out, row.out);
        EXPECT_EQ(CParseCmd("FINDREPL " + out).Value, Opt(row.argument));
    }
}

TEST(ParseCmdAssign, RawTargetIsInitialisedFirst)
{
    CParseCmd raw{CParseCmd::Raw{}};
    EXPECT_EQ(raw.InitMarker, "");
    const CParseCmd source("CHANGE_IMG ADD ALT_TAG SRC ~*~VALUE ~A chair~EXCLUDE ~x~");
    raw = source;
    EXPECT_EQ(raw.InitMarker, "ParseCmdInit");
    EXPECT_EQ(raw.TypeCount, 6);
    EXPECT_EQ(raw.Text, source.Text);
    ExpectSameFields(raw, source);
}

TEST(ParseCmdAssign, CopiesFieldsAsTheyStandAndAbsenceToo)
{
    CParseCmd source("FINDREPL VALUE ~v~DELIMITER ~d~");
    // Fields edited without rebuilding the text: Assign copies them, the copy
    // constructor parses the text anew.
    source.Value.reset();
    source.Flags = CmdFlag::ONCE;

    CParseCmd target("CHANGE_IMG ADD ALT_TAG SRC ~*~VALUE ~x~EXCLUDE ~e~");
    target.Assign(source);
    ExpectSameFields(target, source);
    EXPECT_EQ(target.Exclude, std::nullopt);
    EXPECT_EQ(target.Value, std::nullopt);
    EXPECT_EQ(target.GetSource(), "");

    const CParseCmd copy(source);
    EXPECT_EQ(copy.Value, Opt("v"));
    EXPECT_EQ(copy.Flags, 0U);
    const CParseCmd fromPointer(&source);
    EXPECT_EQ(fromPointer.Value, Opt("v"));

    CParseCmd& self = target;
    target = self;
    EXPECT_EQ(target.Delimiter1, Opt("d"));
}

TEST(ParseCmdList, CarriesTheEditingRecord)
{
    const CParseCmdList fresh("REWIND");
    EXPECT_EQ(fresh.EditPosition, -2);
    EXPECT_EQ(fresh.EditorFrame, nullptr);

    int frame = 0;
    CParseCmdList open("FINDREPL VALUE ~x~");
    open.EditPosition = 3;
    open.EditorFrame = &frame;
    CParseCmdList target;
    target = open;
    EXPECT_EQ(target.EditPosition, 3);
    EXPECT_EQ(target.EditorFrame, &frame);
    EXPECT_EQ(target.Value, Opt("x"));

    std::unique_ptr<core::CObject> made = CParseCmdList::classCParseCmdList.CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->GetRuntimeClass()->m_className, "CParseCmdList");
    EXPECT_TRUE(made->IsKindOf(&CParseCmd::classCParseCmd));
    EXPECT_EQ(static_cast<CParseCmdList&>(*made).EditPosition, -2);
    EXPECT_STREQ(CParseCmd().GetRuntimeClass()->m_className, "CParseCmd");
}

class ParseCmdSerialize : public testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device rd;
        m_dir = std::filesystem::temp_directory_path() / ("wendo-cmd-" + std::to_string(rd()));
        std::filesystem::create_directories(m_dir);
        m_path = (m_dir / "cmds.bin").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path m_dir;
    std::string m_path;
};

TEST_F(ParseCmdSerialize, StoresTextAloneAndLoadsWithoutParsing)
{
    const CParseCmd shortCmd("CHANGE_IMG REPLACE SRC_TAG SRC ~*~VALUE ~logo.gif~");
    const CParseCmd longCmd("FINDREPL VALUE ~" + std::string(300, 'v') + "~");
    {
        core::CArchive ar(m_path, core::CArchive::store);
        ASSERT_TRUE(ar.IsOpen());
        CParseCmd(shortCmd).Serialize(ar);
        CParseCmd(longCmd).Serialize(ar);
        ASSERT_TRUE(ar.Close());
    }
    EXPECT_EQ(std::filesystem::file_size(m_path),
              1 + shortCmd.Text.size() + 3 + longCmd.Text.size());

    core::CArchive ar(m_path, core::CArchive::load);
    CParseCmd first("REWIND");
    CParseCmdList second("REWIND");
    first.Serialize(ar);
    second.Serialize(ar);
    EXPECT_EQ(first.Text, shortCmd.Text);
    EXPECT_EQ(second.Text, longCmd.Text);
    EXPECT_EQ(first.Type, CmdType::REWIND);
    first.Init(first.Text);
    ExpectSameFields(first, shortCmd);

    CParseCmd third;
    try {
        third.Serialize(ar);
        ADD_FAILURE() << "loaded past the end";
    } catch (const core::CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), core::CArchiveException::endOfFile);
    }
}

} // namespace
