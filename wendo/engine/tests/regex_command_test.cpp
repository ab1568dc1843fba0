// FINDREPL with REGEX: the same bytes as perl's s///gm on generated and real pages, the line
// region and the pipeline, and hostile patterns that fail the file instead of hanging.

#include "EngineTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace wendo::test {
namespace {

namespace fs = std::filesystem;

std::string RegexLine(const std::string& pattern, const std::string& replacement,
                      const std::string& options = "")
{
    std::string delimiter;
    std::string value;
    CParseCmd::FormatArgument(delimiter, "DELIMITER", pattern);
    CParseCmd::FormatArgument(value, "VALUE", replacement);
    return "FINDREPL REGEX " + options + delimiter + value;
}

// Pages that hold what trips a matcher up: CR LF, lone CR, blank and trailing-blank lines,
// Latin-1 bytes, mixed case, markers across lines, no final line end.
std::vector<std::string> GeneratedPages()
{
    const std::vector<std::string> pieces = {
        "<p>The the THE {{name}} and {{ other }}</p>",
        "\r\n",
        "\n",
        "\r",
        "\n\n",
        "  \t",
        "<!--BEGIN-->old\nbody<!--END-->",
        "caf\xe9 na\xefve \xff\xfe",
        "price 42 of 1999",
        "<A HREF=\"x.htm\">x</A> <img src=a.gif>",
        "aaa",
        "",
        "\xa0\x85",
        "x_y-z.",
    };
    std::vector<std::string> pages;
    uint32_t seed = 7;
    for (int page = 0; page < 2; ++page) {
        std::string text;
        for (int i = 0; i < 200; ++i) {
            seed = seed * 1103515245U + 12345U;
            text += pieces[(seed >> 16) % pieces.size()];
        }
        pages.push_back(text);
    }
    return pages;
}

std::vector<std::string> RealPages()
{
    const fs::path site =
        fs::path(WENDO_TEST_DATA).parent_path() / ".." / ".." / ".." / "examples" / "site";
    std::vector<std::string> pages;
    for (const auto& entry : fs::recursive_directory_iterator(site)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".htm" || ext == ".html")) {
            pages.push_back(ReadAll(os::FromNative(entry.path().string())));
        }
    }
    return pages;
}

class RegexCommand : public EngineTest
{
};

TEST_F(RegexCommand, SameBytesAsPerl)
{
    if (std::system("perl -e 1 2>/dev/null") != 0) {
        GTEST_SKIP() << "perl is not installed";
    }
    struct Row
    {
        const char* pattern;
        const char* replacement;     // Wendo's form
        const char* perlReplacement; // the same in perl, between s{}{...}
        const char* options = "";
    };
    const std::vector<Row> rows = {
        {"(?s)<!--BEGIN-->.*?<!--END-->", "<!--BEGIN-->new<!--END-->", "<!--BEGIN-->new<!--END-->"},
        {"\\{\\{(\\w+)\\}\\}", "<b>$1</b>", "<b>${1}</b>"},
        {"\\{\\{\\s*(?<word>\\w+)\\s*\\}\\}", "[${word}|${1}]", "[$+{word}|${1}]", "CASESENS "},
        {"^", "> ", "> "},
        {"$", ";", ";"},
        {"x*", "-", "-"},
        {"\\b", "|", "|"},
        {"e|", "_", "_"},
        {"[ \\t]+$", "", ""},
        {"^\\s*\\n", "", ""},
        {"\\bthe\\b", "THE", "THE"},
        {"\\bthe\\b", "THE", "THE", "CASESENS "},
        {"(\\w)(\\w*)", "$2$1", "${2}${1}"},
        {"\\d+", "[$0|${0}]", "[$&|$&]"},
        {"price", "$$5 $x $", "\\$5 \\$x \\$"},
        {"(a)|b", "<$1>", "<${1}>"},
        {"[\\x80-\\xff]+", "?", "?"},
        {"href=\"([^\"]*)\\.htm\"", "href=\"$1.html\"", "href=\"${1}.html\""},
        {"(?<=a)a", "A", "A"},
        {".$", "#", "#"},
        {"\\{\\{", "", "", "ONCE "},
    };
    std::vector<std::string> pages = GeneratedPages();
    for (const std::string& page : RealPages()) {
        pages.push_back(page);
    }
    ASSERT_GT(pages.size(), 8U);
    const std::string perlDir = m_files.FileIn("perl");
    fs::create_directory(os::ToNative(perlDir));
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.options) + row.pattern);
        const std::string options = row.options;
        const bool once = options.find("ONCE") != std::string::npos;
        const bool caseless = options.find("CASESENS") == std::string::npos;
        std::string script = "BEGIN { $p = $ENV{WENDO_PATTERN}; } s{$p}{";
        script += row.perlReplacement;
        script += std::string("}m") + (once ? "" : "g") + (caseless ? "i" : "") + ";\n";
        WriteAll(perlDir + "/s.pl", script);
        std::string command = "perl -0777 -pi '" + os::ToNative(perlDir) + "/s.pl'";
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const std::string name = perlDir + "/p" + std::to_string(i);
            WriteAll(name, pages[i]);
            command += " '" + os::ToNative(name) + "'";
        }
        setenv("WENDO_PATTERN", row.pattern, 1);
        ASSERT_EQ(std::system(command.c_str()), 0);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            SCOPED_TRACE("page " + std::to_string(i));
            const Outcome out = Run(pages[i], {RegexLine(row.pattern, row.replacement, options)});
            const std::string perl = ReadAll(perlDir + "/p" + std::to_string(i));
            EXPECT_EQ(out.text, perl);
            EXPECT_EQ(out.result, out.total > 0 ? FileResult::MODIFIED : FileResult::UNCHANGED);
        }
    }
}

