// CKVRegExp: a small backtracking regular-expression engine with the classic syntax.
//
//   .        any character          [abc] [a-z]  a character of the set
//   *  +  ?  repeat the atom before  [^abc]       a character not in the set
//   ^  $     start and end of text   ( )          a group, \1 to \9 in replacements
//   a|b      either branch           \c           the character c (\n \t \r: control codes)
//
// Repetition is greedy and branches are tried left to right; RegFind returns the leftmost
// match. A pattern is compiled to a small program whose states are run with a memory of the
// states already tried, so no pattern takes more than (program length x text length) steps
// and no input can exhaust the stack. Characters are bytes; matching is case-sensitive.
// One object is used by one thread at a time.
#pragma once

#include "tessel/tessel_api.h"

#include <memory>

class TESSEL_API CKVRegExp
{
public:
    CKVRegExp();
    ~CKVRegExp();
    CKVRegExp(CKVRegExp&&) noexcept;
    CKVRegExp& operator=(CKVRegExp&&) noexcept;
    CKVRegExp(const CKVRegExp&) = delete;
    CKVRegExp& operator=(const CKVRegExp&) = delete;

    // Compiles the pattern; 1 on success, 0 on a syntax error (GetErrorText says which) or a
    // NULL pattern. A failed compile leaves no pattern: RegFind then finds nothing.
    int RegComp(const char* pattern);
    // Position of the first match in text, or -1 (also for NULL, no compiled pattern, or a
    // text too long to search). The text is copied for GetReplaceString.
    int RegFind(const char* text);
    // Length of the last match found; -1 when the last RegFind found none.
    int GetFindLen() const;
    // A new string from the template in which "&" stands for the whole match, a backslash
    // and a digit n for group n (0 is the whole match), and a backslash before "&" or a
    // backslash for that character. A group that took no part in the match gives nothing.
    // The block comes from KV_Alloc; the caller releases it with KV_Free. NULL when the last
    // RegFind found nothing or the template is NULL.
    char* GetReplaceString(const char* replaceTemplate) const;

    // The last compile error in words; empty after a successful compile.
    const char* GetErrorText() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
