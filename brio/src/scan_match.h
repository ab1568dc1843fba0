// Pattern matching under match options, shared by the search and the delimiter functions.
#pragma once

#include <cstddef>

namespace brio::scan {

// How characters compare while matching: each byte folds to a comparison key, and skipped
// bytes are passed over on both sides without comparison. NUL is never skipped. starts[k]
// lists the compared bytes whose key is k (NUL-terminated, at most kMaxStarts of them; a key
// with more has startCount[k] > kMaxStarts and its list is made when needed).
struct MatchRules
{
    static constexpr int kMaxStarts = 3;
    unsigned char fold[256];
    bool skip[256];
    unsigned char startCount[256];
    char starts[256][kMaxStarts + 1];
};

// Rules of the match options (only the low three bits count): case folded through toupper.
void MakeOptionRules(MatchRules& rules, int options);
// Case folded through tolower; ignore (0 for none) is skipped.
void MakeNoCaseRules(MatchRules& rules, char ignore);

// The same rules, built once and kept for the calling thread: they are made again only when
// the thread's case mapping (its locale) has changed since, so every search folds case exactly
// as the C library's toupper and tolower do at the time of the call. Valid until the next call
// of either function on the same thread.
const MatchRules& OptionRules(int options);
const MatchRules& NoCaseRules(char ignore);

// Leftmost position where pattern matches, on a compared character; *end receives the position
// just after the last compared text character. nullptr when there is no match or the pattern
// holds no compared character. One forward pass, no allocation.
const char* FindPattern(const char* text, const char* pattern, const MatchRules& rules,
                        const char** end);

// Whether pattern matches starting at text (skipped characters before it are passed over).
bool MatchAt(const char* text, const char* pattern, const MatchRules& rules, const char** end);

} // namespace brio::scan
