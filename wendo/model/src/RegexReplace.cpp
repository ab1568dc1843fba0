#include "model/RegexReplace.h"

#include "model/ParseCmd.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <algorithm>
#include <chrono>
#include <pcre2.h>
#include <vector>

namespace wendo {

namespace {

using Clock = std::chrono::steady_clock;

// Each attempt at one start position may take this many matcher steps, or four per byte of
// the text when that is more (a lazy scan across a whole large file is legitimate work).
constexpr uint32_t kMinMatchLimit = 5'000'000;
// The heap the interpreter may take for its backtracking frames, in KiB, and the JIT's stack.
constexpr uint32_t kHeapLimitKiB = 256 * 1024;
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 64 * 1024 * 1024;
// Searches of one text end after half a second plus a quarter of a microsecond per byte: many
// attempts that each stay below the step limit must not add up to a hang either.
constexpr auto kBaseBudget = std::chrono::milliseconds(500);
constexpr auto kBudgetPerKiB = std::chrono::microseconds(256);
// The clock is read at every this many attempts.
constexpr uint32_t kAttemptsPerClockRead = 16;
// Our own callout, placed before the pattern so that it runs once per attempt.
constexpr uint32_t kGuardCallout = 255;

struct CodeDeleter
{
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter
{
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter
{
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct CompileContextDeleter
{
    void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct JitStackDeleter
{
    void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};
using Code = std::unique_ptr<pcre2_code, CodeDeleter>;

// A run of literal bytes, then the first group of the list that took part in the match.
struct Piece
{
    std::string literal;
    std::vector<uint32_t> groups;
};

std::string ErrorMessage(int code)
{
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
    return length > 0 ? std::string(reinterpret_cast<const char*>(buffer),
                                    static_cast<std::size_t>(length))
                      : std::string("unknown error");
}

Code CompileText(std::string_view pattern, bool caseSensitive, int& error, PCRE2_SIZE& offset)
{
    std::unique_ptr<pcre2_compile_context, CompileContextDeleter> context(
        pcre2_compile_context_create(nullptr));
    if (!context) {
        error = PCRE2_ERROR_NOMEMORY;
        offset = 0;
        return nullptr;
    }
    // A lone LF ends a line whatever the library was built with; \R keeps its own meaning.
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
    uint32_t options = PCRE2_MULTILINE | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP;
    if (!caseSensitive) {
        options |= PCRE2_CASELESS;
    }
    return Code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options,
                              &error, &offset, context.get()));
}

uint32_t CaptureCount(const pcre2_code* code)
{
    uint32_t count = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &count);
    return count;
}

// The pattern with the guard callout before it, so that the callout runs at the start of
// every attempt, also of later alternatives. Verbs such as (*CRLF) or (*LIMIT_MATCH=n) must
// stay first. A pattern may end inside \Q... or an extended-mode comment, hence the two
// closings; null when neither compiles to the same groups (the step limit still holds).
Code CompileGuarded(std::string_view pattern, bool caseSensitive, uint32_t captures)
{
    std::size_t verbs = 0;
    while (pattern.substr(verbs, 2) == "(*") {
        const std::size_t close = pattern.find(')', verbs);
        if (close == std::string_view::npos) {
            break;
        }
        verbs = close + 1;
    }
    const std::string head = std::string(pattern.substr(0, verbs)) + "(?C" +
                             std::to_string(kGuardCallout) +
                             ")(?:" + std::string(pattern.substr(verbs));
    for (const char* closing : {"\\E)", "\n)"}) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        Code code = CompileText(head + closing, caseSensitive, error, offset);
        if (code && CaptureCount(code.get()) == captures) {
            return code;
        }
    }
    return nullptr;
}

bool IsNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The groups a ${name} reference stands for (several when the pattern allows duplicate
// names); empty when the pattern has no group of that name.
std::vector<uint32_t> GroupsNamed(const pcre2_code* code, const std::string& name)
{
    PCRE2_SPTR first = nullptr;
    PCRE2_SPTR last = nullptr;
    const int size = pcre2_substring_nametable_scan(
        code, reinterpret_cast<PCRE2_SPTR>(name.c_str()), &first, &last);
    std::vector<uint32_t> groups;
    if (size <= 0) {
        return groups;
    }
    for (PCRE2_SPTR entry = first; entry <= last; entry += size) {
        groups.push_back(static_cast<uint32_t>((entry[0] << 8) | entry[1]));
    }
    return groups;
}

// Cuts the replacement into pieces; false with the problem when it names a group the
// pattern does not have.
bool ParseReplacement(std::string_view text, const pcre2_code* code, std::vector<Piece>& pieces,
                      RegexProblem& problem)
{
    const uint32_t captures = CaptureCount(code);
    Piece piece;
    const auto refuse = [&](std::size_t at, const std::string& what) {
        problem.message = "the replacement refers to " + what + ", which the pattern does not have";
        problem.offset = at;
        problem.inReplacement = true;
        return false;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '$' || i + 1 >= text.size()) {
            piece.literal += c;
            ++i;
            continue;
        }
        const char next = text[i + 1];
        std::vector<uint32_t> groups;
        std::size_t end = i;
        if (next == '$') {
            piece.literal += '$';
            i += 2;
            continue;
        }
        if (IsDigit(next)) {
            uint32_t number = static_cast<uint32_t>(next - '0');
            end = i + 2;
            if (end < text.size() && IsDigit(text[end])) {
                number = number * 10 + static_cast<uint32_t>(text[end] - '0');
                ++end;
            }
            if (number > captures) {
                return refuse(i, "group " + std::to_string(number));
            }
            groups.push_back(number);
        } else if (next == '{') {
            const std::size_t close = text.find('}', i + 2);
            const std::string_view inside = close == std::string_view::npos
                                                ? std::string_view()
                                                : text.substr(i + 2, close - i - 2);
            if (!inside.empty() && std::all_of(inside.begin(), inside.end(), IsDigit) &&
                inside.size() <= 5) {
                const auto number = static_cast<uint32_t>(std::stoul(std::string(inside)));
                if (number > captures) {
                    return refuse(i, "group " + std::to_string(number));
                }
                groups.push_back(number);
            } else if (!inside.empty() && IsNameStart(inside.front()) &&
                       std::all_of(inside.begin(), inside.end(),
                                   [](char n) { return IsNameStart(n) || IsDigit(n); })) {
                groups = GroupsNamed(code, std::string(inside));
                if (groups.empty()) {
                    return refuse(i, "a group named " + std::string(inside));
                }
            }
            end = close + 1;
        }
        if (groups.empty()) {
            piece.literal += c; // "$" before anything else is itself
            ++i;
            continue;
        }
        piece.groups = std::move(groups);
        pieces.push_back(std::move(piece));
        piece = Piece();
        i = end;
    }
    if (!piece.literal.empty()) {
        pieces.push_back(std::move(piece));
    }
    return true;
}

} // namespace

struct RegexReplace::Impl
{
    Code code;
    std::vector<Piece> pieces;
    // Matching state, made only for runs.
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data;
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> context;
    std::unique_ptr<pcre2_jit_stack, JitStackDeleter> stack;
    // The text's time budget; read and written by the guard callout during Find.
    Clock::time_point deadline;
    uint32_t attempts = 0;
    bool overBudget = false;

