// Further text functions: e-mail and postal-code extraction, telephone-number reader, raw
// search, bracketed-command tests, line-end replacement and small in-place edits.

#include "brio/utils.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

constexpr size_t kEMailBlockStep = 5120;

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// White space or a control character: what ends an e-mail address on either side.
bool endsAddress(char c)
{
    auto u = static_cast<unsigned char>(c);
    return u <= 32 || u == 127;
}

bool isPhoneChar(char c)
{
    return isDigit(c) || c == ' ' || c == '(' || c == ')' || c == '-';
}

bool isTrimmed(char c)
{
    auto u = static_cast<unsigned char>(c);
    return u <= 32 || u == 127;
}

// The bracketed-command test shared by InsideCmd and FindStartOfCmd.
bool findCmd(const char* begin, const char* position, const char* pair, int lookAhead,
             const char** open, const char** close)
{
    if (begin == nullptr || position == nullptr || pair == nullptr || pair[0] == '\0' ||
        pair[1] == '\0' || position < begin)
        return false;
    const char* o = nullptr;
    for (const char* p = position; p > begin;) {
        --p;
        if (*p == pair[0]) {
            o = p;
            break;
        }
        if (*p == pair[1])
            return false;
    }
    if (o == nullptr)
        return false;
    const char* c = nullptr;
    for (int i = 0; (lookAhead < 0 || i < lookAhead) && position[i] != '\0'; ++i) {
        if (position[i] == pair[1]) {
            c = position + i;
            break;
        }
        if (position[i] == pair[0])
            return false;
    }
    if (c == nullptr)
        return false;
    *open = o;
    *close = c;
    return true;
}

char* copyToBlock(const std::string& text, size_t blockSize)
{
    auto* block = static_cast<char*>(KV_Alloc(blockSize));
    if (block != nullptr)
        std::memcpy(block, text.c_str(), text.size() + 1);
    return block;
}

} // namespace

