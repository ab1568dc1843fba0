// File names in their kept form (backslash separators, optional drive): the last component
// of a path and exclusion lists with a simple "*" wildcard (the rules of os/names.h).

#include "brio/scan.h"
#include "os/names.h"

#include <cctype>
#include <cstring>
#include <string_view>

namespace {

inline unsigned char Byte(char c)
{
    return static_cast<unsigned char>(c);
}

bool IsTrimmed(char c)
{
    return std::isspace(Byte(c)) != 0 || std::iscntrl(Byte(c)) != 0;
}

// Link targets reach the list with forward slashes, so both separators split and compare
// alike. The drive takes no part in the comparison.
bool EntryMatches(const os::NameParts& entry, const os::NameParts& file)
{
    using os::StarRest;
    // In a title or an extension "*" takes the rest even when nothing is left ("logo*.gif"
    // protects logo.gif); only in the folder must it stand for at least one character, which
    // is what keeps "\TEMP\*\*.*" to the folders below \TEMP\.
    return os::PartAgrees(entry.extension, file.extension, StarRest::MayBeEmpty) &&
           os::PartAgrees(entry.title, file.title, StarRest::MayBeEmpty) &&
           (entry.directory.empty() ||
            os::PartAgrees(entry.directory, file.directory, StarRest::NotEmpty));
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
    const os::NameParts file = os::SplitName(fileName, true);
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
            if (EntryMatches(
                    os::SplitName(std::string_view(b, static_cast<std::size_t>(e - b)), true),
                    file)) {
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
