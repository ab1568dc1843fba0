#include "brio/profile.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Runs the reader with a generous destination and gives back what it wrote.
struct Answer
{
    int result;
    std::string text;
};

Answer Get(const char* section, const char* key, const char* def, const std::string& profile,
           int size = 255)
{
    std::string dest(static_cast<std::size_t>(size) + 1, '\x7f');
    const int r = KVGetPrivateProfileString(section, key, def, dest.data(), size, profile.c_str());
    return {r, dest.c_str()};
}

const std::string kCommandFile = "[GLOBAL]\r\n"
                                 "NAME=abc\r\n"
                                 "SPACED = abc\r\n"
                                 "  INDENT\t=x\r\n"
                                 "MULTI=first\r\n"
                                 "second line\r\n"
                                 "two words=still value\r\n"
                                 "OTHER=1\r\n"
                                 "BEFORE_COMMENT=v\r\n"
                                 "# note=1\r\n"
                                 "AFTER_COMMENT=w\r\n"
                                 "[COMMAND]\r\n"
                                 "CMD=1\r\n";

TEST(ProfileValue, KeyLinesAndContinuations)
{
    struct Row
    {
        const char* name;
        const char* section;
        const char* key;
        int result;
        const char* value;
    } rows[] = {
        {"plain key", "GLOBAL", "NAME", 3, "abc"},
        {"blanks before = and after it are kept", "GLOBAL", "SPACED", 4, " abc"},
        {"indented key with a tab before =", "GLOBAL", "INDENT", 1, "x"},
        {"line without = continues, two words before = too", "GLOBAL", "MULTI", 41,
         "first\r\nsecond line\r\ntwo words=still value"},
        {"one word before = ends the value", "GLOBAL", "OTHER", 1, "1"},
        {"comment line ends the value", "GLOBAL", "BEFORE_COMMENT", 1, "v"},
        {"keys after a comment are still found", "GLOBAL", "AFTER_COMMENT", 1, "w"},
        {"a commented-out key is not a key", "GLOBAL", "#", 0, ""},
        {"key of the next section is missing", "GLOBAL", "CMD", 0, ""},
        {"value at the end of the text", "COMMAND", "CMD", 1, "1"},
        {"keys match case", "GLOBAL", "name", 0, ""},
        {"prefix of a key is not the key", "GLOBAL", "NAM", 0, ""},
    };
    for (const Row& row : rows) {
        const Answer a = Get(row.section, row.key, nullptr, kCommandFile);
        EXPECT_EQ(a.result, row.result) << row.name;
        EXPECT_EQ(a.text, row.value) << row.name;
    }
}

TEST(ProfileValue, MissingKeyGivesTheDefaultAndItsLength)
{
    Answer a = Get("COMMAND", "NAME", "dflt", kCommandFile);
    EXPECT_EQ(a.result, 4);
    EXPECT_EQ(a.text, "dflt");
    a = Get("COMMAND", "NAME", "longer default", kCommandFile, 6);
    EXPECT_EQ(a.result, -1);
    EXPECT_EQ(a.text, "longer");
}

TEST(ProfileValue, SpanLengthCountsContinuationsAndLineEnds)
{
    // "first\r\nsecond line\r\ntwo words=still value\r\n"
    EXPECT_EQ(
        KVGetPrivateProfileString("GLOBAL", "MULTI", nullptr, nullptr, 0, kCommandFile.c_str()),
        43);
    EXPECT_EQ(KVGetPrivateProfileString("GLOBAL", "NONE", "d", nullptr, 0, kCommandFile.c_str()),
              0);
}

TEST(ProfileValue, TooSmallDestinationGetsTheFirstCharacters)
{
    const Answer a = Get("GLOBAL", "MULTI", nullptr, kCommandFile, 7);
    EXPECT_EQ(a.result, -1);
    EXPECT_EQ(a.text, "first\r\n");
    EXPECT_EQ(Get("GLOBAL", "NAME", nullptr, kCommandFile, 3).result, 3);
    EXPECT_EQ(Get("GLOBAL", "NAME", nullptr, kCommandFile, 0).text, "");
}

TEST(ProfileValue, LoneCrAndLoneLfEndLinesToo)
{
    EXPECT_EQ(Get("A", "K", nullptr, "[A]\rK=1\rL=2\r").text, "1");
    EXPECT_EQ(Get("A", "L", nullptr, "[A]\nK=1\nL=2\n").text, "2");
    EXPECT_EQ(Get("A", "K", nullptr, "[A]\nK=1\n\nmore\n").text, "1\n\nmore");
    EXPECT_EQ(Get("A", "K", nullptr, "[A]\nK=\n").result, 0);
    EXPECT_EQ(Get("A", "K", nullptr, "[A]\nK=x").text, "x");
}

TEST(ProfileValue, LongValuesAreCutAtTheLimit)
{
    const std::string profile = "[A]\nK=" + std::string(60000, 'v') + "\n";
    std::string dest(60001, '\0');
    EXPECT_EQ(KVGetPrivateProfileString("A", "K", nullptr, dest.data(), 60000, profile.c_str()),
              KV_PROFILE_MAX_VALUE);
    EXPECT_EQ(std::string(dest.c_str()).size(), 51199U);
}