extern "C" {

int ExtractEMail(const char* text, char** block, int32_t* blockSize, char separator, int lineWidth)
{
    if (block != nullptr)
        *block = nullptr;
    if (blockSize != nullptr)
        *blockSize = 0;
    if (text == nullptr || block == nullptr)
        return 0;
    if (separator == '\0')
        separator = '\n';
    std::string out;
    size_t lineLength = 0;
    bool found = false;
    for (const char* at = std::strchr(text, '@'); at != nullptr; at = std::strchr(at, '@')) {
        const char* first = at;
        while (first > text && !endsAddress(first[-1]))
            --first;
        const char* last = at;
        while (*last != '\0' && !endsAddress(*last))
            ++last;
        size_t length = static_cast<size_t>(last - first);
        if (first == at || last == at + 1) {
            at = last; // a bare "@" names nobody
            continue;
        }
        if (found) {
            if (lineWidth <= 0 || lineLength + 1 + length < static_cast<size_t>(lineWidth)) {
                out += separator;
                ++lineLength;
            } else {
                out += '\n';
                lineLength = 0;
            }
        }
        if (separator == '\n')
            lineLength = 0;
        out.append(first, length);
        lineLength += length;
        found = true;
        at = last; // a second "@" within the same address is not a new one
    }
    if (!found)
        return 0;
    // The block grows in whole steps, as the family's readers of it expect.
    size_t size = (out.size() / kEMailBlockStep + 1) * kEMailBlockStep;
    if (size > INT32_MAX)
        return 0;
    *block = copyToBlock(out, size);
    if (*block == nullptr)
        return 0;
    if (blockSize != nullptr)
        *blockSize = static_cast<int32_t>(size);
    return 1;
}

int GetCAZipFromStr(const char* text, char* dest)
{
    if (dest != nullptr)
        *dest = '\0';
    if (text == nullptr || dest == nullptr)
        return 0;
    // The characters that count, right to left; blanks and dashes are passed over.
    std::string chars;
    for (const char* p = text + std::strlen(text); p > text;) {
        --p;
        if (*p != ' ' && *p != '-')
            chars += *p;
    }
    // chars is reversed: a code reads digit, letter, digit, letter, digit, letter here.
    for (size_t i = 0; i + 6 <= chars.size(); ++i) {
        bool match = true;
        for (size_t k = 0; k < 6 && match; ++k)
            match = k % 2 == 0 ? isDigit(chars[i + k]) : isAsciiLetter(chars[i + k]);
        if (!match)
            continue;
        char code[6];
        for (size_t k = 0; k < 6; ++k) {
            char c = chars[i + 5 - k];
            code[k] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        std::memcpy(dest, code, 3);
        dest[3] = ' ';
        std::memcpy(dest + 4, code + 3, 3);
        dest[7] = '\0';
        return 1;
    }
    return 0;
}

char* MTGetBufferPhoneString(char** cursor, const char* text, char* buffer, int16_t size,
                             char* stop)
{
    if (buffer != nullptr && size < 1)
        return nullptr;
    char* local = nullptr;
    char** pos = cursor != nullptr ? cursor : &local;
    if (text != nullptr)
        *pos = const_cast<char*>(text);
    char* p = *pos;
    if (p == nullptr)
        return nullptr;
    for (;;) {
        while (*p != '\0' && (!isPhoneChar(*p) || *p == ' '))
            ++p;
        if (*p == '\0') {
            *pos = p;
            return nullptr;
        }
        char* start = p;
        bool hasDigit = false;
        for (; isPhoneChar(*p); ++p)
            hasDigit = hasDigit || isDigit(*p);
        if (!hasDigit)
            continue;
        char* end = p;
        while (end > start && end[-1] == ' ')
            --end;
        if (buffer != nullptr) {
            auto n = static_cast<size_t>(end - start);
            if (n > static_cast<size_t>(size - 1))
                n = static_cast<size_t>(size - 1);
            std::memcpy(buffer, start, n);
            buffer[n] = '\0';
        }
        if (stop != nullptr)
            *stop = *p;
        *pos = p;
        return start;
    }
}

char* FindMatch(const char* data, const char* pattern, int length)
{
    if (data == nullptr || pattern == nullptr || *pattern == '\0' || length <= 0)
        return nullptr;
    size_t n = std::strlen(pattern);
    auto size = static_cast<size_t>(length);
    if (n > size)
        return nullptr;
    for (size_t i = 0; i + n <= size; ++i) {
        if (data[i] == pattern[0] && std::memcmp(data + i, pattern, n) == 0)
            return const_cast<char*>(data + i);
    }
    return nullptr;
}

int InsideCmd(const char* begin, const char* position, const char* pair, int lookAhead)
{
    const char* open = nullptr;
    const char* close = nullptr;
    return findCmd(begin, position, pair, lookAhead, &open, &close) ? 1 : 0;
}

char* FindStartOfCmd(const char* begin, const char* position, const char* pair, int lookAhead,
                     char** end)
{
    const char* open = nullptr;
    const char* close = nullptr;
    if (!findCmd(begin, position, pair, lookAhead, &open, &close))
        return nullptr;
    if (end != nullptr)
        *end = const_cast<char*>(close);
    return const_cast<char*>(open);
}

int ReplaceAllInStr(const char* option, const char* text, const char* lineEnd, char** block,
                    int paragraph)
{
    if (block != nullptr)
        *block = nullptr;
    if (option != nullptr) {
        while (*option == ' ' || *option == '\t')
            ++option;
        if (std::strncmp(option, "CRLF", 4) == 0 && isTrimmed(option[4]))
            return 1;
    }
    if (text == nullptr || block == nullptr)
        return 0;
    if (lineEnd == nullptr)
        lineEnd = "";
    std::string out;
    const char* lineStart = text;
    for (const char* p = text; *p != '\0';) {
        if (*p != '\r' && *p != '\n') {
            ++p;
            continue;
        }
        out.append(lineStart, static_cast<size_t>(p - lineStart));
        bool empty = p == lineStart;
        p += (p[0] == '\r' && p[1] == '\n') ? 2 : 1;
        out += (paragraph != 0 && empty) ? "\r\n\r\n" : lineEnd;
        lineStart = p;
    }
    out += lineStart;
    *block = copyToBlock(out, out.size() + 1);
    return *block != nullptr ? 1 : 0;
}

char* ReplaceAllCharInString(char* text, const char* set, char c)
{
    if (text == nullptr || set == nullptr || *set == '\0')
        return nullptr;
    for (char* p = text; *p != '\0'; ++p) {
        if (std::strchr(set, *p) != nullptr)
            *p = c;
    }
    return text;
}

int DiffString(const char* text1, const char* text2)
{
    long long sum = 0;
    for (const char* p = text1; p != nullptr && *p != '\0'; ++p)
        sum += static_cast<unsigned char>(*p);
    for (const char* p = text2; p != nullptr && *p != '\0'; ++p)
        sum -= static_cast<unsigned char>(*p);
    if (sum > INT_MAX)
        return INT_MAX;
    if (sum < INT_MIN)
        return INT_MIN;
    return static_cast<int>(sum);
}

char* TrimString(char* text, const char* prefix, const char* suffix)
{
    if (text == nullptr)
        return nullptr;
    size_t length = std::strlen(text);
    size_t start = 0;
    if (prefix != nullptr && *prefix != '\0') {
        size_t n = std::strlen(prefix);
        while (length - start >= n && std::memcmp(text + start, prefix, n) == 0)
            start += n;
    }
    size_t end = length;
    if (suffix != nullptr && *suffix != '\0') {
        size_t n = std::strlen(suffix);
        while (end - start >= n && std::memcmp(text + end - n, suffix, n) == 0)
            end -= n;
    }
    std::memmove(text, text + start, end - start);
    text[end - start] = '\0';
    return text;
}

char* SkipPendingCrLf(const char* text)
{
    if (text == nullptr)
        return nullptr;
    const char* end = text + std::strlen(text);
    while (end > text && (end[-1] == '\r' || end[-1] == '\n'))
        --end;
    return const_cast<char*>(end);
}

char* CenterString(char* dest, char fill, const char* text, int width)
{
    if (dest == nullptr || text == nullptr || width < 1)
        return nullptr;
    const char* first = text;
    while (*first != '\0' && isTrimmed(*first))
        ++first;
    const char* last = first + std::strlen(first);
    while (last > first && isTrimmed(last[-1]))
        --last;
    auto field = static_cast<size_t>(width - 1);
    size_t length = static_cast<size_t>(last - first);
    if (length > field)
        length = field;
    // Copied first: the caller may centre a text within its own buffer.
    std::string kept(first, length);
    size_t left = (field - length) / 2;
    std::memset(dest, fill, field);
    std::memcpy(dest + left, kept.data(), length);
    dest[field] = '\0';
    return dest;
}

} // extern "C"
