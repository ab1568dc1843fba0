// Trimming, blank tests, the whole-number check, error messages and file-name functions.

#include "brio/scan.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

struct TrimRow
{
    const char* name;
    const char* text;
    const char* both;
    const char* left;
    const char* right;
};

const TrimRow kTrimRows[] = {
    {"Blanks", "  a b  ", "a b", "a b  ", "  a b"},
    {"AllWhiteSpaceKinds", "\t\r\n\v\f x \f\v\n\r\t", "x", "x \f\v\n\r\t", "\t\r\n\v\f x"},
    {"ControlCharacters",
     "\x01\x1f"
     "a\x7f\x02",
     "a", "a\x7f\x02",
     "\x01\x1f"
     "a"},
    {"OnlyWhiteSpace", " \t\r\n ", "", "", ""},
    {"Empty", "", "", "", ""},
    {"NothingToTrim", "a", "a", "a", "a"},
};

class TrimRows : public testing::TestWithParam<TrimRow>
{
};

TEST_P(TrimRows, RemovesWhiteSpaceAndControls)
{
    const TrimRow& row = GetParam();
    std::string both = row.text;
    std::string left = row.text;
    std::string right = row.text;
    Trim(both.data());
    TrimLeft(left.data());
    TrimRight(right.data());
    EXPECT_STREQ(both.c_str(), row.both);
    EXPECT_STREQ(left.c_str(), row.left);
    EXPECT_STREQ(right.c_str(), row.right);
}

