// Keyword lookup, word and line readers, line counting and the small character scanners.

#include "brio/scan.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const char* const kKeywords[] = {
    "FINDREPL_KEEPCONTENT", "FINDREPL", "CHANGE_ANCHOR", "", nullptr, "AFTER_END"};

struct ActionRow
{
    const char* name;
    const char* word;
    int16_t count;
    int16_t index;
};

const ActionRow kActionRows[] = {
    {"ThirdKeyword", "CHANGE_ANCHOR", 6, 2},
    {"ShorterKeywordNotHiddenByLonger", "FINDREPL", 6, 1},
    {"EmptyWord", "", 6, -1},
    {"Prefix", "CHANGE", 6, -1},
    {"Extension", "FINDREPLX", 6, -1},
    {"CaseSensitive", "findrepl", 6, -1},
    {"NullEntryEndsList", "AFTER_END", 6, -1},
    {"CountLimitsList", "CHANGE_ANCHOR", 2, -1},
    {"ZeroCount", "FINDREPL", 0, -1},
    {"NegativeCount", "FINDREPL", -1, -1},
};

class FindActionRows : public testing::TestWithParam<ActionRow>
{
};

TEST_P(FindActionRows, LooksUpExactKeyword)
{
    const ActionRow& row = GetParam();
    EXPECT_EQ(FindAction(row.word, kKeywords, row.count), row.index);
}

INSTANTIATE_TEST_SUITE_P(Rows, FindActionRows, testing::ValuesIn(kActionRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FindAction, NullArguments)
{
    EXPECT_EQ(FindAction(nullptr, kKeywords, 6), -1);
    EXPECT_EQ(FindAction("FINDREPL", nullptr, 6), -1);
}

TEST(MTGetBufferWord, SkipLeadingFlag)
{
    const char* text = "  FINDREPL x";
    char word[32] = "old";
    char* cursor = nullptr;
    EXPECT_EQ(MTGetBufferWord(&cursor, text, word, nullptr, 1), text + 2);
    EXPECT_STREQ(word, "FINDREPL");
    EXPECT_EQ(cursor, text + 10);
    EXPECT_EQ(MTGetBufferWord(&cursor, nullptr, word, nullptr, 1), text + 11);
    EXPECT_STREQ(word, "x");
    EXPECT_EQ(MTGetBufferWord(&cursor, nullptr, word, nullptr, 1), nullptr);
    EXPECT_STREQ(word, "");

    cursor = nullptr;
    EXPECT_EQ(MTGetBufferWord(&cursor, text, word, nullptr, 0), nullptr);
    EXPECT_EQ(cursor, text);
}

TEST(MTGetBufferWord, WordCharactersAndStoppingCharacter)
{
    const char* text = "  STATE_ALL2,x";
    char word[32];
    char delimiter = '\0';
    char* cursor = nullptr;
    EXPECT_EQ(MTGetBufferWord(&cursor, text, word, &delimiter, 1), text + 2);
    EXPECT_STREQ(word, "STATE_ALL2");
    EXPECT_EQ(delimiter, ',');
    delimiter = '\0';
    EXPECT_EQ(MTGetBufferWord(&cursor, nullptr, word, &delimiter, 1), text + 13);
    EXPECT_EQ(delimiter, '\0') << "the end of the text stops the last word";
}

TEST(MTGetBufferWord, DelimiterCharacterMode)
{
    const char* text = "a b,c~next\tword";
    char word[32];
    char* cursor = nullptr;
    char delimiter = '~';
    EXPECT_EQ(MTGetBufferWord(&cursor, text, word, &delimiter, 1), text);
    EXPECT_STREQ(word, "a b,c") << "spaces and punctuation belong to the word";
    EXPECT_EQ(delimiter, '~');
    EXPECT_EQ(MTGetBufferWord(&cursor, nullptr, word, &delimiter, 1), text + 6);
    EXPECT_STREQ(word, "next") << "a control character ends the word";
    EXPECT_EQ(delimiter, '\t');

    const char* empty = "~~";
    delimiter = '~';
    EXPECT_EQ(MTGetBufferWord(&cursor, empty, word, &delimiter, 1), nullptr);
    EXPECT_EQ(delimiter, '~') << "no word leaves the delimiter argument alone";
}

TEST(MTGetBufferWord, MissingPositionOrBuffer)
{
    char word[8];
    char* cursor = nullptr;
    EXPECT_EQ(MTGetBufferWord(&cursor, nullptr, word, nullptr, 1), nullptr);
    EXPECT_EQ(MTGetBufferWord(&cursor, "abc", nullptr, nullptr, 1), nullptr);
    EXPECT_EQ(MTGetBufferWord(nullptr, nullptr, word, nullptr, 1), nullptr);
    const char* text = " ab";
    EXPECT_EQ(MTGetBufferWord(nullptr, text, word, nullptr, 1), text + 1);
    EXPECT_STREQ(word, "ab");
}

TEST(GetBufferWord, KeepsPositionInLibrary)
{
    const char* text = "one two";
    char word[8];
    EXPECT_EQ(GetBufferWord(text, word, nullptr, 1), text);
    EXPECT_EQ(GetBufferWord(nullptr, word, nullptr, 1), text + 4);
    EXPECT_STREQ(word, "two");
    EXPECT_EQ(GetBufferWord(nullptr, word, nullptr, 1), nullptr);
}

struct Line
{
    std::string text;
    char stop;
    long offset;
};

std::vector<Line> ReadLines(const char* text, int16_t size)
{
    std::vector<Line> lines;
    char buffer[64];
    char* cursor = nullptr;
    const char* from = text;
    char stop = 'x';
    while (const char* at = MTGetBufferString(&cursor, from, buffer, size, &stop)) {
        lines.push_back({buffer, stop, at - text});
        from = nullptr;
    }
    return lines;
}

TEST(MTGetBufferString, LineEnds)
{
    const auto lines = ReadLines("one\r\n\r\ntwo\rthree\nfour", 64);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, "one");
    EXPECT_EQ(lines[0].stop, '\n');
    EXPECT_EQ(lines[1].text, "") << "an empty line is not the end";
    EXPECT_EQ(lines[1].offset, 5);
    EXPECT_EQ(lines[2].text, "two");
    EXPECT_EQ(lines[2].stop, '\r');
    EXPECT_EQ(lines[3].text, "three");
    EXPECT_EQ(lines[3].stop, '\n');
    EXPECT_EQ(lines[4].text, "four");
    EXPECT_EQ(lines[4].stop, '\0');
    EXPECT_EQ(lines[4].offset, 17);
}

