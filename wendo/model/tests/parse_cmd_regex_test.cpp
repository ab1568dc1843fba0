// The REGEX flag keyword: parsing, rebuilding, the label and what validation refuses.

#include "model/ParseCmd.h"
#include "model/RegexReplace.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wendo;

namespace {

TEST(ParseCmdRegex, ParsesRebuildsAndLabels)
{
    struct Row
    {
        const char* line;
        const char* rebuilt;
    };
    const std::vector<Row> rows = {
        {"FINDREPL REGEX VALUE ~<b>$1</b>~DELIMITER ~\\{\\{(\\w+)\\}\\}~",
         "FINDREPL REGEX VALUE ~<b>$1</b>~DELIMITER ~\\{\\{(\\w+)\\}\\}~"},
        {"FINDREPL DELIMITER ~a~~b~ REGEX ONCE CASESENS",
         "FINDREPL ONCE CASESENS REGEX DELIMITER ~a~~b~"},
        {"FINDREPL REGEX DELIMITER ~(?s)<!--BEGIN-->.*?<!--END-->~VALUE ~~",
         "FINDREPL REGEX DELIMITER ~(?s)<!--BEGIN-->.*?<!--END-->~"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        CParseCmd cmd(row.line);
        EXPECT_EQ(cmd.ErrorFlag, 0) << cmd.ErrorText;
        EXPECT_NE(cmd.Flags & CmdFlag::REGEX, 0U);
        EXPECT_EQ(cmd.Label, "REGEX REPLACE");
        cmd.BuildText();
        EXPECT_EQ(cmd.Text, row.rebuilt);
        const CParseCmd again(cmd.Text);
        EXPECT_EQ(again.Flags, cmd.Flags);
        EXPECT_EQ(again.Delimiter1, cmd.Delimiter1);
    }
    EXPECT_EQ(CmdFlag::REGEX, 0x1000000U);
    EXPECT_EQ(CParseCmd("FINDREPL DELIMITER ~x~").Label, "FIND REPLACE");
}

TEST(ParseCmdRegex, RefusedCommandsSayWhy)
{
    const std::string bad = "Wendo ERROR : Bad regular expression\n";
    struct Row
    {
        const char* line;
        std::string error;
        std::size_t offset; // of the problem, for a bad pattern or replacement
        bool inReplacement;
    };
    const std::vector<Row> rows = {
        {"FINDREPL REGEX DELIMITER ~a(b~", bad, 3, false},
        {"FINDREPL REGEX DELIMITER ~x[z-a]~", bad, 4, false},
        {"FINDREPL REGEX VALUE ~x~", bad, 0, false},
        {"FINDREPL REGEX DELIMITER ~(a)~VALUE ~<$2>~", bad, 1, true},
        {"FINDREPL REGEX DELIMITER ~(?<w>a)~VALUE ~${v}~", bad, 0, true},
        {"FINDREPL REGEX NOSKIPCRLF DELIMITER ~a~",
         "Wendo ERROR : REGEX does not go with NOSKIPCRLF or CHARONLY\n", 0, false},
        {"FINDREPL REGEX CHARONLY DELIMITER ~a~",
         "Wendo ERROR : REGEX does not go with NOSKIPCRLF or CHARONLY\n", 0, false},
        {"FINDREPL_KEEPCONTENT REGEX DELIMITER ~a~DELIMITER ~b~",
         "Wendo ERROR : REGEX applies to FINDREPL only\n", 0, false},
        {"CHANGE_IMG REGEX REPLACE SRC_TAG SRC ~*~VALUE ~x~",
         "Wendo ERROR : REGEX applies to FINDREPL only\n", 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const CParseCmd cmd(row.line);
        EXPECT_EQ(cmd.ErrorFlag, 1);
        EXPECT_EQ(cmd.ErrorText, row.error);
        const auto problem = FindRegexProblem(cmd);
        ASSERT_EQ(problem.has_value(), row.error == bad);
        if (problem) {
            EXPECT_FALSE(problem->message.empty());
            EXPECT_EQ(problem->offset, row.offset);
            EXPECT_EQ(problem->inReplacement, row.inReplacement);
        }
    }
    // "$" before anything that is not a group is itself, and is no error.
    EXPECT_EQ(CParseCmd("FINDREPL REGEX DELIMITER ~a~VALUE ~$x ${ $~").ErrorFlag, 0);
}

} // namespace
