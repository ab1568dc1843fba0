// FINDREPL and FINDREPL_KEEPCONTENT on real files: bytes, hit counts and counters.

#include "EngineTestSupport.h"

#include <string>
#include <vector>

namespace wendo::test {
namespace {

using namespace std::string_literals;

struct TextCase
{
    const char* name;
    std::string input;
    std::vector<std::string> lines;
    std::string expected;
    int32_t total;
    int16_t fromLine = 0;
    int16_t toLine = 0;
};

const std::string kBraces = "DELIMITER ~{{~ DELIMITER ~}}~ ";

class TextCommands : public EngineTest
{
protected:
    void Check(const std::vector<TextCase>& cases)
    {
        for (const TextCase& c : cases) {
            SCOPED_TRACE(c.name);
            doc.FromLine = c.fromLine;
            doc.ToLine = c.toLine;
            const Outcome out = Run(c.input, c.lines);
            EXPECT_EQ(out.text, c.expected);
            EXPECT_EQ(out.total, c.total);
            EXPECT_EQ(out.result, c.total > 0 ? FileResult::MODIFIED : FileResult::UNCHANGED);
        }
    }
};

TEST_F(TextCommands, DelimitersValuesAndContent)
{
    Check({
        {"both delimiters", "a{{1}}c{{2}}d", {"FINDREPL " + kBraces + "VALUE ~X~"}, "aXcXd", 2},
        {"once", "a{{1}}c{{2}}d", {"FINDREPL ONCE " + kBraces + "VALUE ~X~"}, "aXc{{2}}d", 1},
        {"no closing delimiter: the opening one alone is replaced",
         "a{{1}}b{{",
         {"FINDREPL DELIMITER ~{{~ VALUE ~X~"},
         "aX1}}bX",
         2},
        {"closing delimiter never follows: the rest is carried through",
         "x{{1}} y{{2 z",
         {"FINDREPL " + kBraces + "VALUE ~X~"},
         "xX y{{2 z",
         1},
        {"absent value deletes the match", "a{{1}}b", {"FINDREPL " + kBraces}, "ab", 1},
        {"absent opening delimiter replaces nothing",
         "a{{1}}b",
         {"FINDREPL VALUE ~X~"},
         "a{{1}}b",
         0},
        {"content twice",
         "{{x}}",
         {"FINDREPL_KEEPCONTENT " + kBraces + "VALUE ~$CONTENT|$CONTENT~"},
         "x|x",
         1},
        {"content twice, once",
         "{{x}}{{y}}",
         {"FINDREPL_KEEPCONTENT ONCE " + kBraces + "VALUE ~<$CONTENT|$CONTENT>~"},
         "<x|x>{{y}}",
         1},
        {"content of a long match and an empty one",
         "{{" + std::string(3000, 'q') + "}}{{}}",
         {"FINDREPL_KEEPCONTENT " + kBraces + "VALUE ~[$CONTENT]~"},
         "[" + std::string(3000, 'q') + "][]",
         2},
        {"content mark is case-sensitive",
         "{{x}}",
         {"FINDREPL_KEEPCONTENT " + kBraces + "VALUE ~$content$CONTENT~"},
         "$contentx",
         1},
        {"FINDREPL writes $CONTENT as it stands",
         "{{x}}",
         {"FINDREPL " + kBraces + "VALUE ~$CONTENT~"},
         "$CONTENT",
         1},
        {"keep content with an empty closing delimiter writes $CONTENT as it stands",
         "{{x}}",
         {"FINDREPL_KEEPCONTENT DELIMITER ~{{~ DELIMITER ~~ VALUE ~[$CONTENT]~"},
         "[$CONTENT]x}}",
         1},
        {"matches never overlap and the value is not searched again",
         "aaaa",
         {"FINDREPL CASESENS DELIMITER ~aa~ VALUE ~aaa~"},
         "aaaaaa",
         2},
    });
}

TEST_F(TextCommands, CaseAndLineBreakRules)
{
    Check({
        {"case ignored by default",
         "Hello HELLO hello",
         {"FINDREPL DELIMITER ~HELLO~ VALUE ~x~"},
         "x x x",
         3},
        {"CASESENS",
         "Hello HELLO hello",
         {"FINDREPL CASESENS DELIMITER ~hello~ VALUE ~x~"},
         "Hello HELLO x",
         1},
        {"a line break stops a plain match",
         "ab\r\ncd",
         {"FINDREPL DELIMITER ~abcd~ VALUE ~X~"},
         "ab\r\ncd",
         0},
        {"NOSKIPCRLF matches across CR LF",
         "<ab\r\ncd>",
         {"FINDREPL NOSKIPCRLF DELIMITER ~abcd~ VALUE ~X~"},
         "<X>",
         1},
        {"NOSKIPCRLF matches across a lone CR and LF",
         "ab\rc\nd",
         {"FINDREPL NOSKIPCRLF DELIMITER ~abcd~ VALUE ~X~"},
         "X",
         1},
        {"NOSKIPCRLF still counts blanks",
         "ab cd",
         {"FINDREPL NOSKIPCRLF DELIMITER ~abcd~ VALUE ~X~"},
         "ab cd",
         0},
        {"CHARONLY passes over blanks and line breaks",
         "a b\n c d!",
         {"FINDREPL CHARONLY DELIMITER ~ABCD~ VALUE ~X~"},
         "X!",
         1},
        {"CHARONLY with CASESENS",
         "a b\n C d! a b c d",
         {"FINDREPL CHARONLY CASESENS DELIMITER ~abcd~ VALUE ~X~"},
         "a b\n C d! X",
         1},
        {"CHARONLY delimiter written with blanks",
         "ab",
         {"FINDREPL CHARONLY DELIMITER ~a b~ VALUE ~X~"},
         "X",
         1},
    });
}

TEST_F(TextCommands, SearchEndsAtNulByteAndKeepsTheBytesAfterIt)
{
    Check({
        {"NUL byte", "a{{1}}\0{{2}}b"s, {"FINDREPL " + kBraces + "VALUE ~X~"}, "aX\0{{2}}b"s, 1},
        {"NUL byte first", "\0{{2}}"s, {"FINDREPL " + kBraces + "VALUE ~X~"}, "\0{{2}}"s, 0},
    });
}

TEST_F(TextCommands, LineRegion)
{
    const std::string lines = "x1\nx2\nx3\nx4\n";
    const std::string cmd = "FINDREPL CASESENS DELIMITER ~x~ VALUE ~y~";
    Check({
        {"FROMLINE 3 leaves the first two lines", lines, {cmd}, "x1\nx2\ny3\ny4\n", 2, 3},
        {"FROMLINE 1 is the whole file", lines, {cmd}, "y1\ny2\ny3\ny4\n", 4, 1},
        {"FROMLINE past the end", lines, {cmd}, lines, 0, 9},
        {"TOLINE 3 stops before line 3", lines, {cmd}, "y1\ny2\nx3\nx4\n", 2, 0, 3},
        {"FROMLINE 2 and TOLINE 4", lines, {cmd}, "x1\ny2\ny3\nx4\n", 2, 2, 4},
        {"a match ending on TOLINE is kept",
         "{{a}}\n{{b\n}}\n{{c}}",
         {"FINDREPL " + kBraces + "VALUE ~X~"},
         "X\n{{b\n}}\n{{c}}",
         1,
         0,
         3},
        {"a match ending before TOLINE is replaced",
         "{{a\n}}\n{{b}}\n",
         {"FINDREPL " + kBraces + "VALUE ~X~"},
         "X\n{{b}}\n",
         1,
         0,
         3},
        {"lone CR ends lines for TOLINE", "x1\rx2\rx3\r", {cmd}, "y1\rx2\rx3\r", 1, 0, 2},
        {"a line longer than a piece counts as several before FROMLINE",
         std::string(6000, 'x') + "\nx\n",
         {cmd},
         std::string(5119, 'x') + std::string(881, 'y') + "\ny\n",
         882,
         2},
    });
}

// Line numbers were 16-bit: past line 65,535 they wrapped and the region came back.
TEST_F(TextCommands, LineRegionHoldsPastSixtyFiveThousandLines)
{
    std::string many;
    for (int i = 1; i <= 70000; ++i) {
        many += i == 65540 ? "x\n" : "-\n";
    }
    std::string replaced = many;
    replaced[2 * 65539] = 'y';
    const std::string cmd = "FINDREPL CASESENS DELIMITER ~x~ VALUE ~y~";
    Check({
        {"TOLINE 10", many, {cmd}, many, 0, 0, 10},
        {"FROMLINE 65540", many, {cmd}, replaced, 1, 32000},
        {"FROMLINE after the match", many, {cmd}, many, 0, 32000, 32001},
    });
}

// With CASESENS alone the match options are 0 and an empty search string matched at the read
// position without moving on: the command never ended.
TEST_F(TextCommands, EmptyOpeningDelimiterNeverMatches)
{
    Check({
        {"CASESENS", "abc", {"FINDREPL CASESENS DELIMITER ~~ VALUE ~x~"}, "abc", 0},
        {"ignoring case", "abc", {"FINDREPL DELIMITER ~~ VALUE ~x~"}, "abc", 0},
        {"default command", "abc", {""}, "abc", 0},
        {"keep content",
         "abc",
         {"FINDREPL_KEEPCONTENT CASESENS DELIMITER ~~ DELIMITER ~c~"},
         "abc",
         0},
    });
}

TEST_F(TextCommands, LineEndsStayAsTheyWere)
{
    const std::string cmd = "FINDREPL CASESENS DELIMITER ~b~ VALUE ~B~";
    Check({
        {"CR LF", "ab\r\nb\r\n\r\nc", {cmd}, "aB\r\nB\r\n\r\nc", 2},
        {"lone CR", "ab\rb\r\rc", {cmd}, "aB\rB\r\rc", 2},
        {"LF", "ab\nb\n\nc", {cmd}, "aB\nB\n\nc", 2},
        {"mixed, FROMLINE copies CR LF as it stands",
         "b\r\nb\nb\r\nb",
         {cmd},
         "b\r\nb\nB\r\nB",
         2,
         3},
        {"a replacement that says otherwise",
         "a\r\nb",
         {"FINDREPL NOSKIPCRLF DELIMITER ~ab~ VALUE ~a b~"},
         "a b",
         1},
    });
}

TEST_F(TextCommands, CountersAndNotifications)
{
    const Outcome out = Run("a b a b a", {"FINDREPL CASESENS DELIMITER ~a~ VALUE ~A~",
                                          "FINDREPL CASESENS DELIMITER ~x~ VALUE ~X~",
                                          "FINDREPL CASESENS DELIMITER ~b~ VALUE ~B~"});
    // The third command sees only what the first left: nothing after the last "a".
    EXPECT_EQ(out.text, "A b A b A");
    EXPECT_EQ(out.counters, (std::vector<int32_t>{3, 3, 0, 0}));
    EXPECT_EQ(out.message, "FIND REPLACE(3) ");
    EXPECT_EQ(out.notified, 3);
}

} // namespace
} // namespace wendo::test
