// Pattern matching under match options, shared by the search and the delimiter functions.
#pragma once

#include <cstddef>

namespace brio::scan {

// How characters compare while matching: each byte folds to a comparison key, and skipped
// bytes are passed over on both sides without comparison. NUL is never skipped.
struct MatchRules
{
    unsigned char fold[256];
    bool skip[256];
};

// Rules of the match options (only the low three bits count): case folded through toupper.
void MakeOptionRules(MatchRules& rules, int options);
// Case folded through tolower; ignore (0 for none) is skipped.
void MakeNoCaseRules(MatchRules& rules, char ignore);

// Leftmost position where pattern matches, on a compared character; *end receives the position
// just after the last compared text character. nullptr when there is no match or the pattern
// holds no compared character. One forward pass, no allocation.
const char* FindPattern(const char* text, const char* pattern, const MatchRules& rules,
                        const char** end);

// Whether pattern matches starting at text (skipped characters before it are passed over).
bool MatchAt(const char* text, const char* pattern, const MatchRules& rules, const char** end);

} // namespace brio::scan
