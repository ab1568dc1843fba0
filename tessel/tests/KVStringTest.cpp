#include "tessel/KVString.h"

#include <gtest/gtest.h>

namespace {

struct ReplaceRow
{
    const char* name;
    const char* text;
    const char* find;
    const char* with;
    int all;
    const char* expected;
    int count;
};

TEST(KVStringFindReplace, Table)
{
    const ReplaceRow rows[] = {
        {"tilde doubled once per occurrence", "a~b", "~", "~~", 1, "a~~b", 1},
        {"tilde doubled everywhere", "a~b~c", "~", "~~", 1, "a~~b~~c", 2},
        {"first only", "a~b~c", "~", "~~", 0, "a~~b~c", 1},
        {"adjacent tildes", "~~", "~", "~~", 1, "~~~~", 2},
        {"absent text", "abc", "x", "y", 1, "abc", 0},
        {"replacement holds the find text", "aa", "a", "aa", 1, "aaaa", 2},
        {"shrinking replacement", "aXXbXX", "XX", "", 1, "ab", 2},
        {"empty find text", "abc", "", "z", 1, "abc", 0},
        {"NULL find text", "abc", nullptr, "z", 1, "abc", 0},
        {"NULL replacement removes", "a-b", "-", nullptr, 1, "ab", 1},
        {"case matters", "Tag tag", "tag", "T", 1, "Tag T", 1},
    };
    for (const ReplaceRow& r : rows) {
        CKVString s(r.text);
        EXPECT_EQ(s.FindReplace(r.find, r.with, r.all), r.count) << r.name;
        EXPECT_EQ(s, r.expected) << r.name;
    }
}

TEST(KVStringFindReplace, NoCaseKeepsTheRealStringInStep)
{
    const ReplaceRow rows[] = {
        {"mixed case, all", "Tag TAG tag", "tAg", "<x>", 1, "<x> <x> <x>", 3},
        {"first only", "ABab", "ab", "-", 0, "-ab", 1},
        {"replacement with the find text", "AbAB", "ab", "ABab", 1, "ABabABab", 2},
        {"length change keeps positions", "XaXA", "x", "long", 1, "longalongA", 2},
        {"absent", "abc", "Z", "y", 1, "abc", 0},
    };
    for (const ReplaceRow& r : rows) {
        CKVString s(r.text);
        EXPECT_EQ(s.FindReplaceNoCase(r.find, r.with, r.all), r.count) << r.name;
        EXPECT_EQ(s, r.expected) << r.name;
    }
}

TEST(KVString, InsertPadsPastTheEnd)
{
    CKVString s("abc");
    EXPECT_EQ(s.Insert(5, "XY"), 7);
    EXPECT_EQ(s, "abc  XY");

    CKVString c("abc");
    c.Insert(1, 'Z');
    EXPECT_EQ(c, "aZbc");
    c.Insert(-4, "<");
    EXPECT_EQ(c, "<aZbc");
    c.Insert(5, nullptr);
    EXPECT_EQ(c, "<aZbc");
}

TEST(KVString, DeleteEdges)
{
    struct Row
    {
        const char* name;
        int index, count;
        const char* expected;
    } rows[] = {
        {"middle", 1, 2, "adef"},
        {"negative count to end", 2, -1, "ab"},
        {"count too large", 4, 99, "abcd"},
        {"index at end", 6, 1, "abcdef"},
        {"index past end", 50, 3, "abcdef"},
        {"negative index from start", -3, 2, "cdef"},
        {"zero count", 2, 0, "abcdef"},
    };
    for (const Row& r : rows) {
        CKVString s("abcdef");
        s.Delete(r.index, r.count);
        EXPECT_EQ(s, r.expected) << r.name;
    }
    CKVString s("abcdef");
    EXPECT_EQ(s.Replace(1, 3, "XY"), 5);
    EXPECT_EQ(s, "aXYef");
}

TEST(KVString, FindVariants)
{
    const CKVString s("Hello hello");
    EXPECT_EQ(s.Find('l'), 2);
    EXPECT_EQ(s.Find("hello"), 6);
    EXPECT_EQ(s.Find("Hello", 1), -1);
    EXPECT_EQ(s.Find("o", 100), -1);
    EXPECT_EQ(s.FindNoCase("HELLO", 1), 6);
    EXPECT_EQ(s.FindNoCase('H', 1), 6);
    EXPECT_EQ(s.ReverseFind('H'), 0);
    EXPECT_EQ(s.ReverseFind("ll"), 8);
    EXPECT_EQ(s.ReverseFindNoCase("HELLO"), 6);
    EXPECT_EQ(s.ReverseFindNoCase('x'), -1);
}

TEST(KVString, Fields)
{
    const CKVString s("a,b,,dd");
    EXPECT_EQ(s.GetFieldCount(','), 4);
    EXPECT_EQ(s.GetField(',', 0), "a");
    EXPECT_EQ(s.GetField(',', 2), "");
    EXPECT_EQ(s.GetField(',', 3), "dd");
    EXPECT_EQ(s.GetField(',', 4), "");
    EXPECT_EQ(s.GetField(',', -1), "");

    const CKVString words("one::two::three");
    EXPECT_EQ(words.GetFieldCount("::"), 3);
    EXPECT_EQ(words.GetField("::", 1), "two");
    EXPECT_EQ(words.GetField("::", 2), "three");

    const CKVString plain("no separator");
    EXPECT_EQ(plain.GetFieldCount(';'), 1);
    EXPECT_EQ(plain.GetField(';', 0), "no separator");
    EXPECT_EQ(plain.GetFieldCount(""), 1);
}

TEST(KVString, DelimitedFields)
{
    const CKVString s("x<a> y<bb> <>z<c");
    EXPECT_EQ(s.GetDelimitedField('<', '>', 0), "a");
    EXPECT_EQ(s.GetDelimitedField('<', '>', 1), "bb");
    EXPECT_EQ(s.GetDelimitedField('<', '>', 2), "");
    EXPECT_EQ(s.GetDelimitedField('<', '>', 3), "") << "opening without closing";
    EXPECT_EQ(s.GetDelimitedField('<', '>', 4), "");
    const CKVString t("[[one]] and [[two]]");
    EXPECT_EQ(t.GetDelimitedField("[[", "]]", 1), "two");
    EXPECT_EQ(t.GetDelimitedField("[[", "", 0), "");
}

TEST(KVString, NumberChecks)
{
    struct Row
    {
        const char* text;
        bool isInt, isFloat;
    } rows[] = {
        {"12", true, true},    {"-7", true, true},       {" +3 ", true, true},
        {"1.5", false, true},  {".5", false, true},      {"5.", false, true},
        {"1e10", false, true}, {"-2.5E-3", false, true}, {"", false, false},
        {"-", false, false},   {".", false, false},      {"1e", false, false},
        {"12a", false, false}, {"1.2.3", false, false},  {"1 2", false, false},
        {"e5", false, false},
    };
    for (const Row& r : rows) {
        const CKVString s(r.text);
        EXPECT_EQ(s.IsInt(), r.isInt) << '"' << r.text << '"';
        EXPECT_EQ(s.IsFloat(), r.isFloat) << '"' << r.text << '"';
    }
    EXPECT_EQ(CKVString("42x").GetInt(), 42);
    EXPECT_EQ(CKVString("99999999999999999999").GetInt(), 2147483647);
    EXPECT_DOUBLE_EQ(CKVString("2.5").GetDouble(), 2.5);
    EXPECT_FLOAT_EQ(CKVString("1e300").GetFloat(), 3.40282347e38f);
}

TEST(KVString, PutWidths)
{
    struct IntRow
    {
        long value;
        int width;
        const char* expected;
    } ints[] = {
        {42, 5, "   42"},    {0, 3, "  0"}, {-12, 5, "  -12"},
        {12345, 3, "12345"}, {7, 0, "7"},   {7, -4, "7"},
    };
    for (const IntRow& r : ints) {
        CKVString a, b;
        EXPECT_EQ(b.PutLong(r.value, r.width), r.expected) << r.value << '/' << r.width;
        EXPECT_EQ(a.PutInt(static_cast<int>(r.value), r.width), r.expected);
    }
    EXPECT_EQ(CKVString().PutInt(1, 1'000'000).size(), 4096u);

    struct FloatRow
    {
        double value;
        int width;
        const char* expected;
    } floats[] = {
        {3.14159, 6, "3.1416"},     {1.5, 6, "1.5000"},
        {-2.5, 6, "-2.500"},        {123.0, 3, "123"},
        {9.99, 3, " 10"},           {12345678.0, 5, "1e+07"},
        {1234567.0, 8, " 1234567"}, {0.0, 4, "0.00"},
        {0.00001, 5, "1e-05"},      {2.0, 0, "2"},
    };
    for (const FloatRow& r : floats) {
        CKVString s;
        EXPECT_EQ(s.PutFloat(r.value, r.width), r.expected) << r.value << '/' << r.width;
    }
}

TEST(KVString, ConstructionAndNull)
{
    EXPECT_EQ(CKVString('x', 3), "xxx");
    EXPECT_EQ(CKVString('x', -1), "");
    EXPECT_EQ(CKVString("abcdef", 3), "abc");
    EXPECT_EQ(CKVString("ab", 10), "ab");
    EXPECT_EQ(CKVString(static_cast<const char*>(nullptr)), "");
    const unsigned char bytes[] = {'h', 'i', 0};
    EXPECT_EQ(CKVString(bytes), "hi");
    EXPECT_EQ(CKVString(L"a\u00e9"), "a\xc3\xa9");
    CKVString s("x");
    s = static_cast<const char*>(nullptr);
    EXPECT_EQ(s, "");
    std::string plain = CKVString("abc") + "d";
    EXPECT_EQ(plain, "abcd");
}

} // namespace
