// The compiled form of a REGEX command: its pattern (DELIMITER) and its replacement (VALUE).
//
// Patterns work on bytes, never on UTF-8: files are 8-bit text. They are multi-line (^ and $
// at every line feed), a line end is a lone LF, and without CASESENS they ignore the case of
// ASCII letters. The replacement writes $0 or ${0} for the whole match, $1 to $99 and ${N}
// for numbered groups, ${name} for named groups and $$ for a dollar; every other character is
// itself. A group that did not take part in the match writes nothing.
//
// Matching is bounded: a single attempt that backtracks too far, and a search of one text
// that takes far longer than its size calls for, both end as TooComplex instead of hanging.
//
// Threads: a compiled command keeps the state of its last search, so one object is used by
// one thread at a time; distinct objects may search on different threads.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace wendo {

class CParseCmd;

// Why a pattern or a replacement was refused: the compiler's own words and the byte offset
// in the text it refers to.
struct RegexProblem
{
    std::string message;
    std::size_t offset = 0;
    bool inReplacement = false; // offset counts in VALUE; otherwise in DELIMITER
};

class RegexReplace
{
public:
    enum class Search
    {
        Found,
        NotFound,
        TooComplex, // a matcher limit or the text's time budget was exceeded
        Failed      // anything else the matcher reports (no memory)
    };

    // Compiles a pattern and its replacement. With forRuns the pattern is also made ready for
    // fast, bounded matching (JIT where the machine has one); without, it is only checked.
    // Null, with the reason in problem, when either is refused.
    static std::unique_ptr<RegexReplace> Compile(std::string_view pattern,
                                                 std::string_view replacement, bool caseSensitive,
                                                 bool forRuns, RegexProblem& problem);
    // The same for a command's DELIMITER and VALUE (an absent VALUE deletes each match).
    static std::unique_ptr<RegexReplace> Compile(const CParseCmd& command, bool forRuns,
                                                 RegexProblem& problem);

    RegexReplace(const RegexReplace&) = delete;
    RegexReplace& operator=(const RegexReplace&) = delete;
    ~RegexReplace();

    // Starts the time budget for the searches of one text of this many bytes.
    void StartText(std::size_t length);
    // The leftmost match in subject[0, length) that starts at or after from. With
    // notEmptyAtFrom an empty match at from does not count and a non-empty one must start
    // at from (how an empty match is stepped over). Text before from is context only.
    Search Find(const char* subject, std::size_t length, std::size_t from, bool notEmptyAtFrom);
    // The last match found.
    std::size_t MatchStart() const;
    std::size_t MatchEnd() const;
    // Appends the replacement of the last match of subject to out.
    void Expand(const char* subject, std::string& out) const;

    // The message of the last Find that did not end Found or NotFound.
    static constexpr std::string_view kTooComplex = "Regular expression too complex";

private:
    struct Impl;
    explicit RegexReplace(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

// Why a REGEX command's pattern or replacement is refused; nothing when both are sound or the
// command is not a REGEX command.
std::optional<RegexProblem> FindRegexProblem(const CParseCmd& command);
// The reason as a person reads it beside the command's error, on one line.
std::string DescribeRegexProblem(const RegexProblem& problem);
// The command's error text followed by that line when its pattern or replacement is refused.
std::string ErrorTextWithRegexProblem(const CParseCmd& command);

} // namespace wendo
