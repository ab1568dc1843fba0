// Word and line readers with a caller-held cursor, their twins that keep the position in the
// library, and the line counter used to place matches on a line.

#include "brio/scan.h"

#include <cctype>
#include <climits>

namespace {

inline unsigned char Byte(char c)
{
    return static_cast<unsigned char>(c);
}

// Reading positions of GetBufferWord and GetBufferString. Shared by every caller and not
// guarded: only single-threaded callers may use those two; threads use the MT forms.
char* s_wordPosition = nullptr;
char* s_linePosition = nullptr;

// Where a reader starts: the text when one is given, else the cursor's position.
const char* StartOf(char* const* cursor, const char* text)
{
    if (text != nullptr) {
        return text;
    }
    return cursor != nullptr ? *cursor : nullptr;
}

} // namespace

extern "C" {

// A NULL cursor reads from the text alone: the position reached is simply not kept, so a
// NULL cursor with a NULL text has nothing to read.
char* MTGetBufferWord(char** cursor, const char* text, char* word, char* delimiter, int skipLeading)
{
    if (word == nullptr) {
        return nullptr;
    }
    const char* position = StartOf(cursor, text);
    if (position == nullptr) {
        return nullptr;
    }
    const bool delimiterMode = delimiter != nullptr && *delimiter != '\0';
    const char mark = delimiterMode ? *delimiter : '\0';
    auto isWordChar = [&](char c) {
        if (delimiterMode) {
            return c != mark && std::iscntrl(Byte(c)) == 0;
        }
        return std::isalnum(Byte(c)) != 0 || c == '_';
    };

    const char* start = nullptr;
    char* out = word;
    for (; *position != '\0'; ++position) {
        if (isWordChar(*position)) {
            if (start == nullptr) {
                start = position;
            }
            *out++ = *position;
        } else if (start != nullptr || skipLeading == 0) {
            break;
        }
    }
    *out = '\0';
    if (cursor != nullptr) {
        *cursor = const_cast<char*>(position);
    }
    if (start == nullptr) {
        return nullptr;
    }
    if (delimiter != nullptr) {
        *delimiter = *position;
    }
    return const_cast<char*>(start);
}

char* GetBufferWord(const char* text, char* word, char* delimiter, int skipLeading)
{
    return MTGetBufferWord(&s_wordPosition, text, word, delimiter, skipLeading);
}

// An over-long line is cut after size - 1 characters and the next call returns the rest from
// the first character not copied, so nothing of the line is lost. A buffer that cannot hold a
// character (size 1 or less) would never move on under that rule, so the line is then passed
// over whole.
char* MTGetBufferString(char** cursor, const char* text, char* line, int16_t size, char* stop)
{
    const char* position = StartOf(cursor, text);
    if (position == nullptr || *position == '\0') {
        return nullptr;
    }
    const char* start = position;
    const int room = line != nullptr && size > 1 ? size - 1 : 0;
    int copied = 0;
    while (*position != '\0' && *position != '\r' && *position != '\n') {
        if (room > 0 && copied == room) {
            break;
        }
        if (room > 0) {
            line[copied++] = *position;
        }
        ++position;
    }
    if (line != nullptr && size > 0) {
        line[copied] = '\0';
    }
    char ended = *position;
    if (*position == '\r') {
        ++position;
        if (*position == '\n') {
            ended = '\n';
            ++position;
        }
    } else if (*position == '\n') {
        ++position;
    }
    if (stop != nullptr) {
        *stop = ended;
    }
    if (cursor != nullptr) {
        *cursor = const_cast<char*>(position);
    }
    return const_cast<char*>(start);
}

char* GetBufferString(const char* text, char* line, int16_t size, char* stop)
{
    return MTGetBufferString(&s_linePosition, text, line, size, stop);
}

int BufferLineCount(const char* start, const char* end)
{
    if (start == nullptr || end == nullptr) {
        return 0;
    }
    int count = 0;
    for (const char* p = start; p < end && *p != '\0'; ++p) {
        if (*p == '\r') {
            if (p[1] == '\n') {
                ++p;
            }
        } else if (*p != '\n') {
            continue;
        }
        if (count == INT_MAX) {
            break;
        }
        ++count;
    }
    return count;
}

} // extern "C"
