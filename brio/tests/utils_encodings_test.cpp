#include "brio/utils.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string encode(const std::string& text)
{
    std::vector<char> dest(4 * ((text.size() + 2) / 3) + 6);
    int n = EncodeBase64(text.c_str(), dest.data(), static_cast<int>(dest.size()));
    EXPECT_EQ(n, static_cast<int>(4 * ((text.size() + 2) / 3)) + 1) << text;
    return n < 0 ? std::string("<error>") : std::string(dest.data());
}

// Decodes into a generous buffer; the result string holds -1 as "<error>".
std::string decode(const char* text)
{
    char dest[64] = {};
    int n = DecodeBase64(text, dest, sizeof dest);
    return n < 0 ? std::string("<error>") : std::string(dest, static_cast<size_t>(n));
}

} // namespace

TEST(Base64, EncodesStandardVectors)
{
    struct Row
    {
        const char* name;
        const char* text;
        const char* encoded;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"one byte", "a", "YQ=="},
        {"two bytes", "ab", "YWI="},
        {"three bytes", "abc", "YWJj"},
        {"byte 255", "\xff", "/w=="},
        {"high bytes", "\xfb\xff\xbf", "+/+/"},
        {"six", "foobar", "Zm9vYmFy"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(encode(r.text), r.encoded) << r.name;
}

TEST(Base64, RoundTripsEveryByteValue)
{
    std::string all;
    for (int b = 1; b <= 255; ++b)
        all += static_cast<char>(b);
    // Each length exercises a different final group (none, one or two bytes missing).
    for (size_t length : {all.size(), all.size() - 1, all.size() - 2}) {
        std::string text = all.substr(0, length);
        std::string encoded = encode(text);
        std::vector<char> back(text.size() + 1);
        int n = DecodeBase64(encoded.c_str(), back.data(), static_cast<int>(back.size()));
        ASSERT_EQ(n, static_cast<int>(text.size()));
        EXPECT_EQ(std::string(back.data()), text);
    }
}

TEST(Base64, EncoderKeepsSixSpareBytesAndNeverOverruns)
{
    std::vector<char> dest(9, 'x');
    EXPECT_EQ(EncodeBase64("abc", dest.data(), 9), -1);
    EXPECT_EQ(EncodeBase64("abc", dest.data(), 10), 5);
    EXPECT_STREQ(dest.data(), "YWJj");

    char one[1] = {'x'};
    EXPECT_EQ(EncodeBase64("", one, 1), 1);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(EncodeBase64("", one, 0), -1);
    EXPECT_EQ(EncodeBase64(nullptr, one, 1), -1);
    EXPECT_EQ(EncodeBase64("a", nullptr, 100), -1);
}

TEST(Base64, DecodesPaddingAndWhiteSpace)
{
    struct Row
    {
        const char* name;
        const char* text;
        const char* decoded; // "<error>" for -1
    };
    const Row rows[] = {
        {"full padding", "YQ==", "a"},
        {"one pad for two bytes", "YWI=", "ab"},
        {"second pad left out", "YQ=", "a"},
        {"no padding", "YWI", "ab"},
        {"white space everywhere", " Y W\r\nJ\tj\n", "abc"},
        {"white space after padding", "YQ== \r\n", "a"},
        {"character outside alphabet", "YQ*=", "<error>"},
        {"pad at start of group", "YWJj=", "<error>"},
        {"pad after one character", "Y===", "<error>"},
        {"lone character", "YWJjY", "<error>"},
        {"extra pad for two bytes", "YWI==", "<error>"},
        {"third pad", "YQ===", "<error>"},
        {"data after padding", "YQ==YQ==", "<error>"},
        {"empty", "", ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(decode(r.text), r.decoded) << r.name;
}

TEST(Base64, DecoderHonoursDestinationSize)
{
    char dest[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(DecodeBase64("YWJj", dest, 2), -1);
    EXPECT_EQ(DecodeBase64("YWJj", dest, 3), 3);
    EXPECT_EQ(dest[3], 'x') << "no NUL without room for it";
    EXPECT_EQ(DecodeBase64("YWJj", dest, 4), 3);
    EXPECT_EQ(dest[3], '\0');
    EXPECT_EQ(DecodeBase64("YWJjZA==", nullptr, 0), 4) << "NULL destination only counts";
    EXPECT_EQ(DecodeBase64(nullptr, dest, 4), -1);
}

TEST(Hex, ConvertsBothWays)
{
    char hex[3];
    EXPECT_STREQ(Ascii2Hex('a', hex), "61");
    EXPECT_STREQ(Ascii2Hex('\x05', hex), "5");
    EXPECT_STREQ(Ascii2Hex('\xe9', hex), "e9");
    EXPECT_EQ(Ascii2Hex('a', nullptr), nullptr);

    EXPECT_EQ(Hex2Ascii("4a"), 'J');
    EXPECT_EQ(Hex2Ascii("4A"), 'J');
    EXPECT_EQ(Hex2Ascii("e9"), '\xe9');
    EXPECT_EQ(Hex2Ascii("4g"), 0);
    EXPECT_EQ(Hex2Ascii(nullptr), 0);
}

TEST(HtmlEntities, TableEndsAndDroppedCharacters)
{
    EXPECT_STREQ(chAsc2Htm('\xa1'), "iexcl");
    EXPECT_STREQ(chAsc2Htm('\xe9'), "eacute");
    EXPECT_STREQ(chAsc2Htm('\xd7'), "times");
    EXPECT_STREQ(chAsc2Htm('\xff'), "yuml");
    for (char dropped : {'\r', '\n', '\x80', '\x9f'})
        EXPECT_STREQ(chAsc2Htm(dropped), "") << static_cast<int>(dropped);
    for (char kept : {'a', '\t', '<', '&', '"', '\xa0', '\x7f'})
        EXPECT_EQ(chAsc2Htm(kept), nullptr) << static_cast<int>(kept);
}

TEST(HtmlEntities, ConvertsOnlyWhenNeeded)
{
    const char* plain = "a <b> & \"c\"";
    char* out = nullptr;
    EXPECT_EQ(ISMustConvertAsc2Htm(plain), 0);
    EXPECT_EQ(pszAsc2Htm(plain, &out), plain);
    EXPECT_EQ(out, plain);

    const char* accented = "caf\xe9\r\n<\x85>";
    EXPECT_EQ(ISMustConvertAsc2Htm(accented), 1);
    char* converted = pszAsc2Htm(accented, &out);
    ASSERT_NE(converted, nullptr);
    EXPECT_NE(converted, accented);
    EXPECT_EQ(out, converted);
    EXPECT_STREQ(converted, "caf&eacute;<>");
    KV_Free(converted);

    char* tab = pszAsc2Htm("a\tb", &out);
    EXPECT_STREQ(tab, "a\tb") << "a control character asks for a copy but stays";
    KV_Free(tab);

    EXPECT_EQ(pszAsc2Htm(nullptr, &out), nullptr);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(pszAsc2Htm(plain, nullptr), nullptr);
}

TEST(Ansi2Unicode, ReadsWindows1252)
{
    wchar_t* out = nullptr;
    wchar_t* wide = Ansi2Unicode("A\xe9\x80\x81\x9f", &out);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(out, wide);
    EXPECT_EQ(std::wstring(wide), (std::wstring{L'A', 0xE9, 0x20AC, 0x81, 0x178}));
    KV_Free(wide);
    EXPECT_EQ(Ansi2Unicode(nullptr, &out), nullptr);
    EXPECT_EQ(out, nullptr);
}

TEST(StripHTMLTags, TagContinuesIntoNextCall)
{
    char reset[] = ">";
    StripHTMLTags(reset); // leaves the shared flag outside a tag whatever ran before

    char first[] = "ab<i cl";
    char second[] = "ass=x>cd<b>e";
    EXPECT_STREQ(StripHTMLTags(first), "ab");
    EXPECT_STREQ(StripHTMLTags(second), "cde");

    char plain[] = "x > y";
    EXPECT_STREQ(StripHTMLTags(plain), "x > y") << "a lone > outside a tag is text";
    EXPECT_EQ(StripHTMLTags(nullptr), nullptr);
}
