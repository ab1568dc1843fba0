// Line differences for previews. The edit script comes from the O(NP) algorithm of the dtl
// library, run on line numbers (each distinct line text gets one) between the common head and
// tail, which are cut off first: a run's changes are usually few and far apart.

#include "engine/TextDiff.h"

#include <algorithm>
#include <dtl/dtl.hpp>
#include <unordered_map>

namespace wendo {

namespace {

constexpr std::size_t kContext = 3;

std::string_view LineText(std::string_view text, const DiffLine& line)
{
    return text.substr(line.offset, line.size);
}

// C-style quoting as patch and git read it, for names that would otherwise be cut or misread.
std::string QuotedName(std::string_view prefix, std::string_view name)
{
    const bool plain = std::none_of(name.begin(), name.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7f || c == '"' || c == '\\' || c == ' ';
    });
    std::string out;
    if (plain) {
        out.append(prefix).append(name);
        return out;
    }
    out += '"';
    out.append(prefix);
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (b < 0x20 || b == 0x7f) {
                const char octal[] = {'\\', static_cast<char>('0' + (b >> 6)),
                                      static_cast<char>('0' + ((b >> 3) & 7)),
                                      static_cast<char>('0' + (b & 7)), '\0'};
                out += octal;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

// "start,count" of a hunk header; a hunk of no lines names the line before it.
std::string Range(std::size_t start, std::size_t count)
{
    if (count == 1) {
        return std::to_string(start + 1);
    }
    return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

void AppendLine(std::string& out, char mark, std::string_view line)
{
    out += mark;
    out.append(line);
    if (line.empty() || line.back() != '\n') {
        out += "\n\\ No newline at end of file\n";
    }
}

} // namespace

std::vector<DiffLine> SplitLines(std::string_view text)
{
    std::vector<DiffLine> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find('\n', from);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back({from, next - from});
        from = next;
    }
    return lines;
}

bool HoldsNul(std::string_view text)
{
    return text.find('\0') != std::string_view::npos;
}

std::vector<DiffBlock> DiffTexts(std::string_view oldText, const std::vector<DiffLine>& oldLines,
                                 std::string_view newText, const std::vector<DiffLine>& newLines)
{
    auto same = [&](std::size_t o, std::size_t n) {
        return LineText(oldText, oldLines[o]) == LineText(newText, newLines[n]);
    };
    std::size_t head = 0;
    while (head < oldLines.size() && head < newLines.size() && same(head, head)) {
        ++head;
    }
    std::size_t oldEnd = oldLines.size();
    std::size_t newEnd = newLines.size();
    while (oldEnd > head && newEnd > head && same(oldEnd - 1, newEnd - 1)) {
        --oldEnd;
        --newEnd;
    }
    std::vector<DiffBlock> blocks;
    if (head == oldEnd && head == newEnd) {
        return blocks;
    }

    // The kind of each step of the edit script between the head and the tail.
    std::vector<int> steps;
    if (head == oldEnd || head == newEnd) {
        steps.assign(oldEnd - head, dtl::SES_DELETE);
        steps.insert(steps.end(), newEnd - head, dtl::SES_ADD);
    } else {
        std::unordered_map<std::string_view, int> ids;
        auto number = [&ids](std::string_view text, const DiffLine& line) {
            return ids.emplace(LineText(text, line), static_cast<int>(ids.size())).first->second;
        };
        std::vector<int> a;
        std::vector<int> b;
        a.reserve(oldEnd - head);
        b.reserve(newEnd - head);
        for (std::size_t i = head; i < oldEnd; ++i) {
            a.push_back(number(oldText, oldLines[i]));
        }
        for (std::size_t i = head; i < newEnd; ++i) {
            b.push_back(number(newText, newLines[i]));
        }
        dtl::Diff<int> diff(a, b);
        diff.compose();
        for (const auto& step : diff.getSes().getSequence()) {
            steps.push_back(step.second.type);
        }
    }

    std::size_t o = head;
    std::size_t n = head;
    DiffBlock block{o, 0, n, 0};
    auto close = [&] {
        if (block.oldCount > 0 || block.newCount > 0) {
            blocks.push_back(block);
        }
        block = DiffBlock{o, 0, n, 0};
    };
    for (const int step : steps) {
        if (step == dtl::SES_COMMON) {
            ++o;
            ++n;
            close();
        } else if (step == dtl::SES_DELETE) {
            ++o;
            ++block.oldCount;
        } else {
            ++n;
            ++block.newCount;
        }
    }
    close();
    return blocks;
}

std::string UnifiedDiff(std::string_view name, std::string_view oldText, std::string_view newText)
{
    const std::vector<DiffLine> oldLines = SplitLines(oldText);
    const std::vector<DiffLine> newLines = SplitLines(newText);
    const std::vector<DiffBlock> blocks = DiffTexts(oldText, oldLines, newText, newLines);
    if (blocks.empty()) {
        return {};
    }
    const bool absolute = !name.empty() && name.front() == '/';
    std::string out = "--- " + QuotedName(absolute ? "" : "a/", name) + "\n+++ " +
                      QuotedName(absolute ? "" : "b/", name) + "\n";
    std::size_t first = 0;
    while (first < blocks.size()) {
        // Blocks whose context would touch or overlap go into one hunk.
        std::size_t last = first;
        while (last + 1 < blocks.size() &&
               blocks[last + 1].oldStart - (blocks[last].oldStart + blocks[last].oldCount) <=
                   2 * kContext) {
            ++last;
        }
        const DiffBlock& a = blocks[first];
        const DiffBlock& z = blocks[last];
        const std::size_t before = std::min(kContext, a.oldStart);
        const std::size_t oldFrom = a.oldStart - before;
        const std::size_t newFrom = a.newStart - before;
        const std::size_t after = std::min(kContext, oldLines.size() - (z.oldStart + z.oldCount));
        const std::size_t oldTo = z.oldStart + z.oldCount + after;
        const std::size_t newTo = z.newStart + z.newCount + after;
        out += "@@ -" + Range(oldFrom, oldTo - oldFrom) + " +" + Range(newFrom, newTo - newFrom) +
               " @@\n";
        std::size_t o = oldFrom;
        for (std::size_t i = first; i <= last; ++i) {
            const DiffBlock& b = blocks[i];
            for (; o < b.oldStart; ++o) {
                AppendLine(out, ' ', LineText(oldText, oldLines[o]));
            }
            for (std::size_t k = 0; k < b.oldCount; ++k, ++o) {
                AppendLine(out, '-', LineText(oldText, oldLines[o]));
            }
            for (std::size_t k = 0; k < b.newCount; ++k) {
                AppendLine(out, '+', LineText(newText, newLines[b.newStart + k]));
            }
        }
        for (; o < oldTo; ++o) {
            AppendLine(out, ' ', LineText(oldText, oldLines[o]));
        }
        first = last + 1;
    }
    return out;
}

} // namespace wendo
