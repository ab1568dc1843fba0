#include "model/ParseCmd.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace wendo;

namespace {

const std::string kBadDelimiter = "Wendo ERROR : Bad delimiter\n";
const std::string kBadValue = "Wendo ERROR : Bad VALUE\n";
const std::string kBadExclude = "Wendo ERROR : Bad EXCLUDE\n";
const std::string kBadSource = "Wendo ERROR : Bad SRC file\n";
const std::string kNeedValueOrDelimiter =
    "Wendo ERROR : Bad subcommand, Need VALUE argument and of DELIMITER\n";
const std::string kNeedValue = "Wendo ERROR : Bad subcommand, Need VALUE argument\n";
const std::string kNoSource = "Wendo ERROR : Bad subcommand, No SRC argument\n";
const std::string kSubcommands =
    "Wendo ERROR : Bad subcommand, Multiple of no APPEND,REPLACE,REMOVE or ADD\n";

using Opt = std::optional<std::string>;

TEST(ParseCmdInit, EmptyAndBlankTextGiveTheDefaultCommand)
{
    const std::vector<std::string> texts = {"", "   ", " \t \r\n", std::string("\0FINDREPL", 9)};
    for (const std::string& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text));
        const CParseCmd cmd(text);
        EXPECT_EQ(cmd.Text, "FINDREPL DELIMITER ~~ VALUE ~~ ");
        EXPECT_EQ(cmd.Type, CmdType::FINDREPL);
        EXPECT_EQ(cmd.ErrorFlag, 0);
        EXPECT_EQ(cmd.Delimiter1, Opt(""));
        EXPECT_EQ(cmd.Value, Opt(""));
        EXPECT_EQ(cmd.Delimiter2, std::nullopt);
        EXPECT_EQ(cmd.Exclude, std::nullopt);
        EXPECT_EQ(cmd.Label, "FIND REPLACE");
        EXPECT_EQ(cmd.InitMarker, "ParseCmdInit");
        EXPECT_EQ(cmd.TypeCount, 6);
    }
    const CParseCmd made;
    EXPECT_EQ(made.Text, "FINDREPL DELIMITER ~~ VALUE ~~ ");
    const CParseCmd fromNothing(static_cast<const CParseCmd*>(nullptr));
    EXPECT_EQ(fromNothing.Text, made.Text);
}

TEST(ParseCmdInit, LinesThatAreNotCommandsStayUnparsedWithoutError)
{
    for (const char* text : {"# FINDREPL VALUE ~x~", "  #comment", "FOO VALUE ~x~",
                             "findrepl VALUE ~x~", "~~~ ~~", "FINDREPLX VALUE ~x~"}) {
        SCOPED_TRACE(text);
        const CParseCmd cmd(text);
        EXPECT_EQ(cmd.Type, CmdType::UNKNOWN);
        EXPECT_EQ(cmd.ErrorFlag, 0);
        EXPECT_EQ(cmd.Flags, 0U);
        EXPECT_EQ(cmd.Value, std::nullopt);
        EXPECT_EQ(cmd.Label, "");
        EXPECT_EQ(cmd.GetTypeName(), "Unknowed");
    }
    EXPECT_EQ(CParseCmd("  # note  ").Text, "# note");
}

struct ParseRow
{
    const char* name;
    const char* text;
    int16_t type;
    uint32_t flags;
    Opt value;
    Opt delimiter1;
    Opt delimiter2;
    Opt exclude;
    std::string source;
    std::string error;
};

void PrintTo(const ParseRow& row, std::ostream* os)
{
    *os << row.name;
}

class ParseCmdFields : public testing::TestWithParam<ParseRow>
{
};

TEST_P(ParseCmdFields, ParsesTheLine)
{
    const ParseRow& row = GetParam();
    const CParseCmd cmd(row.text);
    EXPECT_EQ(cmd.Type, row.type);
    EXPECT_EQ(cmd.Flags, row.flags);
    EXPECT_EQ(cmd.Value, row.value);
    EXPECT_EQ(cmd.Delimiter1, row.delimiter1);
    EXPECT_EQ(cmd.Delimiter2, row.delimiter2);
    EXPECT_EQ(cmd.Exclude, row.exclude);
    EXPECT_EQ(cmd.GetSource(), row.source);
    EXPECT_EQ(cmd.ErrorText, row.error);
    EXPECT_EQ(cmd.ErrorFlag, row.error.empty() ? 0 : 1);
}