INSTANTIATE_TEST_SUITE_P(Rows, TrimRows, testing::ValuesIn(kTrimRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(TextEdits, NullIsLeftAlone)
{
    Trim(nullptr);
    TrimLeft(nullptr);
    TrimRight(nullptr);
    StrUpr(nullptr);
    RMPendingCrLf(nullptr);
    char text[] = "MiXed 1.b";
    StrUpr(text);
    EXPECT_STREQ(text, "MIXED 1.B");
}

TEST(TextEdits, PendingLineEnds)
{
    char text[] = "a\r\nb\r\n\n\r";
    RMPendingCrLf(text);
    EXPECT_STREQ(text, "a\r\nb");
    char keep[] = "a \t";
    RMPendingCrLf(keep);
    EXPECT_STREQ(keep, "a \t");
}

TEST(TextEdits, BlankStrings)
{
    EXPECT_EQ(ISBlankString(nullptr), 1);
    EXPECT_EQ(ISBlankString(""), 1);
    EXPECT_EQ(ISBlankString("   "), 1);
    EXPECT_EQ(ISBlankString("\t"), 0);
    EXPECT_EQ(ISBlankString(" a "), 0);
}

struct FormatRow
{
    const char* name;
    const char* text;
    const char* format;
    int result;
    int32_t value;
};

const FormatRow kFormatRows[] = {
    {"SurroundedByBlanks", " \t42\t ", "%d", 1, 42},
    {"FollowedByLetter", "42a", "%d", 0, 0},
    {"LoneZero", "0", "%d", 1, 0},
    {"ZeroWithBlanks", "  0 ", "%u", 1, 0},
    {"Letters", "abc", "%d", 0, 0},
    {"Empty", "", "%d", 0, 0},
    {"OnlyBlanks", "   ", "%d", 0, 0},
    {"SignOnly", "-", "%d", 0, 0},
    {"SignedZero", "+0", "%d", 0, 0},
    {"Negative", "-5", "%d", 1, -5},
    {"PlusSign", "+7", "%ld", 1, 7},
    {"NegativeUnsigned", " -5", "%u", 0, 0},
    {"LineEndBeforeMinusUnsigned", "\n-5", "%u", 0, 0},
    {"LineEndBeforeNumber", "\n5", "%d", 0, 0},
    {"TrailingLineEnd", "5\n", "%d", 0, 0},
    {"HexNotRead", "0x10", "%d", 0, 0},
    {"MaxUnsigned", "4294967295", "%lu", 1, -1},
    {"UnsignedOverflow", "4294967296", "%u", 0, 0},
    {"SignedOverflow", "2147483648", "%d", 0, 0},
    {"SignedMinimum", "-2147483648", "%d", 1, INT32_MIN},
    {"FarOverflow", "99999999999999999999999", "%d", 0, 0},
    {"LongFormAllowsWide", "40000", "%ld", 1, 40000},
    {"ShortRejects40000", "40000", "%sd", 0, 0},
    {"ShortMaximum", "32767", "%sd", 1, 32767},
    {"ShortMinimum", "-32768", "%sd", 1, -32768},
    {"ShortBelowMinimum", "-32769", "%sd", 0, 0},
    {"ShortUnsignedKeepsSignedRange", "32768", "%su", 0, 0},
    {"UnknownConversion", "5", "%x", 0, 0},
    {"DoubleLength", "5", "%lld", 0, 0},
    {"NoPercent", "5", "d", 0, 0},
    {"TrailingFormatText", "5", "%d ", 0, 0},
    {"OtherModifier", "5", "%hd", 0, 0},
};

class StrFormat : public testing::TestWithParam<FormatRow>
{
};

TEST_P(StrFormat, ChecksWholeNumbers)
{
    const FormatRow& row = GetParam();
    unsigned char storage[8];
    std::memset(storage, 0xAB, sizeof storage);
    EXPECT_EQ(KVISStrFormat(row.text, row.format, storage), row.result);
    EXPECT_EQ(KVISStrFormat(row.text, row.format, nullptr), row.result);
    const bool shortForm = row.format[1] == 's';
    const size_t stored = row.result == 0 ? 0 : shortForm ? 2 : 4;
    for (size_t i = stored; i < sizeof storage; ++i) {
        EXPECT_EQ(storage[i], 0xAB) << "byte " << i << " written";
    }
    if (row.result == 1 && shortForm) {
        int16_t value = 0;
        std::memcpy(&value, storage, sizeof value);
        EXPECT_EQ(value, row.value);
    } else if (row.result == 1) {
        int32_t value = 0;
        std::memcpy(&value, storage, sizeof value);
        EXPECT_EQ(value, row.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StrFormat, testing::ValuesIn(kFormatRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(StrFormat, NullArguments)
{
    EXPECT_EQ(KVISStrFormat(nullptr, "%d", nullptr), 0);
    EXPECT_EQ(KVISStrFormat("1", nullptr, nullptr), 0);
}

TEST(ErrorCodes, MessagesAndCopies)
{
    char dest[64] = "";
    EXPECT_STREQ(BrioErrorCode2String(0, nullptr), "Brio No ERROR.\n");
    EXPECT_STREQ(BrioErrorCode2String(BRIO_ERR_BAD_ARG, dest),
                 "Brio ERROR: Bad argument function.\n");
    EXPECT_STREQ(dest, "Brio ERROR: Bad argument function.\n");
    EXPECT_STREQ(BrioErrorCode2String(BRIO_ERR_MAILER, nullptr), "Brio ERROR: Mailer error.\n");
    EXPECT_STREQ(BrioErrorCode2String(12, nullptr), "Brio ERROR: Unknowned.\n");
    EXPECT_STREQ(BrioErrorCode2String(-1, dest), "Brio ERROR: Unknowned.\n");
    EXPECT_STREQ(dest, "Brio ERROR: Unknowned.\n");
    EXPECT_STREQ(BrioErrorCode2String(INT16_MIN, nullptr), "Brio ERROR: Unknowned.\n");
}

TEST(FileNames, ExtractFilename)
{
    char dest[64];
    EXPECT_EQ(ExtractFilename(dest, "C:\\web\\site\\index.htm"), 1);
    EXPECT_STREQ(dest, "index.htm");
    EXPECT_EQ(ExtractFilename(dest, "C:\\web\\"), 1);
    EXPECT_STREQ(dest, "");
    EXPECT_EQ(ExtractFilename(dest, "index.htm"), 0);
    EXPECT_STREQ(dest, "index.htm");
    EXPECT_EQ(ExtractFilename(dest, "images/pic.gif"), 0) << "only a backslash separates";
    EXPECT_EQ(ExtractFilename(nullptr, "a\\b"), 0);
    EXPECT_EQ(ExtractFilename(dest, nullptr), 0);
}

struct ExcludeRow
{
    const char* name;
    const char* file;
    const char* list;
    int result;
};

const ExcludeRow kExcludeRows[] = {
    {"ExtensionAnyCase", "C:\\DATA\\FILE.BAK", "*.bak", 1},
    {"ExtensionOfLowerCaseFile", "file.bak", "*.BAK", 1},
    {"LongerExtension", "file.bak2", "*.bak", 0},
    {"StarDotStarNeedsExtension", "a.txt", "*.*", 1},
    {"StarDotStarWithoutExtension", "README", "*.*", 0},
    {"StarMatchesNoExtension", "README", "*", 1},
    {"StarRejectsExtension", "a.txt", "*", 0},
    {"DirectoryOnAnyDrive", "D:\\TEMP\\a.txt", "\\TEMP\\*.*", 1},
    {"DirectoryNotSubdirectory", "C:\\TEMP\\SUB\\a.txt", "\\TEMP\\*.*", 0},
    {"DirectoryElsewhere", "C:\\OTHER\\TEMP\\a.txt", "\\TEMP\\*.*", 0},
    {"SubdirectoryEntry", "C:\\TEMP\\SUB\\a.txt", "\\TEMP\\*\\*.*", 1},
    {"SubdirectoryAnyDepth", "C:\\TEMP\\SUB\\DEEP\\a.txt", "\\temp\\*\\*.*", 1},
    {"SubdirectoryEntryNotTheFolder", "C:\\TEMP\\a.txt", "\\TEMP\\*\\*.*", 0},
    {"EntriesTrimmed", "x.bak", " *.tmp ,\t*.bak ", 1},
    {"SecondEntryTried", "x.tmp", "*.bak,*.tmp", 1},
    {"EmptyList", "x.bak", "", 0},
    {"OnlyEmptyEntries", "x.bak", " , ,", 0},
    {"EmptyEntryNotMatchingFolder", "C:\\TEMP\\", ",", 0},
    {"TitleWildcard", "backup.txt", "back*.txt", 1},
    {"TitleWildcardNeedsPrefix", "ba.txt", "back*.txt", 0},
    {"StarEndsComparison", "x.txt", "*abc.txt", 1},
    {"WholeNameAnyCase", "index.HTM", "INDEX.htm", 1},
    {"QuestionMarkIsLiteral", "ab.txt", "a?.txt", 0},
    {"TitleMustMatch", "other.bak", "file.bak", 0},
    {"LinkWithForwardSlashes", "/images/pic.gif", "\\IMAGES\\*.gif", 1},
    // "*" may stand for nothing in a title or an extension: EXCLUDE ~logo*.gif~ protects
    // logo.gif and SRC ~a*.gif~ selects a.gif. Only a folder's "*" needs a character.
    {"TitleStarMayBeEmpty", "/img/logo.gif", "logo*.gif", 1},
    {"SourceStarMayBeEmpty", "a.gif", "a*.gif", 1},
    {"ExtensionStarMayBeEmpty", "a.h", "a.h*", 1},
    {"FolderStarNeedsACharacter", "\\TEMP\\x.gif", "\\TEMP\\*\\x.gif", 0},
};

class ExcludeFile : public testing::TestWithParam<ExcludeRow>
{
};

TEST_P(ExcludeFile, MatchesListEntries)
{
    const ExcludeRow& row = GetParam();
    EXPECT_EQ(ISExcludeFile(row.file, row.list), row.result);
}

INSTANTIATE_TEST_SUITE_P(Rows, ExcludeFile, testing::ValuesIn(kExcludeRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ExcludeFile, NullArguments)
{
    EXPECT_EQ(ISExcludeFile(nullptr, "*.*"), 0);
    EXPECT_EQ(ISExcludeFile("a.txt", nullptr), 0);
}

TEST(ExcludeFile, LongNamesAndExtensions)
{
    const std::string title(600, 'n');
    const std::string file = "C:\\" + std::string(400, 'd') + "\\" + title + ".extension_longer";
    EXPECT_EQ(ISExcludeFile(file.c_str(), "*.EXTENSION_LONGER"), 1);
    EXPECT_EQ(ISExcludeFile(file.c_str(), ("\\" + std::string(400, 'D') + "\\*.*").c_str()), 1);
}

} // namespace
