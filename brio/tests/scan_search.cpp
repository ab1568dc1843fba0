// Substring search under match options and the case-blind search of the tag commands.

#include "brio/scan.h"

#include <cctype>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

struct SearchRow
{
    const char* name;
    const char* text;
    const char* pattern;
    int options;
    int found; // index of the match, -1 for none
    int after; // index just after the last compared character
};

const SearchRow kSearchRows[] = {
    {"FailedPartialMatchDoesNotHideLaterOne", "aab", "ab", 0, 1, 3},
    {"ExactSearchIsCaseSensitive", "xAb", "ab", 0, -1, 0},
    {"IgnoreCase", "xAb", "ab", MATCH_IGNORE_CASE, 1, 3},
    {"BlanksSkippedInText", "xa  b", "a b", MATCH_IGNORE_BLANKS, 1, 5},
    {"BlanksSkippedInPattern", "xab", "a b", MATCH_IGNORE_BLANKS, 1, 3},
    {"TabIsNotABlank", "xa\tb", "a b", MATCH_IGNORE_BLANKS, -1, 0},
    {"CrLfSkippedInText", "one\r\ntwo", "onetwo", MATCH_IGNORE_CRLF, 0, 8},
    {"CrLfKeptWithoutOption", "one\r\ntwo", "onetwo", 0, -1, 0},
    {"LoneLfSkipped", "x\nab", "xa\r\nb", MATCH_IGNORE_CRLF, 0, 4},
    {"WordsSplitOverLinesDifferently", "say one two\r\nthree", "one\r\ntwo three",
     MATCH_IGNORE_CRLF | MATCH_IGNORE_BLANKS, 4, 18},
    {"MatchBeginsOnComparedChar", "  ab", " ab", MATCH_IGNORE_BLANKS, 2, 4},
    {"TrailingSkippedNotConsumed", "ab  c", "ab ", MATCH_IGNORE_BLANKS, 0, 2},
    {"CaseAndBlanksTogether", "x A B", "ab", MATCH_IGNORE_CASE | MATCH_IGNORE_BLANKS, 2, 5},
    {"RestartAfterPartialMatchWithSkips", "a a b", "ab", MATCH_IGNORE_BLANKS, 2, 5},
    {"TextEndsBeforePattern", "ab", "abc", 0, -1, 0},
    {"TextEndsBeforePatternWithSkips", "a b", "abc", MATCH_IGNORE_BLANKS, -1, 0},
    {"HighBitsIgnored", "xa b", "ab", 8 | MATCH_IGNORE_BLANKS, 1, 4},
    {"OnlyHighBitsIsExact", "xa b", "ab", 8, -1, 0},
    {"PatternOnlyOfSkippedChars", "a  b", "  ", MATCH_IGNORE_BLANKS, -1, 0},
    {"EmptyPattern", "abc", "", 0, -1, 0},
    {"EmptyText", "", "a", MATCH_IGNORE_CASE, -1, 0},
};

class SubStringSearch : public testing::TestWithParam<SearchRow>
{
};

TEST_P(SubStringSearch, FindsLeftmostMatchAndEnd)
{
    const SearchRow& row = GetParam();
    char sentinel = 0;
    char* after = &sentinel;
    char* found =
        GetSubStringContent(row.text, row.pattern, &after, static_cast<int16_t>(row.options));
    if (row.found < 0) {
        EXPECT_EQ(found, nullptr);
        EXPECT_EQ(after, &sentinel) << "a failed search must leave the out position alone";
        return;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found - row.text, row.found);
    EXPECT_EQ(after - row.text, row.after);
    EXPECT_EQ(
        GetSubStringContent(row.text, row.pattern, nullptr, static_cast<int16_t>(row.options)),
        found);
}

