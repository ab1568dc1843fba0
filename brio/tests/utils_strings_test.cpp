#include "brio/utils.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

std::string extract(const char* text, char separator, int width)
{
    char* block = nullptr;
    int32_t size = -1;
    if (ExtractEMail(text, &block, &size, separator, width) != 1)
        return "<none>";
    EXPECT_EQ(size % 5120, 0);
    EXPECT_GT(size, static_cast<int32_t>(std::strlen(block)));
    std::string result(block);
    KV_Free(block);
    return result;
}

// Runs GetFmtStr with its standard input fed from typed.
std::string typeInto(const char* mask, const std::string& typed, int size = 32)
{
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    close(fds[1]);
    int saved = dup(STDIN_FILENO);
    dup2(fds[0], STDIN_FILENO);
    close(fds[0]);
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    int n = GetFmtStr(buffer, mask, size);
    while (std::getchar() != EOF) {
    }
    std::clearerr(stdin);
    dup2(saved, STDIN_FILENO);
    close(saved);
    EXPECT_EQ(n, static_cast<int>(std::strlen(buffer)));
    EXPECT_LT(n, size);
    return buffer;
}

} // namespace

TEST(ExtractEMail, CollectsAddressesInOrder)
{
    const char* text = "To: ann@a.org, bob@b.net\r\ncc\tcy@c.fr and @ alone";
    EXPECT_EQ(extract(text, ';', 0), "ann@a.org,;bob@b.net;cy@c.fr");
    EXPECT_EQ(extract(text, ';', 20), "ann@a.org,\nbob@b.net;cy@c.fr");
    EXPECT_EQ(extract(text, '\0', 0), "ann@a.org,\nbob@b.net\ncy@c.fr");
    EXPECT_EQ(extract("no address @ here", ',', 0), "<none>");

    std::string many;
    for (int i = 0; i < 1000; ++i)
        many += "someone" + std::to_string(i) + "@example.com ";
    std::string all = extract(many.c_str(), ' ', 0);
    EXPECT_EQ(all.size() + 1, many.size()) << "grows past several steps";

    char* block = reinterpret_cast<char*>(1);
    EXPECT_EQ(ExtractEMail(nullptr, &block, nullptr, ',', 0), 0);
    EXPECT_EQ(block, nullptr);
}

TEST(GetCAZipFromStr, FindsLastCode)
{
    struct Row
    {
        const char* name;
        const char* text;
        const char* code;
    };
    const Row rows[] = {
        {"plain", "Ottawa ON K1A 0B1", "K1A 0B1"},
        {"lower case and dash", "montreal h3z-2y7 canada", "H3Z 2Y7"},
        {"no separator", "Box M5V3L9", "M5V 3L9"},
        {"last of two", "from K1A 0B1 to V6B 4Y8.", "V6B 4Y8"},
        {"too short", "K1A 0B", ""},
        {"wrong order", "1K1 A0B", ""},
    };
    for (const Row& r : rows) {
        char dest[8] = "garbage";
        EXPECT_EQ(GetCAZipFromStr(r.text, dest), r.code[0] != '\0' ? 1 : 0) << r.name;
        EXPECT_STREQ(dest, r.code) << r.name;
    }
}

TEST(MTGetBufferPhoneString, ReadsSuccessiveNumbers)
{
    const char* text = "Call (613) 555-0100 or - 555 0199, fax:8195550123";
    char* cursor = nullptr;
    char buffer[32];
    char stop = 'x';
    EXPECT_STREQ(MTGetBufferPhoneString(&cursor, text, buffer, sizeof buffer, &stop),
                 "(613) 555-0100 or - 555 0199, fax:8195550123");
    EXPECT_STREQ(buffer, "(613) 555-0100");
    EXPECT_EQ(stop, 'o');
    ASSERT_NE(MTGetBufferPhoneString(&cursor, nullptr, buffer, sizeof buffer, &stop), nullptr);
    EXPECT_STREQ(buffer, "- 555 0199");
    EXPECT_EQ(stop, ',');
    char small[5];
    ASSERT_NE(MTGetBufferPhoneString(&cursor, nullptr, small, sizeof small, &stop), nullptr);
    EXPECT_STREQ(small, "8195") << "cut to the buffer";
    EXPECT_EQ(MTGetBufferPhoneString(&cursor, nullptr, buffer, sizeof buffer, &stop), nullptr);
    EXPECT_EQ(MTGetBufferPhoneString(&cursor, "( - )", buffer, sizeof buffer, &stop), nullptr);
    EXPECT_EQ(MTGetBufferPhoneString(&cursor, text, buffer, 0, &stop), nullptr);
}

TEST(FindMatch, SearchesRawBytes)
{
    const char data[] = {'a', '\0', 'b', 'c', 'd', 'b', 'c'};
    EXPECT_EQ(FindMatch(data, "bc", sizeof data), data + 2);
    EXPECT_EQ(FindMatch(data, "cd", 4), nullptr) << "match would end past the length";
    EXPECT_EQ(FindMatch(data, "cd", 5), data + 3);
    EXPECT_EQ(FindMatch(data, "", sizeof data), nullptr);
    EXPECT_EQ(FindMatch(data, "bc", 0), nullptr);
    EXPECT_EQ(FindMatch(nullptr, "bc", 3), nullptr);
}