using namespace CmdFlag;
const auto none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseCmdFields,
    testing::Values(
        ParseRow{"written_form", "FINDREPL CASESENS VALUE ~new text~DELIMITER ~old text~", 1,
                 CASESENS, "new text", "old text", none, none, "", ""},
        ParseRow{"doubled_tilde", "FINDREPL VALUE ~a~~b~", 1, 0, "a~b", none, none, none, "", ""},
        ParseRow{"text_before_opening_tilde_ignored", "FINDREPL VALUE = ~x~ONCE", 1, ONCE, "x",
                 none, none, none, "", ""},
        ParseRow{"unclosed_value_single_message", "FINDREPL VALUE ~abc", 1, 0, "abc", none, none,
                 none, "", kBadValue},
        ParseRow{"value_without_tilde_is_present_and_empty", "FINDREPL DELIMITER ~d~ VALUE", 1, 0,
                 "", "d", none, none, "", kBadValue},
        ParseRow{"later_value_replaces", "FINDREPL VALUE ~a~ VALUE ~b~", 1, 0, "b", none, none,
                 none, "", ""},
        ParseRow{"non_keyword_ends_list", "FINDREPL VALUE ~x~ BOGUS CASESENS", 1, 0, "x", none,
                 none, none, "", ""},
        ParseRow{"keywords_are_case_sensitive", "FINDREPL VALUE ~x~ casesens ONCE", 1, 0, "x", none,
                 none, none, "", ""},
        ParseRow{"punctuation_between_words", "FINDREPL,ONCE;;CASESENS VALUE ~x~", 1,
                 ONCE | CASESENS, "x", none, none, none, "", ""},
        ParseRow{"findrepl_needs_value_or_delimiter", "FINDREPL CASESENS", 1, CASESENS, none, none,
                 none, none, "", kNeedValueOrDelimiter},
        ParseRow{"keepcontent_needs_second_delimiter",
                 "FINDREPL_KEEPCONTENT DELIMITER ~<b>~ VALUE ~x~", 0, 0, "x", "<b>", none, none, "",
                 kNeedValueOrDelimiter},
        ParseRow{"keepcontent_two_delimiters_no_value",
                 "FINDREPL_KEEPCONTENT DELIMITER ~<b>~DELIMITER ~</b>~", 0, 0, none, "<b>", "</b>",
                 none, "", ""},
        ParseRow{"third_delimiter", "FINDREPL_KEEPCONTENT DELIMITER ~a~DELIMITER ~b~DELIMITER ~c~",
                 0, 0, none, "a", "b", none, "", kBadDelimiter},
        ParseRow{"failed_delimiters_share_the_first_slot",
                 "FINDREPL_KEEPCONTENT DELIMITER DELIMITER ~a", 0, 0, none, "a", none, none, "",
                 kNeedValueOrDelimiter},
        ParseRow{"argument_is_found_past_other_words", "FINDREPL DELIMITER VALUE ~x~", 1, 0, none,
                 "x", none, none, "", ""},
        ParseRow{"unclosed_delimiter_keeps_rest_of_line", "FINDREPL DELIMITER ~a b", 1, 0, none,
                 "a b", none, none, "", kBadDelimiter},
        ParseRow{"error_reported_is_the_last", "FINDREPL VALUE ~v~ EXCLUDE DELIMITER ~d", 1, 0, "v",
                 "d", none, "d", "", kBadDelimiter},
        ParseRow{"bad_exclude", "CHANGE_IMG ADD ALT_TAG VALUE ~x~ SRC ~*~ EXCLUDE ~e", 3,
                 ADD | ALT_TAG | SRC, "x", none, none, "e", "*", kBadExclude},
        ParseRow{"img_replace_empty_value_valid", "CHANGE_IMG REPLACE SRC_TAG VALUE ~~ SRC ~*~", 3,
                 REPLACE | SRC_TAG | SRC, "", none, none, none, "*", ""},
        ParseRow{"img_add_empty_value", "CHANGE_IMG ADD ALT_TAG VALUE ~~ SRC ~*~", 3,
                 ADD | ALT_TAG | SRC, "", none, none, none, "*", kNeedValue},
        ParseRow{"img_two_subcommands", "CHANGE_IMG ADD REPLACE ALT_TAG VALUE ~x~ SRC ~*~", 3,
                 ADD | REPLACE | ALT_TAG | SRC, "x", none, none, none, "*", kSubcommands},
        // The checks run in order and the last failure is the message.
        ParseRow{"img_no_subcommand_value_or_src_reports_src", "CHANGE_IMG ALT_TAG", 3, ALT_TAG,
                 none, none, none, none, "", kNoSource},
        ParseRow{"img_no_subcommand_no_src_reports_src", "CHANGE_IMG WIDTH_TAG VALUE ~1~", 3,
                 WIDTH_TAG, "1", none, none, none, "", kNoSource},
        ParseRow{"img_no_subcommand_no_value_reports_value", "CHANGE_IMG WIDTH_TAG SRC ~*~", 3,
                 WIDTH_TAG | SRC, none, none, none, none, "*", kNeedValue},
        ParseRow{"img_two_subcommands_empty_value_reports_value",
                 "CHANGE_IMG ADD REMOVE ALT_TAG VALUE ~~ SRC ~*~", 3, ADD | REMOVE | ALT_TAG | SRC,
                 "", none, none, none, "*", kNeedValue},
        ParseRow{"missing_value_and_src_reports_src", "CHANGE_ANCHOR APPEND ANCHOR_TAG", 2,
                 APPEND | ANCHOR_TAG, none, none, none, none, "", kNoSource},
        ParseRow{"empty_add_value_without_src_reports_src", "CHANGE_IMG ADD ALT_TAG VALUE ~~", 3,
                 ADD | ALT_TAG, "", none, none, none, "", kNoSource},
        ParseRow{"missing_src", "CHANGE_ANCHOR REMOVE HREF_TAG VALUE ~x~", 2, REMOVE | HREF_TAG,
                 "x", none, none, none, "", kNoSource},
        ParseRow{"validation_replaces_loop_error", "CHANGE_IMG ADD WIDTH_TAG VALUE ~12", 3,
                 ADD | WIDTH_TAG, "12", none, none, none, "", kNoSource},
        ParseRow{"unclosed_src_leaves_bit_clear", "CHANGE_IMG ADD ALT_TAG VALUE ~x~SRC ~a.gif", 3,
                 ADD | ALT_TAG, "x", none, none, none, "a.gif", kNoSource},
        ParseRow{"image_without_tag_bit_passes",
                 "CHANGE_IMG ADDREPL SRC ~*~VALUE ~x~EXCLUDE ~*.tmp~", 3, ADDREPL | SRC, "x", none,
                 none, "*.tmp", "*", ""},
        ParseRow{"state_keywords_ignored", "FINDREPL STATE_ALL STATE_FILENAME VALUE ~x~", 1, 0, "x",
                 none, none, none, "", ""},
        ParseRow{"filestat_gets_state_all", "DISPLAY_FILESTAT ONCE VALUE ~x~", 4, STATE_ALL, none,
                 none, none, none, "", ""},
        ParseRow{"rewind_parses_nothing", "REWIND VALUE ~x", 5, 0, none, none, none, none, "", ""}),
    [](const testing::TestParamInfo<ParseRow>& row) { return std::string(row.param.name); });

