#include "tessel/KVRegExp.h"

#include "mosk/mosk.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct FindRow
{
    const char* pattern;
    const char* text;
    int pos;
    int len;
};

TEST(KVRegExp, FindsLeftmostWithGreedyRepetition)
{
    const FindRow rows[] = {
        {"abc", "xxabcx", 2, 3},
        {"a.c", "abc", 0, 3},
        {"a*", "bbb", 0, 0},
        {"ba*", "xbaaa", 1, 4},
        {"ba+", "xb ba", 3, 2},
        {"colou?r", "the color", 4, 5},
        {"<[^>]*>", "a <b>c</b>", 2, 3},
        {"[a-c]+", "xyzcabx", 3, 3},
        {"[]x]+", "a]x]b", 1, 3},
        {"[a-]+", "b-a-", 1, 3},
        {"^ab", "abab", 0, 2},
        {"^b", "ab", -1, -1},
        {"b$", "abab", 3, 1},
        {"cat|dog", "hotdog cat", 3, 3},
        {"(ab)+", "xababa", 1, 4},
        {"a(b|c)*d", "abcbd", 0, 5},
        {"\\.htm", "index.htm", 5, 4},
        {"a\\*", "aa*", 1, 2},
        {"\\(x\\)", "f(x)", 1, 3},
        {"a\\tb", "a\tb", 0, 3},
        {"(a|ab)c", "abc", 0, 3},
        {"(a*)*b", "aaab", 0, 4},
        {"(a*)+$", "aaa", 0, 3},
        {"x*", "", 0, 0},
        {"", "abc", 0, 0},
        {"q", "abc", -1, -1},
    };
    for (const FindRow& r : rows) {
        CKVRegExp re;
        ASSERT_EQ(re.RegComp(r.pattern), 1) << r.pattern << ": " << re.GetErrorText();
        EXPECT_EQ(re.RegFind(r.text), r.pos) << r.pattern << " in " << r.text;
        EXPECT_EQ(re.GetFindLen(), r.len) << r.pattern << " in " << r.text;
    }
}

TEST(KVRegExp, RejectsBadPatterns)
{
    const char* const bad[] = {
        "(ab", "ab)", "[abc", "*a", "a|+b", "a**", "a\\", "[z-a]", "((((((((((x))))))))))"};
    for (const char* p : bad) {
        CKVRegExp re;
        EXPECT_EQ(re.RegComp(p), 0) << p;
        EXPECT_STRNE(re.GetErrorText(), "") << p;
        EXPECT_EQ(re.RegFind("anything"), -1) << p;
    }
    CKVRegExp re;
    EXPECT_EQ(re.RegComp(nullptr), 0);
    EXPECT_EQ(re.RegFind("x"), -1) << "nothing compiled";
    ASSERT_EQ(re.RegComp("x"), 1);
    EXPECT_EQ(re.RegFind(nullptr), -1);
}

struct ReplaceRow
{
    const char* pattern;
    const char* text;
    const char* replaceTemplate;
    const char* expected;
};

TEST(KVRegExp, ReplaceStringFillsMatchAndGroups)
{
    const ReplaceRow rows[] = {
        {"b+", "abbbc", "[&]", "[bbb]"},
        {"([a-z]+)=([a-z]+)", "w=h", "\\2=\\1", "h=w"},
        {"([a-z]+)@([a-z]+)", "mail anna@shop now", "\\2 of \\1 (\\0)", "shop of anna (anna@shop)"},
        {"x", "x", "\\& and \\\\", "& and \\"},
        {"(a)|(b)", "b", "<\\1|\\2>", "<|b>"},
        {"(a)", "a", "\\5 \\q", " \\q"},
    };
    for (const ReplaceRow& r : rows) {
        CKVRegExp re;
        ASSERT_EQ(re.RegComp(r.pattern), 1) << r.pattern;
        ASSERT_GE(re.RegFind(r.text), 0) << r.pattern;
        char* out = re.GetReplaceString(r.replaceTemplate);
        ASSERT_NE(out, nullptr);
        EXPECT_STREQ(out, r.expected) << r.pattern;
        KV_Free(out);
    }
    CKVRegExp re;
    re.RegComp("z");
    re.RegFind("abc");
    EXPECT_EQ(re.GetReplaceString("&"), nullptr) << "no match, no replacement";
}

TEST(KVRegExp, LongTextsNeitherOverflowNorExplode)
{
    const std::string text(200000, 'a');
    CKVRegExp re;
    ASSERT_EQ(re.RegComp("(a|aa)*b"), 1);
    EXPECT_EQ(re.RegFind(text.c_str()), -1);
    ASSERT_EQ(re.RegComp("a*$"), 1);
    EXPECT_EQ(re.RegFind(text.c_str()), 0);
    EXPECT_EQ(re.GetFindLen(), 200000);
}

} // namespace