TEST(ProfileValue, DefaultMayShareTheDestination)
{
    char buf[16] = "fallback";
    EXPECT_EQ(KVGetPrivateProfileString("NONE", "K", buf, buf, 15, "[A]\nK=1\n"), -1);
    EXPECT_STREQ(buf, "fallback");
    EXPECT_EQ(KVGetPrivateProfileString("A", "X", buf, buf, 15, "[A]\nK=1\n"), 8);
    EXPECT_STREQ(buf, "fallback");
}

TEST(ProfileSection, HeadersCountOnlyAtTheStartOfALine)
{
    const std::string profile = "x [GLOBAL]\nK=wrong\n[GLOBAL]\nK=right\n[GLOBAL]\nK=second\n";
    EXPECT_EQ(Get("GLOBAL", "K", nullptr, profile).text, "right");
    EXPECT_EQ(Get("GLOBAL", "K", nullptr, "text [GLOBAL]\nK=1\n").result, -1);
    EXPECT_EQ(Get("GLOBAL", "K", nullptr, "[GLOBAL\nK=1\n").result, -1);
}

TEST(ProfileSection, MissingOrOverlongSectionGivesTheDefault)
{
    Answer a = Get("NONE", "K", "dflt", kCommandFile);
    EXPECT_EQ(a.result, -1);
    EXPECT_EQ(a.text, "dflt");
    const std::string longName(256, 'S');
    const std::string profile = "[" + longName + "]\nK=1\n";
    a = Get(longName.c_str(), "K", "dflt", profile);
    EXPECT_EQ(a.result, 0);
    EXPECT_EQ(a.text, "dflt");
    const std::string longest(255, 'S');
    EXPECT_EQ(Get(longest.c_str(), "K", nullptr, "[" + longest + "]\nK=1\n").text, "1");
    // Without a default the caller's own text stays.
    a = Get("NONE", "K", nullptr, kCommandFile);
    EXPECT_EQ(a.text.substr(0, 1), "\x7f");
}

TEST(ProfileSection, BodyLengthThenCopyOfThatLength)
{
    const std::string profile = "[FILEPATH]\r\n:~:a:~:\r\n:~:b:~:\r\n\r\n[NEXT]\r\n";
    const int len =
        KVGetPrivateProfileString("FILEPATH", nullptr, nullptr, nullptr, 0, profile.c_str());
    EXPECT_EQ(len, 22);
    std::string dest(static_cast<std::size_t>(len) + 1, '\0');
    EXPECT_EQ(
        KVGetPrivateProfileString("FILEPATH", nullptr, nullptr, dest.data(), len, profile.c_str()),
        len);
    EXPECT_STREQ(dest.c_str(), "\r\n:~:a:~:\r\n:~:b:~:");
    EXPECT_EQ(KVGetPrivateProfileString("FILEPATH", nullptr, nullptr, dest.data(), len - 1,
                                        profile.c_str()),
              -1);
    EXPECT_EQ(KVGetPrivateProfileString("NEXT", nullptr, nullptr, nullptr, 0, profile.c_str()), 2);
}

TEST(ProfileLists, SectionNamesInTextOrder)
{
    const std::string profile = "[ ONE ]\nK=1\n[TWO]\n x [NOT]\n[THREE\n[FOUR]\n";
    Answer a = Get(nullptr, nullptr, nullptr, profile);
    EXPECT_EQ(a.result, 13);
    EXPECT_EQ(a.text, "ONE TWO FOUR ");
    // Each name needs room for itself, its blank and two more bytes.
    EXPECT_EQ(Get(nullptr, nullptr, nullptr, profile, 14).result, 13);
    a = Get(nullptr, nullptr, nullptr, profile, 13);
    EXPECT_EQ(a.result, -1);
    EXPECT_EQ(a.text, "ONE TWO ");
    EXPECT_EQ(KVGetPrivateProfileString(nullptr, "K", nullptr, nullptr, 100, profile.c_str()), -1);
}

TEST(ProfileLists, KeyNamesUpToTheFirstComment)
{
    const std::string profile = "[A]\nK1=1\ncontinued\n  K2 = 2\ntwo words=3\nK3=\n#\nK4=4\n[B]\n";
    Answer a = Get("A", KV_PROFILE_KEY_LIST, nullptr, profile);
    EXPECT_EQ(a.result, 9);
    EXPECT_EQ(a.text, "K1 K2 K3 ");
    EXPECT_EQ(
        KVGetPrivateProfileString("A", KV_PROFILE_KEY_LIST, nullptr, nullptr, 0, profile.c_str()),
        9);
    a = Get("A", KV_PROFILE_KEY_LIST, nullptr, profile, 6);
    EXPECT_EQ(a.result, -1);
    EXPECT_EQ(a.text, "K1 ");
    EXPECT_EQ(Get("B", KV_PROFILE_KEY_LIST, nullptr, profile).result, 0);
}

TEST(ProfileArguments, NullAndNegativeInputsHaveDefinedResults)
{
    EXPECT_EQ(KVGetPrivateProfileString(nullptr, nullptr, nullptr, nullptr, 0, "[A]\n"), -1);
    char buf[4] = "xyz";
    EXPECT_EQ(KVGetPrivateProfileString("A", "K", "d", buf, -5, "[A]\nK=1\n"), -1);
    EXPECT_STREQ(buf, "xyz");
    EXPECT_EQ(KVGetPrivateProfileString("A", "K", "d", buf, 3, nullptr), -1);
    EXPECT_STREQ(buf, "d");
    EXPECT_EQ(KVGetPrivateProfileString(nullptr, nullptr, nullptr, buf, 3, nullptr), 0);
    EXPECT_STREQ(buf, "");
}

} // namespace