TEST_F(RegexCommand, LineRegionAndPipeline)
{
    struct Row
    {
        const char* name;
        std::string input;
        std::vector<std::string> lines;
        std::string expected;
        int32_t total;
        int16_t fromLine = 0;
        int16_t toLine = 0;
        bool rewind = false;
    };
    const std::vector<Row> rows = {
        {"FROMLINE 3: the first two lines stay, ^ still means a line start",
         "a1\na2\na3\na4\n",
         {RegexLine("^a", "b")},
         "a1\na2\nb3\nb4\n",
         2,
         3},
        {"TOLINE 3: a match ending on line 3 is not replaced and ends the command",
         "a1\na2\na3\na4\n",
         {RegexLine("a\\d", "x")},
         "x\nx\na3\na4\n",
         2,
         0,
         3},
        {"the next command sees only what the last one did not consume",
         "k1 k2 k3",
         {RegexLine("k2", "K2"), RegexLine("k\\d", "z")},
         "k1 K2 z",
         2},
        {"the rewind option lets it see everything",
         "k1 k2 k3",
         {RegexLine("k2", "K2"), RegexLine("k\\d", "z", "CASESENS ")},
         "z K2 z",
         3,
         0,
         0,
         true},
        {"a read position in mid-line is no line start",
         "ab ab",
         {RegexLine("a", "x", "ONCE "), RegexLine("^b", "y")},
         "xb ab",
         1},
        {"matches stop at a NUL; the bytes after it survive",
         std::string("a\0a", 3),
         {RegexLine("a", "b")},
         std::string("b\0a", 3),
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        doc.FromLine = row.fromLine;
        doc.ToLine = row.toLine;
        doc.Rewind = row.rewind ? 1 : 0;
        const Outcome out = Run(row.input, row.lines);
        EXPECT_EQ(out.text, row.expected);
        EXPECT_EQ(out.total, row.total);
    }
}

TEST_F(RegexCommand, HostilePatternsFailTheFileInsteadOfHanging)
{
    struct Row
    {
        const char* name;
        std::string input;
    };
    std::string runs;
    for (int i = 0; i < 4000; ++i) {
        runs += std::string(22, 'a') + "x";
    }
    const std::vector<Row> rows = {
        {"one attempt that backtracks without end", std::string(40, 'a') + "b\n"},
        {"many attempts that each stay below the step limit", runs},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome out = Run(row.input, {RegexLine("(a|aa)+$", "y")});
        EXPECT_EQ(out.result, FileResult::FAILED);
        EXPECT_EQ(out.message, "ERROR: Regular expression too complex");
        EXPECT_EQ(out.text, row.input);
        EXPECT_FALSE(out.writeBack);
    }
}

} // namespace
} // namespace wendo::test
