// Content between delimiter strings and between delimiter characters.

#include "brio/scan.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

// Owns a content block handed out by the delimiter functions.
struct Content
{
    char* block = nullptr;
    ~Content() { KV_Free(block); }
    Content() = default;
    Content(const Content&) = delete;
    Content& operator=(const Content&) = delete;
};

struct DelimiterRow
{
    const char* name;
    const char* text;
    const char* open;
    const char* close;
    int options;
    int found;           // where the opening delimiter begins, -1 for none
    const char* content; // nullptr: no content produced
    int next;
};

const DelimiterRow kDelimiterRows[] = {
    {"LeftmostOpenFirstClose", "a{{1}}c{{2}}d", "{{", "}}", 0, 1, "1", 6},
    {"EmptyContent", "x{{}}", "{{", "}}", 0, 1, "", 5},
    {"OpenCaseBlind", "<p><img src=a>", "IMG", ">", MATCH_IGNORE_CASE, 4, " src=a", 14},
    {"OpenCaseSensitive", "<p><img src=a>", "IMG", ">", 0, -1, nullptr, 0},
    {"BlanksInsideDelimiters", "a{ {x} }", "{{", "}}", MATCH_IGNORE_BLANKS, 1, "x", 8},
    {"CloseAcrossLineEnd", "[[one]\r\n]", "[[", "]]", MATCH_IGNORE_CRLF, 0, "one", 9},
    {"EmptyCloseIsNoClose", "ab{{cd", "{{", "", 0, 2, nullptr, 4},
    {"NullCloseIsNoClose", "ab{{cd", "{{", nullptr, 0, 2, nullptr, 4},
    {"MissingClose", "a{{1", "{{", "}}", 0, -1, nullptr, 0},
    {"CloseOnlyBeforeOpen", "}}a{{1", "{{", "}}", 0, -1, nullptr, 0},
    {"MissingOpen", "abc}}", "{{", "}}", 0, -1, nullptr, 0},
    {"EmptyOpenFindsNothing", "abc", "", "}}", 0, -1, nullptr, 0},
    {"NullOpenFindsNothing", "abc", nullptr, "}}", 0, -1, nullptr, 0},
};

class DelimiterContent : public testing::TestWithParam<DelimiterRow>
{
};

