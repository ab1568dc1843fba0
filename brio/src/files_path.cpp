// Path text helpers: pure string work, no call into the system.

#include "brio/files.h"

#include <cctype>
#include <string>
#include <string_view>

namespace {

int CopyTurning(const char* src, char* dest, std::size_t limit, char from, char to)
{
    int turned = 0;
    std::size_t i = 0;
    for (; i < limit && src[i] != '\0'; ++i) {
        if (src[i] == from) {
            dest[i] = to;
            turned = 1;
        } else {
            dest[i] = src[i];
        }
    }
    dest[i] = '\0';
    return turned;
}

std::string_view TrimEntry(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())) != 0) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())) != 0) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view WithoutTrailingSeparator(std::string_view s)
{
    if (s.size() > 1 && s.back() == '\\') {
        s.remove_suffix(1);
    }
    return s;
}

bool SameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" {

int SetUXFilePath(const char* src, char* dest, int size)
{
    if (src == nullptr || dest == nullptr || size < 0) {
        return 0;
    }
    const std::size_t limit =
        size == 0 ? std::string_view(src).size() : static_cast<std::size_t>(size - 1);
    return CopyTurning(src, dest, limit, '\\', '/');
}

int SetPCFilePath(const char* src, char* dest, int size)
{
    if (src == nullptr || dest == nullptr || size <= 0) {
        return 0;
    }
    return CopyTurning(src, dest, static_cast<std::size_t>(size - 1), '/', '\\');
}

int ISExcludeDir(const char* dir, const char* excludeList, const char* base)
{
    if (dir == nullptr || excludeList == nullptr) {
        return 0;
    }
    const std::string_view folder = WithoutTrailingSeparator(dir);
    std::string_view list(excludeList);
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view entry = WithoutTrailingSeparator(TrimEntry(list.substr(0, comma)));
        if (!entry.empty()) {
            if (entry.front() == '*') {
                const std::string_view tail = entry.substr(1);
                if (folder.size() >= tail.size() &&
                    SameNoCase(folder.substr(folder.size() - tail.size()), tail)) {
                    return 1;
                }
            } else {
                const std::string full =
                    std::string(base != nullptr ? base : "") + std::string(entry);
                if (SameNoCase(folder, WithoutTrailingSeparator(full))) {
                    return 1;
                }
            }
        }
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
    }
    return 0;
}

} // extern "C"