INSTANTIATE_TEST_SUITE_P(Rows, SubStringSearch, testing::ValuesIn(kSearchRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SubStringSearch, NullArguments)
{
    EXPECT_EQ(GetSubStringContent(nullptr, "a", nullptr, 0), nullptr);
    EXPECT_EQ(GetSubStringContent("a", nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(GetSubStringContent("a", nullptr, nullptr, MATCH_IGNORE_CASE), nullptr);
}

TEST(SubStringSearch, FixedOptionFormsUseTheirOption)
{
    const char* text = "Xa\r\n B";
    char* after = nullptr;
    EXPECT_EQ(GetSubStringNoCrLf(text, "aB", &after), nullptr);
    EXPECT_EQ(GetSubStringNoCrLf(text, "a B", &after), text + 1);
    EXPECT_EQ(after, text + 6);
    EXPECT_EQ(GetSubStringNoSpace(text, "a\r\nB", &after), text + 1);
    EXPECT_EQ(after, text + 6);
    EXPECT_EQ(GetSubStringNoSpace(text, "A\r\nB", &after), nullptr);
    EXPECT_EQ(GetSubStringNoCase(text, "xA", &after), text);
    EXPECT_EQ(after, text + 2);
}

// Reference model of the documented matching: keep only the compared characters of text and
// pattern, fold them, and find the leftmost occurrence among the compared characters.
struct Projection
{
    std::string keys;
    std::vector<size_t> offsets;
};

Projection Project(const std::string& s, int options, bool lower, char ignore)
{
    Projection p;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const bool skipped = ((options & MATCH_IGNORE_CRLF) && (c == '\r' || c == '\n')) ||
                             ((options & MATCH_IGNORE_BLANKS) && c == ' ') ||
                             (ignore != '\0' && c == ignore);
        if (skipped) {
            continue;
        }
        const auto u = static_cast<unsigned char>(c);
        int key = u;
        if (lower) {
            key = std::tolower(u);
        } else if (options & MATCH_IGNORE_CASE) {
            key = std::toupper(u);
        }
        p.keys.push_back(static_cast<char>(key));
        p.offsets.push_back(i);
    }
    return p;
}

bool ReferenceFind(const std::string& text, const std::string& pattern, int options, bool lower,
                   char ignore, size_t* found, size_t* after)
{
    const Projection t = Project(text, options, lower, ignore);
    const Projection p = Project(pattern, options, lower, ignore);
    if (p.keys.empty()) {
        return false;
    }
    const size_t at = t.keys.find(p.keys);
    if (at == std::string::npos) {
        return false;
    }
    *found = t.offsets[at];
    *after = t.offsets[at + p.keys.size() - 1] + 1;
    return true;
}

std::string RandomText(std::mt19937& random, size_t maxLength)
{
    static const char kAlphabet[] = "aAb \r\n";
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 2);
    std::string s(length(random), ' ');
    for (char& c : s) {
        c = kAlphabet[pick(random)];
    }
    return s;
}

TEST(SubStringSearch, AgreesWithReferenceOnRandomTexts)
{
    std::mt19937 random(20240501);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(random, 14);
        const std::string pattern = RandomText(random, 4);
        const int options = round % 8;
        size_t wantFound = 0;
        size_t wantAfter = 0;
        const bool want =
            ReferenceFind(text, pattern, options, false, '\0', &wantFound, &wantAfter);
        char* after = nullptr;
        const char* got = GetSubStringContent(text.c_str(), pattern.c_str(), &after,
                                              static_cast<int16_t>(options));
        ASSERT_EQ(got != nullptr, want)
            << "options " << options << " text [" << text << "] pattern [" << pattern << "]";
        if (want) {
            ASSERT_EQ(static_cast<size_t>(got - text.c_str()), wantFound);
            ASSERT_EQ(static_cast<size_t>(after - text.c_str()), wantAfter);
        }
    }
}

TEST(FindNoCase, AgreesWithReferenceOnRandomTexts)
{
    std::mt19937 random(77);
    const char ignores[] = {'\0', ' ', 'b'};
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(random, 14);
        const std::string pattern = RandomText(random, 4);
        const char ignore = ignores[round % 3];
        size_t wantFound = 0;
        size_t wantAfter = 0;
        const bool want = ReferenceFind(text, pattern, 0, true, ignore, &wantFound, &wantAfter);
        const char* got = FindNoCase(text.c_str(), pattern.c_str(), ignore);
        ASSERT_EQ(got != nullptr, want) << "text [" << text << "] pattern [" << pattern << "]";
        if (want) {
            ASSERT_EQ(static_cast<size_t>(got - text.c_str()), wantFound);
        }
    }
}

TEST(FindNoCase, TagSearches)
{
    const char* page = "<p>< IMG src=x><a href=y>";
    EXPECT_EQ(FindNoCase(page, "<img", ' '), page + 3);
    EXPECT_EQ(FindNoCase(page, "<img", '\0'), nullptr);
    EXPECT_EQ(FindNoCase(page, "SRC", '\0'), page + 9);
    EXPECT_EQ(FindNoCase(page, "<A", ' '), page + 15);
}

TEST(FindNoCase, DegenerateArgumentsFindNothing)
{
    EXPECT_EQ(FindNoCase(nullptr, "a", 0), nullptr);
    EXPECT_EQ(FindNoCase("a", nullptr, 0), nullptr);
    EXPECT_EQ(FindNoCase("", "a", 0), nullptr);
    EXPECT_EQ(FindNoCase("abc", "", 0), nullptr);
    EXPECT_EQ(FindNoCase("a  b", "   ", ' '), nullptr);
}

TEST(SubStringSearch, LongTextWithMatchAtTheEnd)
{
    std::string text(4 << 20, 'a');
    text += "AB";
    char* after = nullptr;
    const char* got =
        GetSubStringContent(text.c_str(), "a b", &after, MATCH_IGNORE_CASE | MATCH_IGNORE_BLANKS);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(static_cast<size_t>(got - text.c_str()), text.size() - 2);
    EXPECT_EQ(*after, '\0');
}

} // namespace