TEST_P(DelimiterContent, FindsOpeningContentAndNext)
{
    const DelimiterRow& row = GetParam();
    const char* pair[2] = {row.open, row.close};
    char untouched = 0;
    Content content;
    content.block = &untouched;
    char* next = &untouched;
    char* found = GetDelimiterContent(row.text, pair, &content.block, &next,
                                      static_cast<int16_t>(row.options));
    const bool produced = content.block != &untouched;
    if (!produced) {
        content.block = nullptr;
    }
    if (row.found < 0) {
        EXPECT_EQ(found, nullptr);
        EXPECT_FALSE(produced);
        EXPECT_EQ(next, &untouched);
        return;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found - row.text, row.found);
    EXPECT_EQ(next - row.text, row.next);
    if (row.content == nullptr) {
        EXPECT_FALSE(produced);
    } else {
        ASSERT_TRUE(produced);
        EXPECT_STREQ(content.block, row.content);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, DelimiterContent, testing::ValuesIn(kDelimiterRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(DelimiterContent, OptionalOutArgumentsAndBadArguments)
{
    const char* pair[2] = {"<", ">"};
    const char* text = "a<b>c";
    EXPECT_EQ(GetDelimiterContent(text, pair, nullptr, nullptr, 0), text + 1);
    EXPECT_EQ(GetDelimiterContent(nullptr, pair, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(GetDelimiterContent(text, nullptr, nullptr, nullptr, 0), nullptr);
}

TEST(DelimiterContent, WalksEveryMatchOfAText)
{
    const char* pair[2] = {"{{", "}}"};
    std::string seen;
    char* next = nullptr;
    for (const char* at = "{{a}} {{bc}}{{}} {{d"; GetDelimiterContent(at, pair, nullptr, &next, 0);
         at = next) {
        Content content;
        GetDelimiterContent(at, pair, &content.block, nullptr, 0);
        seen += std::string("[") + content.block + "]";
    }
    EXPECT_EQ(seen, "[a][bc][]");
}

struct CmdRow
{
    const char* name;
    const char* text;
    const char* content;
    int next;
};

// Values written by the command-file writer sit between two ":~:" markers; a doubled closing
// marker stays inside the value as it stands.
const CmdRow kCmdRows[] = {
    {"PlainValue", ":~:FINDREPL VALUE~x~:~:\n:~:y:~:", "FINDREPL VALUE~x~", 23},
    {"EmptyValue", ":~::~:\n", "", 6},
    {"DoubledCloseKept", ":~:a:~::~:b:~:\n", "a:~::~:b", 14},
    {"OnlyDoubledCloseIsUnclosed", ":~:a:~::~:", nullptr, 0},
    {"LeadingTextSkipped", "NBSUBCMD=1\n:~: x :~:", " x ", 20},
};

class DelimiterContentCmd : public testing::TestWithParam<CmdRow>
{
};

TEST_P(DelimiterContentCmd, ReadsMarkedValues)
{
    const CmdRow& row = GetParam();
    const char* pair[2] = {":~:", ":~:"};
    Content content;
    char* next = nullptr;
    const char* found = GetDelimiterContentCmd(row.text, pair, &content.block, &next, 0);
    if (row.content == nullptr) {
        EXPECT_EQ(found, nullptr);
        EXPECT_EQ(content.block, nullptr);
        return;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(content.block, row.content);
    EXPECT_EQ(next - row.text, row.next);
}

INSTANTIATE_TEST_SUITE_P(Rows, DelimiterContentCmd, testing::ValuesIn(kCmdRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(DelimiterContentCmd, PlainFormStopsAtFirstClose)
{
    const char* pair[2] = {":~:", ":~:"};
    Content content;
    ASSERT_NE(GetDelimiterContent(":~:a:~::~:b:~:", pair, &content.block, nullptr, 0), nullptr);
    EXPECT_STREQ(content.block, "a");
}

TEST(ExtractSubString, MaximumSizeBoundsTheCopy)
{
    char dest[16];
    const char* text = "x(abcdef)y";
    EXPECT_EQ(ExtractSubString(text, "()", dest, 4), text + 2);
    EXPECT_STREQ(dest, "abc");
    EXPECT_EQ(ExtractSubString(text, "()", dest, 0), text + 2);
    EXPECT_STREQ(dest, "abcdef");
    EXPECT_EQ(ExtractSubString(text, "()", dest, 1), text + 2);
    EXPECT_STREQ(dest, "");
    EXPECT_EQ(ExtractSubString(text, "()", dest, 7), text + 2);
    EXPECT_STREQ(dest, "abcdef");
    EXPECT_EQ(ExtractSubString(text, "()", dest, -3), text + 2);
    EXPECT_STREQ(dest, "");
    EXPECT_STREQ(text, "x(abcdef)y");
}

TEST(ExtractSubString, MissingDelimiters)
{
    char dest[16] = "old";
    const char* quoted = "src=\"a.gif\" alt=\"\"";
    EXPECT_EQ(ExtractSubString(quoted, "\"\"", dest, 0), quoted + 5);
    EXPECT_STREQ(dest, "a.gif");
    std::strcpy(dest, "old");
    const char* unclosed = "src=\"a.gif";
    EXPECT_EQ(ExtractSubString(unclosed, "\"\"", dest, 0), unclosed + 5);
    EXPECT_STREQ(dest, "");
    std::strcpy(dest, "old");
    EXPECT_EQ(ExtractSubString("no quote", "\"\"", dest, 0), nullptr);
    EXPECT_STREQ(dest, "");
    std::strcpy(dest, "old");
    EXPECT_EQ(ExtractSubString("a\"b\"", "\"", dest, 0), nullptr);
    EXPECT_STREQ(dest, "old") << "a one-character pair is a bad argument";
    EXPECT_EQ(ExtractSubString(nullptr, "()", dest, 0), nullptr);
}

TEST(GetSubString, CutsTheCallersTextAtTheClose)
{
    char text[] = "~a b~rest";
    char dest[16] = "old";
    char* content = GetSubString(text, "~~", dest);
    ASSERT_EQ(content, text + 1);
    EXPECT_STREQ(content, "a b");
    EXPECT_STREQ(dest, "a b");
    EXPECT_STREQ(content + 4, "rest");

    char unclosed[] = "key=~tail";
    EXPECT_STREQ(GetSubString(unclosed, "~~", dest), "tail");
    EXPECT_STREQ(dest, "tail");

    char none[] = "plain";
    std::strcpy(dest, "old");
    EXPECT_EQ(GetSubString(none, "~~", dest), nullptr);
    EXPECT_STREQ(dest, "");
    EXPECT_STREQ(none, "plain");
}

struct CmdCharsRow
{
    const char* name;
    const char* text;
    const char* delimiters;
    const char* content; // expected destination
    int result;          // index just after the real close, -1 for NULL
};

const CmdCharsRow kCmdCharsRows[] = {
    {"DoubledTildeIsOne", "~a~~b~", "~~", "a~b", 6},
    {"StopsAtRealClose", "VALUE~x~DELIMITER~y~", "~~", "x", 8},
    {"EmptyValue", "~~ rest", "~~", "", 2},
    {"OnlyATilde", "~~~~", "~~", "~", 4},
    {"DoubledTildesAtEdges", "~~~a~~~ z", "~~", "~a~", 7},
    {"Unclosed", "~abc", "~~", "abc", -1},
    {"UnclosedAfterDoubled", "~ab~~", "~~", "ab~", -1},
    {"NoOpening", "abc", "~~", "", -1},
    {"DoubledQuote", "x\"a\"\"b\" y", "\"\"", "a\"b", 7},
    {"DistinctCharacters", "(a))b) c", "()", "a)b", 6},
};

class SubStringCmd : public testing::TestWithParam<CmdCharsRow>
{
};

TEST_P(SubStringCmd, ReducesDoubledClosingCharacters)
{
    const CmdCharsRow& row = GetParam();
    char dest[32] = "old";
    const char* result = GetSubStringCmd(row.text, row.delimiters, dest);
    if (row.result < 0) {
        EXPECT_EQ(result, nullptr);
    } else {
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result - row.text, row.result);
    }
    EXPECT_STREQ(dest, row.content);
    EXPECT_EQ(GetSubStringCmd(row.text, row.delimiters, nullptr), result);
}

INSTANTIATE_TEST_SUITE_P(Rows, SubStringCmd, testing::ValuesIn(kCmdCharsRows),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