TEST(InsideCmd, BracketsAroundPosition)
{
    const char* text = "x <img src=a> y <b";
    const char* src = std::strstr(text, "src");
    const char* y = std::strchr(text, 'y');
    EXPECT_EQ(InsideCmd(text, src, "<>", -1), 1);
    EXPECT_EQ(InsideCmd(text, src, "<>", 6), 1);
    EXPECT_EQ(InsideCmd(text, src, "<>", 5), 0) << "closing beyond the look-ahead";
    EXPECT_EQ(InsideCmd(text, y, "<>", -1), 0) << "a closing comes first looking back";
    EXPECT_EQ(InsideCmd(text, text + std::strlen(text), "<>", -1), 0) << "never closed";
    EXPECT_EQ(InsideCmd(text, text + 1, "<>", -1), 0) << "nothing opens before";

    char* end = nullptr;
    EXPECT_EQ(FindStartOfCmd(text, src, "<>", -1, &end), text + 2);
    EXPECT_EQ(end, std::strchr(text, '>'));
    EXPECT_EQ(FindStartOfCmd(text, y, "<>", -1, &end), nullptr);
    EXPECT_EQ(InsideCmd(text, src, "<", -1), 0);
    EXPECT_EQ(InsideCmd(nullptr, src, "<>", -1), 0);
}

TEST(ReplaceAllInStr, ReplacesEachLineEnd)
{
    struct Row
    {
        const char* name;
        const char* text;
        int paragraph;
        const char* result;
    };
    const Row rows[] = {
        {"mixed line ends", "a\r\nb\nc\rd", 0, "a<br>b<br>c<br>d"},
        {"trailing end", "a\n", 0, "a<br>"},
        {"empty line without paragraph", "a\n\nb", 0, "a<br><br>b"},
        {"empty line as paragraph", "a\r\n\r\nb", 1, "a<br>\r\n\r\nb"},
    };
    for (const Row& r : rows) {
        char* block = nullptr;
        ASSERT_EQ(ReplaceAllInStr("BR", r.text, "<br>", &block, r.paragraph), 1) << r.name;
        EXPECT_STREQ(block, r.result) << r.name;
        KV_Free(block);
    }
    std::string longLine(5000, 'q');
    char* block = nullptr;
    ASSERT_EQ(ReplaceAllInStr(nullptr, (longLine + "\n").c_str(), "|", &block, 0), 1);
    EXPECT_EQ(std::string(block), longLine + "|") << "a long line stays whole";
    KV_Free(block);

    block = reinterpret_cast<char*>(1);
    EXPECT_EQ(ReplaceAllInStr(" CRLF keep", "a\nb", "<br>", &block, 0), 1);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(ReplaceAllInStr("CRLFX", nullptr, "<br>", &block, 0), 0);
}

TEST(SmallEdits, ReplaceDiffTrimSkipCenter)
{
    char text[] = "a,b;c d";
    EXPECT_EQ(ReplaceAllCharInString(text, ",; ", '_'), text);
    EXPECT_STREQ(text, "a_b_c_d");
    EXPECT_EQ(ReplaceAllCharInString(text, "", '_'), nullptr);
    EXPECT_EQ(ReplaceAllCharInString(nullptr, "a", '_'), nullptr);

    EXPECT_EQ(DiffString("ab", "a"), 'b');
    EXPECT_EQ(DiffString("\xff", nullptr), 255);
    EXPECT_EQ(DiffString(nullptr, "ba"), -('a' + 'b'));

    char wrapped[] = "--==--x--==--==";
    EXPECT_STREQ(TrimString(wrapped, "--", "=="), "==--x--==--");
    char all[] = "ababab";
    EXPECT_STREQ(TrimString(all, "ab", "ab"), "");
    char same[] = "abc";
    EXPECT_STREQ(TrimString(same, "", nullptr), "abc") << "an empty prefix must not loop";

    const char* lines = "a\r\n";
    EXPECT_EQ(SkipPendingCrLf(lines), lines + 1);
    const char* only = "\r\n\n";
    EXPECT_EQ(SkipPendingCrLf(only), only);
    EXPECT_EQ(SkipPendingCrLf(nullptr), nullptr);

    char dest[8];
    EXPECT_STREQ(CenterString(dest, '*', "  ab\t", 8), "**ab***");
    EXPECT_STREQ(CenterString(dest, '.', "abcdefghij", 8), "abcdefg") << "cut to the field";
    char self[10] = " hi ";
    EXPECT_STREQ(CenterString(self, '-', self, 10), "---hi----");
    EXPECT_EQ(CenterString(dest, '*', "x", 0), nullptr);
}

TEST(GetFmtStr, FollowsMaskWithEditing)
{
    struct Row
    {
        const char* name;
        const char* mask;
        const char* typed;
        const char* result;
    };
    const Row rows[] = {
        {"literals written by themselves", "(999) 999-9999", "6135550100\n", "(613) 555-0100"},
        {"misfits ignored", "A9A 9A9", "k-1a0b1x\n", "k1a 0b1"},
        {"backspace over a literal", "99:99", "12\b45\n", "14:5"},
        {"backspace at start keeps literal", "(99)",
         "\b\x7f"
         "42\n",
         "(42)"},
        {"no mask", nullptr,
         "a\tb\x7f"
         "c\rrest",
         "ac"},
        {"end of input", "XXX", "ab", "ab"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(typeInto(r.mask, r.typed), r.result) << r.name;
    EXPECT_EQ(typeInto(nullptr, "abcdef\n", 4), "abc") << "buffer size honoured";
    EXPECT_EQ(GetFmtStr(nullptr, "99", 4), -1);
}