TEST(MTGetBufferString, TrailingLineEndGivesNoExtraLine)
{
    const auto lines = ReadLines("a\r\nb\r\n", 64);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].text, "b");
    EXPECT_TRUE(ReadLines("", 64).empty());
}

TEST(MTGetBufferString, OverLongLineContinuesWhereCut)
{
    const auto lines = ReadLines("abcdefg\nhij\n", 4);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "abc");
    EXPECT_EQ(lines[0].stop, 'd');
    EXPECT_EQ(lines[1].text, "def");
    EXPECT_EQ(lines[2].text, "g");
    EXPECT_EQ(lines[2].stop, '\n');
    EXPECT_EQ(lines[3].text, "hij") << "a line that just fits is not cut";
    EXPECT_EQ(lines[3].stop, '\n');
}

TEST(MTGetBufferString, BufferWithoutRoomPassesLinesWhole)
{
    const auto lines = ReadLines("abc\ndef", 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "");
    EXPECT_EQ(lines[1].offset, 4);

    const char* text = "abc\r\ndef";
    char* cursor = nullptr;
    char stop = 0;
    EXPECT_EQ(MTGetBufferString(&cursor, text, nullptr, 0, &stop), text);
    EXPECT_EQ(stop, '\n');
    EXPECT_EQ(MTGetBufferString(&cursor, nullptr, nullptr, 0, nullptr), text + 5);
    EXPECT_EQ(MTGetBufferString(&cursor, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(MTGetBufferString(nullptr, nullptr, nullptr, 0, nullptr), nullptr);
}

TEST(GetBufferString, KeepsPositionInLibrary)
{
    const char* text = "[A]\r\nk=v\r\n";
    char line[512];
    EXPECT_EQ(GetBufferString(text, line, sizeof line, nullptr), text);
    EXPECT_STREQ(line, "[A]");
    EXPECT_EQ(GetBufferString(nullptr, line, sizeof line, nullptr), text + 5);
    EXPECT_STREQ(line, "k=v");
    EXPECT_EQ(GetBufferString(nullptr, line, sizeof line, nullptr), nullptr);
}

struct CountRow
{
    const char* name;
    const char* text;
    size_t length; // counted bytes (the text may hold a NUL inside)
    int end;       // end position as an index
    int lines;
};

const CountRow kCountRows[] = {
    {"CrLfCountsOnce", "a\r\nb", 4, 4, 1},
    {"LoneCrAndLoneLf", "a\rb\nc", 5, 5, 2},
    {"EmptyLines", "\n\n\r\r", 4, 4, 4},
    {"LfTakenWithCrAtEnd", "a\r\nb\n", 5, 2, 1},
    {"EndIsExcluded", "a\nb\n", 4, 3, 1},
    {"StopsAtNul", "a\n\0\n", 4, 4, 1},
    {"EmptyText", "", 0, 0, 0},
};

class LineCount : public testing::TestWithParam<CountRow>
{
};

TEST_P(LineCount, CountsLineEnds)
{
    const CountRow& row = GetParam();
    const std::string text(row.text, row.length);
    EXPECT_EQ(BufferLineCount(text.c_str(), text.c_str() + row.end), row.lines);
}

INSTANTIATE_TEST_SUITE_P(Rows, LineCount, testing::ValuesIn(kCountRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(LineCount, NullArguments)
{
    const char* text = "a\nb";
    EXPECT_EQ(BufferLineCount(nullptr, text + 3), 0);
    EXPECT_EQ(BufferLineCount(text, nullptr), 0);
    EXPECT_EQ(BufferLineCount(text + 2, text), 0) << "an end before the start counts nothing";
}

TEST(SmallScanners, LengthsAndIndexes)
{
    EXPECT_EQ(GetStrLen("abc\r\ndef"), 3);
    EXPECT_EQ(GetStrLen("abc\ndef"), 3);
    EXPECT_EQ(GetStrLen("abc"), 3);
    EXPECT_EQ(GetStrLen(nullptr), 0);
    EXPECT_EQ(FindNextChar("page.htm#top", '#'), 8);
    EXPECT_EQ(FindNextChar("page.htm", '#'), -1);
    EXPECT_EQ(FindNextChar("page.htm", '\0'), -1);
    EXPECT_EQ(FindNextChar(nullptr, '#'), -1);
}

TEST(SmallScanners, StrTokTakesCrLfWhole)
{
    char text[] = "EXCL_FILTER\r\n*.bak";
    char* rest = nullptr;
    EXPECT_EQ(KVStrTok(text, " \t\r\n", &rest), text);
    EXPECT_STREQ(text, "EXCL_FILTER");
    EXPECT_STREQ(rest, "*.bak");

    char blank[] = "a b";
    EXPECT_EQ(KVStrTok(blank, " ", &rest), blank);
    EXPECT_STREQ(rest, "b");

    char single[] = "alone";
    EXPECT_EQ(KVStrTok(single, " ", &rest), single);
    EXPECT_EQ(rest, nullptr);
    EXPECT_EQ(KVStrTok(nullptr, " ", &rest), nullptr);
}

TEST(SmallScanners, GetWordShortensText)
{
    char text[] = "first,second,third";
    char word[32];
    GetWord(word, text, ',');
    EXPECT_STREQ(word, "first");
    EXPECT_STREQ(text, "second,third");
    GetWord(word, text, ',');
    GetWord(word, text, ',');
    EXPECT_STREQ(word, "third");
    EXPECT_STREQ(text, "");
    GetWord(word, text, ',');
    EXPECT_STREQ(word, "");
}

} // namespace
