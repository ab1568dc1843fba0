// Substring search under match options and the content between delimiters. These run over
// whole files held in memory, so each search is one forward pass that allocates nothing.

#include "brio/scan.h"
#include "scan_match.h"

#include <cctype>
#include <cstring>

namespace brio::scan {

namespace {

inline unsigned char Byte(char c)
{
    return static_cast<unsigned char>(c);
}

} // namespace

namespace {

// Lists, for each comparison key, the compared bytes that fold to it (see MatchRules).
void FillStarts(MatchRules& rules)
{
    std::memset(rules.startCount, 0, sizeof rules.startCount);
    for (int c = 1; c < 256; ++c) {
        if (rules.skip[c]) {
            continue;
        }
        const unsigned char key = rules.fold[c];
        unsigned char& count = rules.startCount[key];
        if (count < MatchRules::kMaxStarts) {
            rules.starts[key][count] = static_cast<char>(c);
        }
        if (count <= MatchRules::kMaxStarts) {
            ++count;
        }
    }
    for (int key = 0; key < 256; ++key) {
        const int listed = rules.startCount[key] < MatchRules::kMaxStarts ? rules.startCount[key]
                                                                          : MatchRules::kMaxStarts;
        rules.starts[key][listed] = '\0';
    }
}

// What identifies the case mapping that toupper and tolower use on the calling thread. With
// the GNU C library these read the thread's current tables through the pointers below, which
// change whenever the thread's locale does; elsewhere nothing identifies them, and the rules
// are made again for every search.
struct CaseMapping
{
    const void* upper = nullptr;
    const void* lower = nullptr;
    bool operator==(const CaseMapping&) const = default;
};

bool CurrentCaseMapping(CaseMapping& mapping)
{
#if defined(__GLIBC__)
    mapping.upper = *__ctype_toupper_loc();
    mapping.lower = *__ctype_tolower_loc();
    return true;
#else
    (void)mapping;
    return false;
#endif
}

// Rules kept for one thread. The searches of a whole file call these once per match, and
// making the tables costs more than many a search.
struct KeptRules
{
    CaseMapping mapping;
    bool made = false;
    int key = 0;
    MatchRules rules;
};

} // namespace

void MakeOptionRules(MatchRules& rules, int options)
{
    const bool ignoreCase = (options & MATCH_IGNORE_CASE) != 0;
    for (int c = 0; c < 256; ++c) {
        rules.fold[c] = static_cast<unsigned char>(ignoreCase ? std::toupper(c) : c);
        rules.skip[c] = false;
    }
    if ((options & MATCH_IGNORE_CRLF) != 0) {
        rules.skip['\r'] = true;
        rules.skip['\n'] = true;
    }
    if ((options & MATCH_IGNORE_BLANKS) != 0) {
        rules.skip[' '] = true;
    }
    FillStarts(rules);
}

void MakeNoCaseRules(MatchRules& rules, char ignore)
{
    for (int c = 0; c < 256; ++c) {
        rules.fold[c] = static_cast<unsigned char>(std::tolower(c));
        rules.skip[c] = false;
    }
    rules.skip[Byte(ignore)] = ignore != '\0';
    FillStarts(rules);
}

const MatchRules& OptionRules(int options)
{
    thread_local KeptRules kept[8];
    KeptRules& slot = kept[options & 7];
    CaseMapping now;
    if (!CurrentCaseMapping(now) || !slot.made || !(slot.mapping == now)) {
        MakeOptionRules(slot.rules, options & 7);
        slot.mapping = now;
        slot.made = true;
    }
    return slot.rules;
}

const MatchRules& NoCaseRules(char ignore)
{
    // A tag search alternates between a few ignore characters (a space for names, none for
    // attributes): a handful of slots, the oldest one made again.
    constexpr int kSlots = 4;
    thread_local KeptRules kept[kSlots];
    thread_local int oldest = 0;
    CaseMapping now;
    const bool known = CurrentCaseMapping(now);
    for (KeptRules& slot : kept) {
        if (known && slot.made && slot.key == Byte(ignore) && slot.mapping == now) {
            return slot.rules;
        }
    }
    KeptRules& slot = kept[oldest];
    oldest = (oldest + 1) % kSlots;
    MakeNoCaseRules(slot.rules, ignore);
    slot.mapping = now;
    slot.key = Byte(ignore);
    slot.made = true;
    return slot.rules;
}

bool MatchAt(const char* text, const char* pattern, const MatchRules& rules, const char** end)
{
    const char* t = text;
    const char* p = pattern;
    const char* last = nullptr;
    for (;;) {
        while (rules.skip[Byte(*p)]) {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        while (rules.skip[Byte(*t)]) {
            ++t;
        }
        if (*t == '\0' || rules.fold[Byte(*t)] != rules.fold[Byte(*p)]) {
            return false;
        }
        last = t;
        ++t;
        ++p;
    }
    if (last == nullptr) {
        return false;
    }
    *end = last + 1;
    return true;
}

const char* FindPattern(const char* text, const char* pattern, const MatchRules& rules,
                        const char** end)
{
    const char* first = pattern;
    while (rules.skip[Byte(*first)]) {
        ++first;
    }
    if (*first == '\0') {
        return nullptr;
    }
    // Every byte that compares equal to the pattern's first compared character: a match can
    // only begin on one of them, and the C library finds them far faster than a byte loop.
    const unsigned char key = rules.fold[Byte(*first)];
    char many[257];
    const char* starts = rules.starts[key];
    size_t count = rules.startCount[key];
    if (count > MatchRules::kMaxStarts) {
        count = 0;
        for (int c = 1; c < 256; ++c) {
            if (rules.fold[c] == key && !rules.skip[c]) {
                many[count++] = static_cast<char>(c);
            }
        }
        many[count] = '\0';
        starts = many;
    }

    const char* s = text;
    for (;;) {
        s = count == 1 ? std::strchr(s, starts[0]) : std::strpbrk(s, starts);
        if (s == nullptr) {
            return nullptr;
        }
        const char* t = s + 1;
        const char* p = first + 1;
        const char* last = s;
        for (;;) {
            while (rules.skip[Byte(*p)]) {
                ++p;
            }
            if (*p == '\0') {
                *end = last + 1;
                return s;
            }
            while (rules.skip[Byte(*t)]) {
                ++t;
            }
            // The text ran out before the pattern: any later start sees fewer compared
            // characters, so no match can follow.
            if (*t == '\0') {
                return nullptr;
            }
            if (rules.fold[Byte(*t)] != rules.fold[Byte(*p)]) {
                break;
            }
            last = t;
            ++t;
            ++p;
        }
        ++s;
    }
}

namespace {

// One search of the delimiter functions: options 0 is a plain case-sensitive search.
const char* FindDelimiter(const char* text, const char* pattern, int options,
                          const MatchRules& rules, const char** end)
{
    if (options == 0) {
        const char* found = std::strstr(text, pattern);
        if (found != nullptr) {
            *end = found + std::strlen(pattern);
        }
        return found;
    }
    return FindPattern(text, pattern, rules, end);
}

bool FollowedByCopy(const char* at, const char* pattern, int options, const MatchRules& rules,
                    const char** end)
{
    if (options == 0) {
        const size_t length = std::strlen(pattern);
        if (std::strncmp(at, pattern, length) != 0) {
            return false;
        }
        *end = at + length;
        return true;
    }
    return MatchAt(at, pattern, rules, end);
}

char* DelimitedContent(const char* text, const char* const* delimiters, char** content, char** next,
                       int16_t options, bool doubledCloseIsLiteral)
{
    // An empty opening delimiter would match everywhere without moving on; callers that
    // loop on the next position would never end, so it finds nothing.
    if (text == nullptr || delimiters == nullptr || delimiters[0] == nullptr ||
        delimiters[0][0] == '\0') {
        return nullptr;
    }
    const int opts = options & 7;
    const MatchRules& rules = OptionRules(opts);
    const char* contentStart = nullptr;
    const char* open = FindDelimiter(text, delimiters[0], opts, rules, &contentStart);
    if (open == nullptr) {
        return nullptr;
    }
    const char* close = delimiters[1];
    if (close == nullptr || close[0] == '\0') {
        if (next != nullptr) {
            *next = const_cast<char*>(contentStart);
        }
        return const_cast<char*>(open);
    }

    const char* from = contentStart;
    const char* closeBegin = nullptr;
    const char* closeEnd = nullptr;
    for (;;) {
        closeBegin = FindDelimiter(from, close, opts, rules, &closeEnd);
        if (closeBegin == nullptr) {
            return nullptr;
        }
        const char* pairEnd = nullptr;
        if (!doubledCloseIsLiteral || !FollowedByCopy(closeEnd, close, opts, rules, &pairEnd)) {
            break;
        }
        from = pairEnd;
    }

    if (content != nullptr) {
        const size_t length = static_cast<size_t>(closeBegin - contentStart);
        auto* block = static_cast<char*>(KV_Alloc(length + 5));
        if (block == nullptr) {
            return nullptr;
        }
        std::memcpy(block, contentStart, length);
        block[length] = '\0';
        *content = block;
    }
    if (next != nullptr) {
        *next = const_cast<char*>(closeEnd);
    }
    return const_cast<char*>(open);
}

} // namespace

} // namespace brio::scan

using brio::scan::FindPattern;

extern "C" {

char* GetSubStringContent(const char* text, const char* pattern, char** after, int16_t options)
{
    if (text == nullptr || pattern == nullptr || pattern[0] == '\0') {
        return nullptr;
    }
    const int opts = options & 7;
    const char* end = nullptr;
    const char* found = nullptr;
    if (opts == 0) {
        found = std::strstr(text, pattern);
        if (found != nullptr) {
            end = found + std::strlen(pattern);
        }
    } else {
        found = FindPattern(text, pattern, brio::scan::OptionRules(opts), &end);
    }
    if (found != nullptr && after != nullptr) {
        *after = const_cast<char*>(end);
    }
    return const_cast<char*>(found);
}

char* GetSubStringNoCrLf(const char* text, const char* pattern, char** after)
{
    return GetSubStringContent(text, pattern, after, MATCH_IGNORE_CRLF);
}

char* GetSubStringNoSpace(const char* text, const char* pattern, char** after)
{
    return GetSubStringContent(text, pattern, after, MATCH_IGNORE_BLANKS);
}

char* GetSubStringNoCase(const char* text, const char* pattern, char** after)
{
    return GetSubStringContent(text, pattern, after, MATCH_IGNORE_CASE);
}

char* FindNoCase(const char* text, const char* pattern, char ignore)
{
    if (text == nullptr || pattern == nullptr) {
        return nullptr;
    }
    const char* end = nullptr;
    return const_cast<char*>(FindPattern(text, pattern, brio::scan::NoCaseRules(ignore), &end));
}

char* GetDelimiterContent(const char* text, const char* const* delimiters, char** content,
                          char** next, int16_t options)
{
    return brio::scan::DelimitedContent(text, delimiters, content, next, options, false);
}

// The content keeps a doubled closing delimiter as it stands rather than starting after the
// pair: nothing of the value is dropped, it matches what GetDelimiterContent would return for
// the same span, and the reader may reduce the pairs itself.
char* GetDelimiterContentCmd(const char* text, const char* const* delimiters, char** content,
                             char** next, int16_t options)
{
    return brio::scan::DelimitedContent(text, delimiters, content, next, options, true);
}

} // extern "C"
