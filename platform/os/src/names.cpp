#include "os/names.h"

namespace os {

namespace {

char Folded(char c)
{
    return c == '/' ? '\\' : UpperAscii(c);
}

// One part of a name by the listing rule.
bool ListingPartMatches(std::string_view filter, std::string_view name)
{
    for (std::size_t i = 0;; ++i) {
        if (i < filter.size() && filter[i] == '*') {
            return true;
        }
        if (i == filter.size() || i == name.size()) {
            return filter.size() == name.size();
        }
        if (filter[i] != '?' && UpperAscii(filter[i]) != UpperAscii(name[i])) {
            return false;
        }
    }
}

} // namespace

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) {
            return false;
        }
    }
    return true;
}

NameParts SplitName(std::string_view path, bool slashToo)
{
    NameParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = path.substr(0, 2);
        path.remove_prefix(2);
    }
    const std::size_t slash = path.find_last_of(slashToo ? std::string_view("\\/") : "\\");
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    parts.directory = path.substr(0, nameStart);
    const std::string_view name = path.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    parts.title = name.substr(0, dot);
    parts.extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    return parts;
}

bool PartAgrees(std::string_view pattern, std::string_view name, StarRest rest)
{
    for (std::size_t i = 0;; ++i) {
        if (i < pattern.size() && pattern[i] == '*' &&
            (rest == StarRest::MayBeEmpty || i < name.size())) {
            return true;
        }
        if (i == pattern.size() || i == name.size()) {
            return pattern.size() == name.size();
        }
        if (Folded(pattern[i]) != Folded(name[i])) {
            return false;
        }
    }
}

bool ListingNameMatches(std::string_view filter, std::string_view name)
{
    // Names and filters here are single names: only the last dot splits them, whatever bytes
    // they hold.
    const std::size_t filterDot = filter.rfind('.');
    const std::size_t nameDot = name.rfind('.');
    const std::string_view filterExt =
        filterDot == std::string_view::npos ? std::string_view() : filter.substr(filterDot);
    const std::string_view nameExt =
        nameDot == std::string_view::npos ? std::string_view() : name.substr(nameDot);
    return ListingPartMatches(filterExt, nameExt) &&
           ListingPartMatches(filter.substr(0, filterDot), name.substr(0, nameDot));
}

bool SearchMatches(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*") {
        return true;
    }
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || UpperAscii(pattern[p]) == UpperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace os
