// FINDREPL and FINDREPL_KEEPCONTENT: replace every text between two delimiters (FINDREPL
// with REGEX is in RegexCommand.cpp). Worker thread only.

#include "brio/scan.h"
#include "engine/ParseProcess.h"
#include "model/ParseCmd.h"
#include "model/WendoDoc.h"
#include "mosk/mosk.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace wendo {

namespace {

constexpr std::string_view kContentMark = "$CONTENT";

int16_t MatchOptions(uint32_t flags)
{
    int16_t options = 0;
    if ((flags & CmdFlag::CASESENS) == 0) {
        options |= MATCH_IGNORE_CASE;
    }
    if ((flags & CmdFlag::NOSKIPCRLF) != 0) {
        options |= MATCH_IGNORE_CRLF;
    }
    if ((flags & CmdFlag::CHARONLY) != 0) {
        options |= MATCH_IGNORE_CRLF | MATCH_IGNORE_BLANKS;
    }
    return options;
}

// The value cut at each "$CONTENT", found once per command rather than once per match.
std::vector<std::string_view> SplitAtContentMark(std::string_view value)
{
    std::vector<std::string_view> pieces;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = value.find(kContentMark, from);
        if (at == std::string_view::npos) {
            pieces.push_back(value.substr(from));
            return pieces;
        }
        pieces.push_back(value.substr(from, at - from));
        from = at + kContentMark.size();
    }
}

// Owns a content block of GetDelimiterContent.
struct ContentBlock
{
    char* text = nullptr;
    ContentBlock() = default;
    ContentBlock(const ContentBlock&) = delete;
    ContentBlock& operator=(const ContentBlock&) = delete;
    ~ContentBlock() { KV_Free(text); }
};

} // namespace

int CParseProcess::ReplaceBetweenDelimiters(bool keepContent, const CParseCmd& command)
{
    if (!keepContent && (command.Flags & CmdFlag::REGEX) != 0) {
        return ReplaceByRegex(command);
    }
    // An empty opening delimiter matches everywhere without moving on: it never matches.
    if (!command.Delimiter1 || command.Delimiter1->empty()) {
        return 0;
    }
    RestBuffer buffer;
    if (!ReadRest(buffer)) {
        return 0;
    }
    const char* delimiters[2] = {command.Delimiter1->c_str(),
                                 command.Delimiter2 ? command.Delimiter2->c_str() : nullptr};
    const int16_t options = MatchOptions(command.Flags);
    const std::string_view value = command.Value ? std::string_view(*command.Value) : "";
    const std::vector<std::string_view> pieces = SplitAtContentMark(value);
    const bool once = (command.Flags & CmdFlag::ONCE) != 0;
    const bool write = !DryRun();

    char* segment = buffer.data;
    bool replaced = false;
    std::uint32_t matches = 0;
    for (;;) {
        ContentBlock content;
        char* next = nullptr;
        char* open = GetDelimiterContent(segment, delimiters, keepContent ? &content.text : nullptr,
                                         &next, options);
        // A match always ends after the segment start; anything else would never move on.
        if (open == nullptr || next == nullptr || next <= segment) {
            break;
        }
        const int lines = RegionLines(segment, next);
        m_lineNumber += lines;
        if (BeyondRegion()) {
            m_lineNumber -= lines;
            break;
        }
        if (write) {
            m_output.Write(segment, static_cast<std::size_t>(open - segment));
            if (content.text == nullptr) {
                m_output.Write(value);
            } else {
                const std::string_view inner(content.text);
                for (std::size_t i = 0; i < pieces.size(); ++i) {
                    if (i > 0) {
                        m_output.Write(inner);
                    }
                    m_output.Write(pieces[i]);
                }
            }
        }
        CountChange();
        replaced = true;
        segment = next;
        if (once || (++matches % kMatchesPerStopCheck == 0 && StopInFile())) {
            break;
        }
    }
    m_inputPos += segment - buffer.data;
    return replaced ? 1 : 0;
}

} // namespace wendo
