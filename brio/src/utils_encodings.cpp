// Encodings: Base64, hexadecimal digits, HTML character entities, wide characters and tag
// stripping.

#include "brio/utils.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Room the encoder keeps free beyond each group; callers size their buffers by this rule.
constexpr int kBase64Spare = 6;

int base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool isBase64Space(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// HTML 4 Latin-1 entity names of the characters 161 to 255, in code order.
constexpr const char* kLatin1Entities[95] = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",
    "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",
    "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave",
    "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde",
    "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

// Windows-1252 code points of the bytes 128 to 159. The five bytes that the code page leaves
// unassigned keep their own value, as the system converters of the family's platform do.
constexpr wchar_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Whether the last StripHTMLTags call ended inside a tag. Shared by every caller; atomic only
// so that concurrent misuse cannot be undefined behaviour.
std::atomic<bool> g_insideTag{false};

} // namespace

extern "C" {

int EncodeBase64(const char* text, char* dest, int destSize)
{
    if (text == nullptr || dest == nullptr || destSize < 1)
        return -1;
    const auto* in = reinterpret_cast<const unsigned char*>(text);
    size_t length = std::strlen(text);
    long long out = 0;
    for (size_t i = 0; i < length; i += 3) {
        if (out + 4 + kBase64Spare > destSize)
            return -1;
        unsigned int group = static_cast<unsigned int>(in[i]) << 16;
        size_t bytes = length - i < 3 ? length - i : 3;
        if (bytes > 1)
            group |= static_cast<unsigned int>(in[i + 1]) << 8;
        if (bytes > 2)
            group |= in[i + 2];
        dest[out] = kBase64Alphabet[(group >> 18) & 63];
        dest[out + 1] = kBase64Alphabet[(group >> 12) & 63];
        dest[out + 2] = bytes > 1 ? kBase64Alphabet[(group >> 6) & 63] : '=';
        dest[out + 3] = bytes > 2 ? kBase64Alphabet[group & 63] : '=';
        out += 4;
    }
    dest[out] = '\0';
    return static_cast<int>(out + 1);
}

int DecodeBase64(const char* text, char* dest, int destSize)
{
    if (text == nullptr || (dest != nullptr && destSize < 0))
        return -1;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    int count = 0;
    unsigned int group = 0;
    int filled = 0; // characters of the current four-character group
    auto put = [&](unsigned int byte) {
        if (dest != nullptr) {
            if (count >= destSize)
                return false;
            dest[count] = static_cast<char>(byte & 0xFF);
        }
        ++count;
        return true;
    };
    for (; *p != '\0' && *p != '='; ++p) {
        if (isBase64Space(*p))
            continue;
        int v = base64Value(*p);
        if (v < 0)
            return -1;
        group = (group << 6) | static_cast<unsigned int>(v);
        if (++filled == 4) {
            if (!put(group >> 16) || !put(group >> 8) || !put(group))
                return -1;
            group = 0;
            filled = 0;
        }
    }
    if (*p == '=') {
        // A padded group must hold two or three characters; two need a second "=".
        if (filled < 2)
            return -1;
        ++p;
        bool secondPad = false;
        for (; *p != '\0'; ++p) {
            if (isBase64Space(*p))
                continue;
            if (*p == '=' && filled == 2 && !secondPad) {
                secondPad = true;
                continue;
            }
            return -1;
        }
    }
    if (filled == 1)
        return -1;
    if (filled == 2 && !put(group >> 4))
        return -1;
    if (filled == 3 && (!put(group >> 10) || !put(group >> 2)))
        return -1;
    if (dest != nullptr && count < destSize)
        dest[count] = '\0';
    return count;
}

char* Ascii2Hex(char c, char* dest)
{
    if (dest == nullptr)
        return nullptr;
    std::snprintf(dest, 3, "%x", static_cast<unsigned int>(static_cast<unsigned char>(c)));
    return dest;
}

char Hex2Ascii(const char* hex)
{
    if (hex == nullptr)
        return 0;
    int high = hexValue(static_cast<unsigned char>(hex[0]));
    if (high < 0)
        return 0;
    int low = hexValue(static_cast<unsigned char>(hex[1]));
    if (low < 0)
        return 0;
    return static_cast<char>(high * 16 + low);
}

const char* chAsc2Htm(char c)
{
    auto u = static_cast<unsigned char>(c);
    if (u >= 161)
        return kLatin1Entities[u - 161];
    if (c == '\r' || c == '\n' || (u >= 128 && u <= 159))
        return "";
    return nullptr;
}

int ISMustConvertAsc2Htm(const char* text)
{
    if (text == nullptr)
        return 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p != '\0'; ++p) {
        if (*p < 32 || *p >= 128)
            return 1;
    }
    return 0;
}

char* pszAsc2Htm(const char* text, char** out)
{
    if (out != nullptr)
        *out = nullptr;
    if (text == nullptr || out == nullptr)
        return nullptr;
    if (!ISMustConvertAsc2Htm(text)) {
        *out = const_cast<char*>(text);
        return *out;
    }
    size_t size = 1;
    for (const char* p = text; *p != '\0'; ++p) {
        const char* name = chAsc2Htm(*p);
        size += name == nullptr ? 1 : (*name == '\0' ? 0 : std::strlen(name) + 2);
    }
    auto* result = static_cast<char*>(KV_Alloc(size));
    *out = result;
    if (result == nullptr)
        return nullptr;
    char* w = result;
    for (const char* p = text; *p != '\0'; ++p) {
        const char* name = chAsc2Htm(*p);
        if (name == nullptr) {
            *w++ = *p;
        } else if (*name != '\0') {
            size_t n = std::strlen(name);
            *w++ = '&';
            std::memcpy(w, name, n);
            w += n;
            *w++ = ';';
        }
    }
    *w = '\0';
    return result;
}

wchar_t* Ansi2Unicode(const char* text, wchar_t** out)
{
    if (text == nullptr) {
        if (out != nullptr)
            *out = nullptr;
        return nullptr;
    }
    size_t length = std::strlen(text);
    auto* wide = static_cast<wchar_t*>(KV_Alloc((length + 1) * sizeof(wchar_t)));
    if (wide != nullptr) {
        for (size_t i = 0; i < length; ++i) {
            auto u = static_cast<unsigned char>(text[i]);
            wide[i] = (u >= 128 && u < 160) ? kCp1252High[u - 128] : static_cast<wchar_t>(u);
        }
        wide[length] = L'\0';
    }
    if (out != nullptr)
        *out = wide;
    return wide;
}

char* StripHTMLTags(char* text)
{
    if (text == nullptr)
        return nullptr;
    bool inside = g_insideTag.load(std::memory_order_relaxed);
    char* w = text;
    for (char* p = text; *p != '\0'; ++p) {
        if (inside) {
            if (*p == '>')
                inside = false;
        } else if (*p == '<') {
            inside = true;
        } else {
            *w++ = *p;
        }
    }
    *w = '\0';
    g_insideTag.store(inside, std::memory_order_relaxed);
    return text;
}

} // extern "C"
