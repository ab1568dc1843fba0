// The rules by which names in the kept path form are split and compared with wildcards. Brio's
// listing and exclusion lists and Tessel's file names all follow them, so that a pattern means
// the same thing wherever a user writes it.
//
// Case is folded for ASCII letters only: a match never depends on the process's locale. The
// functions are pure and may be called from any thread. Views point into the text given.
#pragma once

#include <cstddef>
#include <string_view>

namespace os {

// The longest path, in bytes, that the system takes in one call (its PATH_MAX less the NUL).
// A longer path is refused wherever it meets the system, never cut to fit.
constexpr std::size_t kMaxPathBytes = 4095;

constexpr char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Equal without regard to ASCII case.
bool EqualNoCase(std::string_view a, std::string_view b);

// A path split into its parts. The drive is any two characters of which the second is a
// colon; the directory runs up to and with the last separator; the extension is the last dot
// of what follows and everything after it; the title is the rest.
struct NameParts
{
    std::string_view drive;
    std::string_view directory;
    std::string_view title;
    std::string_view extension;
};

// Separators are backslashes; with slashToo forward slashes separate as well (link targets
// reach exclusion lists with them).
NameParts SplitName(std::string_view path, bool slashToo = false);

// What a "*" in the pattern stands for in PartAgrees.
enum class StarRest
{
    MayBeEmpty, // a title or an extension: "logo*" takes "logo"
    NotEmpty,   // a folder: "\TEMP\*\" takes only folders below \TEMP\, not \TEMP\ itself
};

// The exclusion-list rule for one part of a name: equal without regard to case and of equal
// length, or a "*" in the pattern at a place up to which everything agreed; the "*" then
// stands for the rest and nothing after it in the pattern is looked at. "?" is an ordinary
// character; "/" and "\" compare equal.
bool PartAgrees(std::string_view pattern, std::string_view name, StarRest rest);

// The listing rule for a whole name: extensions first, then titles, each equal without regard
// to case up to the shorter length and of equal length, "?" standing for any one character
// and "*" for the rest of the part.
bool ListingNameMatches(std::string_view filter, std::string_view name);

// The rule a system file search applies to a whole name: "*" any run, "?" any one character,
// without regard to case; "*.*" takes every name, with or without a dot.
bool SearchMatches(std::string_view pattern, std::string_view name);

} // namespace os
