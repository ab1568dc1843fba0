// Runs the built wendo-run on temporary files and checks what it prints.
#include "CliTestSupport.h"

using namespace wendo::cli::test;

namespace {

class ParseModeTest : public CliTest
{
};

TEST_F(ParseModeTest, OneObjectPerCommandLineInOrder)
{
    const std::string file = Write("FINDREPL CASESENS VALUE ~new~ DELIMITER ~old~\r\n"
                                   "\n"
                                   "  \t \r\n"
                                   "# a note\n"
                                   "CHANGE_IMG ADD ALT_TAG VALUE ~~ SRC ~*~\n"
                                   "DISPLAY_FILESTAT");
    const Outcome run = Wendo("--parse '" + file + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<json> objects = run.Objects();
    ASSERT_EQ(objects.size(), 4U);

    // The fields come in a fixed order.
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              R"({"line":1,"type":1,"flags":32,"label":"FIND REPLACE","error":"",)"
              R"("text":"FINDREPL CASESENS VALUE ~new~DELIMITER ~old~","value":"new",)"
              R"("delimiter1":"old","delimiter2":null,"exclude":null,"source":""})");

    EXPECT_EQ(objects[1]["line"], 4);
    EXPECT_EQ(objects[1]["type"], -1);
    EXPECT_EQ(objects[1]["text"], "# a note");
    EXPECT_EQ(objects[1]["label"], "");

    EXPECT_EQ(objects[2]["line"], 5);
    EXPECT_EQ(objects[2]["error"], "Wendo ERROR : Bad subcommand, Need VALUE argument\n");
    EXPECT_EQ(objects[2]["value"], "");
    EXPECT_EQ(objects[2]["source"], "*");
    EXPECT_EQ(objects[2]["flags"], 0x200000 | 0x10000 | 0x40);

    EXPECT_EQ(objects[3]["line"], 6);
    EXPECT_EQ(objects[3]["text"], "DISPLAY_FILESTAT ");
    EXPECT_EQ(objects[3]["flags"], 0x800000);
    EXPECT_EQ(objects[3]["label"], "FILESTAT");
}

TEST_F(ParseModeTest, RegexCommandsShowTheirLabelAndWhyAPatternIsRefused)
{
    const std::string file = Write("FINDREPL REGEX VALUE ~<$1>~ DELIMITER ~(\\w+)~\n"
                                   "FINDREPL REGEX DELIMITER ~a(b~\n");
    const Outcome run = Wendo("--parse '" + file + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<json> objects = run.Objects();
    ASSERT_EQ(objects.size(), 2U);
    EXPECT_EQ(objects[0]["label"], "REGEX REPLACE");
    EXPECT_EQ(objects[0]["text"], "FINDREPL REGEX VALUE ~<$1>~DELIMITER ~(\\w+)~");
    EXPECT_FALSE(objects[0].contains("regex_problem"));
    EXPECT_EQ(objects[1]["error"], "Wendo ERROR : Bad regular expression\n");
    EXPECT_EQ(objects[1]["regex_problem"]["offset"], 3);
    EXPECT_EQ(objects[1]["regex_problem"]["in"], "pattern");
}

TEST_F(ParseModeTest, BytesThatAreNotUtf8AreReplaced)
{
    const std::string file = Write("FINDREPL VALUE ~caf\xe9~DELIMITER ~\xc3\xa9t\xc3\xa9~\n");
    const Outcome run = Wendo("--parse '" + file + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<json> objects = run.Objects();
    ASSERT_EQ(objects.size(), 1U);
    EXPECT_EQ(objects[0]["value"], "caf\xef\xbf\xbd");
    EXPECT_EQ(objects[0]["delimiter1"], "\xc3\xa9t\xc3\xa9");
}

TEST_F(ParseModeTest, EmptyFilePrintsNothing)
{
    const Outcome run = Wendo("--parse '" + Write("") + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

TEST_F(ParseModeTest, UnreadableInputsExitWithTwo)
{
    const std::string missing = (m_dir / "missing.txt").string();
    for (const std::string& path : {missing, m_dir.string()}) {
        SCOPED_TRACE(path);
        const Outcome run = Wendo("--parse '" + path + "'");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
    }
}

TEST_F(ParseModeTest, UsageAndHelp)
{
    const Outcome help = Wendo("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--parse"), std::string::npos);
    EXPECT_NE(help.out.find("Blank lines are skipped"), std::string::npos);

    EXPECT_EQ(Wendo("").status, 2);
    EXPECT_EQ(Wendo("--no-such-option").status, 2);
    EXPECT_EQ(Wendo("--parse").status, 2);
}

} // namespace
