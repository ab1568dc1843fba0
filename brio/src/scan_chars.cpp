// Content between delimiter characters, keyword lookup and the small character scanners.

#include "brio/scan.h"

#include <climits>
#include <cstring>

namespace {

// A delimiter-character argument must name both characters; a shorter string would make the
// closing character the terminating NUL.
bool ValidPair(const char* delimChars)
{
    return delimChars != nullptr && delimChars[0] != '\0' && delimChars[1] != '\0';
}

int ClampToInt(size_t value)
{
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

extern "C" {

char* ExtractSubString(const char* text, const char* delimChars, char* dest, int16_t maxSize)
{
    if (text == nullptr || !ValidPair(delimChars)) {
        return nullptr;
    }
    if (dest != nullptr) {
        dest[0] = '\0';
    }
    const char* open = std::strchr(text, delimChars[0]);
    if (open == nullptr) {
        return nullptr;
    }
    const char* contentStart = open + 1;
    const char* close = std::strchr(contentStart, delimChars[1]);
    if (close != nullptr && dest != nullptr) {
        size_t length = static_cast<size_t>(close - contentStart);
        if (maxSize < 0) {
            length = 0; // no room is the only safe reading of a negative size
        } else if (maxSize > 0 && length > static_cast<size_t>(maxSize - 1)) {
            length = static_cast<size_t>(maxSize - 1);
        }
        std::memcpy(dest, contentStart, length);
        dest[length] = '\0';
    }
    return const_cast<char*>(contentStart);
}

char* GetSubString(char* text, const char* delimChars, char* dest)
{
    if (text == nullptr || !ValidPair(delimChars)) {
        return nullptr;
    }
    if (dest != nullptr) {
        dest[0] = '\0';
    }
    char* open = std::strchr(text, delimChars[0]);
    if (open == nullptr) {
        return nullptr;
    }
    char* contentStart = open + 1;
    char* close = std::strchr(contentStart, delimChars[1]);
    if (close != nullptr) {
        *close = '\0';
    }
    if (dest != nullptr) {
        std::memmove(dest, contentStart, std::strlen(contentStart) + 1);
    }
    return contentStart;
}

char* GetSubStringCmd(const char* text, const char* delimChars, char* dest)
{
    if (text == nullptr || !ValidPair(delimChars)) {
        return nullptr;
    }
    if (dest != nullptr) {
        dest[0] = '\0';
    }
    const char* open = std::strchr(text, delimChars[0]);
    if (open == nullptr) {
        return nullptr;
    }
    const char close = delimChars[1];
    char* out = dest;
    for (const char* p = open + 1;; ++p) {
        if (*p == '\0') {
            if (out != nullptr) {
                *out = '\0';
            }
            return nullptr;
        }
        if (*p == close) {
            if (p[1] != close) {
                if (out != nullptr) {
                    *out = '\0';
                }
                return const_cast<char*>(p + 1);
            }
            ++p;
        }
        if (out != nullptr) {
            *out++ = *p;
        }
    }
}

int16_t FindAction(const char* word, const char* const* keywords, int16_t count)
{
    if (word == nullptr || word[0] == '\0' || keywords == nullptr) {
        return -1;
    }
    for (int16_t i = 0; i < count; ++i) {
        const char* keyword = keywords[i];
        if (keyword == nullptr) {
            break;
        }
        if (keyword[0] != '\0' && std::strcmp(word, keyword) == 0) {
            return i;
        }
    }
    return -1;
}

int GetStrLen(const char* text)
{
    return text == nullptr ? 0 : ClampToInt(std::strcspn(text, "\r\n"));
}

int FindNextChar(const char* text, char c)
{
    if (text == nullptr || c == '\0') {
        return -1;
    }
    const char* found = std::strchr(text, c);
    if (found == nullptr || found - text > INT_MAX) {
        return -1;
    }
    return static_cast<int>(found - text);
}

char* KVStrTok(char* text, const char* separators, char** rest)
{
    if (text == nullptr) {
        return nullptr;
    }
    char* found = separators == nullptr ? nullptr : std::strpbrk(text, separators);
    if (found == nullptr) {
        if (rest != nullptr) {
            *rest = nullptr;
        }
        return text;
    }
    char* after = found[1] == '\n' ? found + 2 : found + 1;
    *found = '\0';
    if (rest != nullptr) {
        *rest = after;
    }
    return text;
}

void GetWord(char* word, char* text, char separator)
{
    if (word == nullptr || text == nullptr) {
        return;
    }
    size_t length = 0;
    while (text[length] != '\0' && text[length] != separator) {
        ++length;
    }
    std::memmove(word, text, length);
    word[length] = '\0';
    const char* rest = text[length] == '\0' ? text + length : text + length + 1;
    std::memmove(text, rest, std::strlen(rest) + 1);
}

} // extern "C"
