// FINDREPL with REGEX: replace every match of a regular expression. Worker thread only.
//
// The matches are taken as perl's s///g takes them: left to right, each search starting where
// the last match ended, and after an empty match a second empty match at the same place does
// not count. The line region, the pipeline along the file and the counting are those of the
// other text commands.

#include "engine/ParseProcess.h"
#include "model/ParseCmd.h"
#include "model/RegexReplace.h"

#include <algorithm>
#include <cstring>

namespace wendo {

namespace {

constexpr std::string_view kRegexFailed = "Regular expression failed";

} // namespace

RegexReplace* CParseProcess::CompiledRegex(const CParseCmd& command)
{
    auto entry = std::find_if(m_regexes.begin(), m_regexes.end(),
                              [&](const RegexEntry& e) { return e.command == &command; });
    if (entry != m_regexes.end() && entry->text == command.Text) {
        return entry->regex.get();
    }
    if (entry == m_regexes.end()) {
        entry = m_regexes.insert(m_regexes.end(), RegexEntry{&command, {}, nullptr});
    }
    RegexProblem problem;
    entry->text = command.Text;
    entry->regex = RegexReplace::Compile(command, true, problem);
    return entry->regex.get();
}

int CParseProcess::ReplaceByRegex(const CParseCmd& command)
{
    RegexReplace* regex = CompiledRegex(command);
    if (regex == nullptr) {
        SetError(CParseCmd::kErrBadRegex);
        return 0;
    }
    // The whole input is read so that lookbehinds, \b and ^ see the text before the read
    // position; matches start at the read position or later.
    RestBuffer buffer;
    if (!ReadInput(buffer, 0)) {
        return 0;
    }
    const char* text = buffer.data;
    const std::size_t start = std::min(static_cast<std::size_t>(m_inputPos), buffer.size);
    // As for every text command, the text ends at the first NUL byte after the read position.
    const std::size_t length = start + std::strlen(text + start);
    regex->StartText(length - start);
    const bool once = (command.Flags & CmdFlag::ONCE) != 0;
    const bool write = !DryRun();

    std::size_t segment = start;
    std::size_t from = start;
    bool afterEmpty = false;
    bool replaced = false;
    for (;;) {
        const RegexReplace::Search found = regex->Find(text, length, from, afterEmpty);
        if (found == RegexReplace::Search::NotFound) {
            break;
        }
        if (found != RegexReplace::Search::Found) {
            SetError(found == RegexReplace::Search::TooComplex ? RegexReplace::kTooComplex
                                                               : kRegexFailed);
            return 0;
        }
        const std::size_t matchStart = regex->MatchStart();
        const std::size_t matchEnd = regex->MatchEnd();
        const int lines = RegionLines(text + segment, text + matchEnd);
        m_lineNumber += lines;
        if (BeyondRegion()) {
            m_lineNumber -= lines;
            break;
        }
        if (write) {
            m_output.Write(text + segment, matchStart - segment);
            m_replacement.clear();
            regex->Expand(text, m_replacement);
            m_output.Write(m_replacement);
        }
        CountChange();
        replaced = true;
        segment = matchEnd;
        if (once) {
            break;
        }
        from = matchEnd;
        afterEmpty = matchStart == matchEnd;
    }
    m_inputPos = static_cast<int64_t>(segment);
    return replaced ? 1 : 0;
}

} // namespace wendo