TEST(ParseCmdInit, OverlongSourceIsRefusedWithoutWritingPastTheBuffer)
{
    const std::string fits(259, 's');
    const CParseCmd ok("CHANGE_IMG REPLACE SRC_TAG SRC ~" + fits + "~VALUE ~x~");
    EXPECT_EQ(ok.ErrorFlag, 0);
    EXPECT_EQ(ok.GetSource(), fits);
    EXPECT_TRUE((ok.Flags & SRC) != 0);

    for (const std::size_t length : {260U, 261U, 5000U}) {
        SCOPED_TRACE(length);
        const std::string source(length, 'L');
        // A tag command then also fails validation, whose message comes last.
        const CParseCmd tag("CHANGE_IMG REPLACE SRC_TAG SRC ~" + source + "~VALUE ~x~");
        EXPECT_EQ(tag.ErrorText, kNoSource);
        const CParseCmd cmd("FINDREPL SRC ~" + source + "~VALUE ~x~");
        EXPECT_EQ(cmd.ErrorFlag, 1);
        EXPECT_EQ(cmd.ErrorText, kBadSource);
        EXPECT_EQ(cmd.Flags & SRC, 0U);
        EXPECT_EQ(cmd.GetSource(), std::string(259, 'L'));
        EXPECT_EQ(cmd.Source.back(), '\0');
        // Reading resumes after the refused argument.
        EXPECT_EQ(cmd.Value, Opt("x"));
    }
    const CParseCmd unclosed("CHANGE_IMG REPLACE SRC ~" + std::string(600, 'u'));
    EXPECT_EQ(unclosed.GetSource().size(), 259U);

    CParseCmd edited;
    EXPECT_FALSE(edited.SetSource(std::string(260, 'x')));
    EXPECT_FALSE(edited.SetSource(std::string("a\0b", 3)));
    EXPECT_TRUE(edited.SetSource(fits));
    EXPECT_EQ(edited.GetSource(), fits);
    // An empty view without a pointer (the editor's empty field) clears the source.
    EXPECT_TRUE(edited.SetSource(std::string_view()));
    EXPECT_EQ(edited.GetSource(), "");
}

TEST(ParseCmdInit, ReinitClearsEveryParsedField)
{
    CParseCmd cmd("CHANGE_IMG ADD ALT_TAG SRC ~*~VALUE ~x~EXCLUDE ~e~");
    ASSERT_EQ(cmd.ErrorFlag, 0);
    cmd.Init("CHANGE_ANCHOR ADD VALUE ~x");
    EXPECT_EQ(cmd.Flags, ADD);
    EXPECT_EQ(cmd.Exclude, std::nullopt);
    EXPECT_EQ(cmd.GetSource(), "");
    EXPECT_EQ(cmd.ErrorText, kNoSource);
}

} // namespace