    static int Guard(pcre2_callout_block* block, void* self)
    {
        auto& impl = *static_cast<Impl*>(self);
        if (block->callout_number != kGuardCallout ||
            ++impl.attempts % kAttemptsPerClockRead != 0 || Clock::now() < impl.deadline) {
            return 0;
        }
        impl.overBudget = true;
        return PCRE2_ERROR_CALLOUT;
    }
};

RegexReplace::RegexReplace(std::unique_ptr<Impl> impl) : m_impl(std::move(impl))
{
}

RegexReplace::~RegexReplace() = default;

std::unique_ptr<RegexReplace> RegexReplace::Compile(std::string_view pattern,
                                                    std::string_view replacement,
                                                    bool caseSensitive, bool forRuns,
                                                    RegexProblem& problem)
{
    problem = RegexProblem();
    if (pattern.empty()) {
        problem.message = "the pattern is empty";
        return nullptr;
    }
    int error = 0;
    PCRE2_SIZE offset = 0;
    auto impl = std::make_unique<Impl>();
    impl->code = CompileText(pattern, caseSensitive, error, offset);
    if (!impl->code) {
        problem.message = ErrorMessage(error);
        problem.offset = offset;
        return nullptr;
    }
    if (!ParseReplacement(replacement, impl->code.get(), impl->pieces, problem)) {
        return nullptr;
    }
    if (forRuns) {
        if (Code guarded = CompileGuarded(pattern, caseSensitive, CaptureCount(impl->code.get()))) {
            impl->code = std::move(guarded);
        }
        pcre2_jit_compile(impl->code.get(), PCRE2_JIT_COMPLETE); // the interpreter otherwise
        impl->data.reset(pcre2_match_data_create_from_pattern(impl->code.get(), nullptr));
        impl->context.reset(pcre2_match_context_create(nullptr));
        impl->stack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
        if (!impl->data || !impl->context) {
            problem.message = ErrorMessage(PCRE2_ERROR_NOMEMORY);
            return nullptr;
        }
        if (impl->stack) {
            pcre2_jit_stack_assign(impl->context.get(), nullptr, impl->stack.get());
        }
        pcre2_set_heap_limit(impl->context.get(), kHeapLimitKiB);
        pcre2_set_callout(impl->context.get(), &Impl::Guard, impl.get());
    }
    return std::unique_ptr<RegexReplace>(new RegexReplace(std::move(impl)));
}

std::unique_ptr<RegexReplace> RegexReplace::Compile(const CParseCmd& command, bool forRuns,
                                                    RegexProblem& problem)
{
    return Compile(command.Delimiter1.value_or(std::string()),
                   command.Value.value_or(std::string()), (command.Flags & CmdFlag::CASESENS) != 0,
                   forRuns, problem);
}

void RegexReplace::StartText(std::size_t length)
{
    Impl& impl = *m_impl;
    if (!impl.context) {
        return;
    }
    const std::size_t perByte = std::min<std::size_t>(length, UINT32_MAX / 4) * 4;
    pcre2_set_match_limit(impl.context.get(),
                          static_cast<uint32_t>(std::max<std::size_t>(kMinMatchLimit, perByte)));
    impl.deadline = Clock::now() + kBaseBudget + kBudgetPerKiB * (length / 1024);
    impl.attempts = 0;
    impl.overBudget = false;
}

RegexReplace::Search RegexReplace::Find(const char* subject, std::size_t length, std::size_t from,
                                        bool notEmptyAtFrom)
{
    Impl& impl = *m_impl;
    if (!impl.data) {
        return Search::Failed;
    }
    // An unanchored search that refuses an empty match at its start finds what perl's s///g
    // takes after an empty match: a non-empty match there, or any match further on.
    const int rc = pcre2_match(impl.code.get(), reinterpret_cast<PCRE2_SPTR>(subject), length, from,
                               notEmptyAtFrom ? PCRE2_NOTEMPTY_ATSTART : 0, impl.data.get(),
                               impl.context.get());
    if (rc >= 0) {
        // \K inside a lookahead could end a match before its start; the library refuses such
        // patterns by default, and a match of that kind is never taken.
        return MatchEnd() >= MatchStart() ? Search::Found : Search::Failed;
    }
    if (impl.overBudget) {
        return Search::TooComplex;
    }
    switch (rc) {
    case PCRE2_ERROR_NOMATCH:
        return Search::NotFound;
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
        return Search::TooComplex;
    default:
        return Search::Failed;
    }
}

std::size_t RegexReplace::MatchStart() const
{
    return pcre2_get_ovector_pointer(m_impl->data.get())[0];
}

std::size_t RegexReplace::MatchEnd() const
{
    return pcre2_get_ovector_pointer(m_impl->data.get())[1];
}

void RegexReplace::Expand(const char* subject, std::string& out) const
{
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(m_impl->data.get());
    const uint32_t pairs = pcre2_get_ovector_count(m_impl->data.get());
    for (const Piece& piece : m_impl->pieces) {
        out += piece.literal;
        for (const uint32_t group : piece.groups) {
            if (group < pairs && vector[2 * group] != PCRE2_UNSET) {
                out.append(subject + vector[2 * group], vector[2 * group + 1] - vector[2 * group]);
                break;
            }
        }
    }
}

std::optional<RegexProblem> FindRegexProblem(const CParseCmd& command)
{
    if ((command.Flags & CmdFlag::REGEX) == 0 || command.Type != CmdType::FINDREPL) {
        return std::nullopt;
    }
    RegexProblem problem;
    if (RegexReplace::Compile(command, false, problem)) {
        return std::nullopt;
    }
    return problem;
}

std::string DescribeRegexProblem(const RegexProblem& problem)
{
    return problem.message + " (" + (problem.inReplacement ? "replacement" : "pattern") +
           ", offset " + std::to_string(problem.offset) + ")";
}

std::string ErrorTextWithRegexProblem(const CParseCmd& command)
{
    std::string text = command.ErrorText;
    if (command.ErrorText == CParseCmd::kErrBadRegex) {
        if (const auto problem = FindRegexProblem(command)) {
            text += DescribeRegexProblem(*problem) + "\n";
        }
    }
    return text;
}

} // namespace wendo
