// File names in their kept form (backslash separators, optional drive): the last component
// of a path and exclusion lists with a simple "*" wildcard.

#include "brio/scan.h"

#include <cctype>
#include <cstring>

namespace {

inline unsigned char Byte(char c)
{
    return static_cast<unsigned char>(c);
}

struct Span
{
    const char* begin = nullptr;
    const char* end = nullptr;

    size_t size() const { return static_cast<size_t>(end - begin); }
};

struct PathParts
{
    Span directory;
    Span title;
    Span extension; // with its dot
};

// Link targets reach the list with forward slashes, so both separators split and compare
// alike.
bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

PathParts SplitPath(const char* begin, const char* end)
{
    if (end - begin >= 2 && begin[1] == ':') {
        begin += 2; // the drive takes no part in the comparison
    }
    const char* name = begin;
    for (const char* p = begin; p < end; ++p) {
        if (IsSeparator(*p)) {
            name = p + 1;
        }
    }
    const char* dot = end;
    for (const char* p = name; p < end; ++p) {
        if (*p == '.') {
            dot = p;
        }
    }
    return {{begin, name}, {name, dot}, {dot, end}};
}

char Folded(char c)
{
    if (c == '/') {
        return '\\';
    }
    return static_cast<char>(std::toupper(Byte(c)));
}

// Equal without regard to case and of equal length, or a "*" in the entry at a place up to
// which everything agreed; the "*" then stands for the rest, which must not be empty.
bool WildcardAgrees(Span entry, Span name)
{
    const size_t shorter = entry.size() < name.size() ? entry.size() : name.size();
    for (size_t i = 0; i < shorter; ++i) {
        if (entry.begin[i] == '*') {
            return true;
        }
        if (Folded(entry.begin[i]) != Folded(name.begin[i])) {
            return false;
        }
    }
    return entry.size() == name.size();
}

bool IsTrimmed(char c)
{
    return std::isspace(Byte(c)) != 0 || std::iscntrl(Byte(c)) != 0;
}

} // namespace

extern "C" {

int ExtractFilename(char* dest, const char* path)
{
    if (dest == nullptr || path == nullptr) {
        return 0;
    }
    const char* last = std::strrchr(path, '\\');
    const char* name = last != nullptr ? last + 1 : path;
    std::memmove(dest, name, std::strlen(name) + 1);
    return last != nullptr ? 1 : 0;
}

// Entries that are empty after trimming are passed over: split like a path they would match
// any name with neither title nor extension, which no one writes a list for.
int ISExcludeFile(const char* fileName, const char* excludeList)
{
    if (fileName == nullptr || excludeList == nullptr) {
        return 0;
    }
    const PathParts file = SplitPath(fileName, fileName + std::strlen(fileName));
    const char* entryBegin = excludeList;
    for (;;) {
        const char* comma = std::strchr(entryBegin, ',');
        const char* entryEnd = comma != nullptr ? comma : entryBegin + std::strlen(entryBegin);
        const char* b = entryBegin;
        const char* e = entryEnd;
        while (b < e && IsTrimmed(*b)) {
            ++b;
        }
        while (e > b && IsTrimmed(e[-1])) {
            --e;
        }
        if (b < e) {
            const PathParts entry = SplitPath(b, e);
            if (WildcardAgrees(entry.extension, file.extension) &&
                WildcardAgrees(entry.title, file.title) &&
                (entry.directory.size() == 0 || WildcardAgrees(entry.directory, file.directory))) {
                return 1;
            }
        }
        if (comma == nullptr) {
            return 0;
        }
        entryBegin = comma + 1;
    }
}

} // extern "C"
