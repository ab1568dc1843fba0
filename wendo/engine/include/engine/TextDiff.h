// Line differences between the text of a file and the text a run would write in its place,
// for previews: a unified diff that patch applies byte for byte, and the change blocks that a
// side-by-side view marks. Texts are bytes; a line keeps its line end, so a last line without
// one differs from the same line with one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wendo {

// One line of either text.
struct DiffLine
{
    std::size_t offset = 0; // where the line begins in its text
    std::size_t size = 0;   // with its line end, if it has one
};

// Lines of text; the last one may lack its "\n".
std::vector<DiffLine> SplitLines(std::string_view text);

// A run of lines that differ: oldCount lines of the old text from oldStart are replaced by
// newCount lines of the new text from newStart (0-based line indexes; a count may be 0).
struct DiffBlock
{
    std::size_t oldStart = 0;
    std::size_t oldCount = 0;
    std::size_t newStart = 0;
    std::size_t newCount = 0;
};

// The change blocks that turn oldLines into newLines, in order, separated by unchanged lines.
std::vector<DiffBlock> DiffTexts(std::string_view oldText, const std::vector<DiffLine>& oldLines,
                                 std::string_view newText, const std::vector<DiffLine>& newLines);

// A byte 0 in either text: a preview says only that the file would change.
bool HoldsNul(std::string_view text);

// The unified diff of the two texts with three lines of context, headed "--- a/NAME" and
// "+++ b/NAME", or "--- NAME" and "+++ NAME" for an absolute NAME (a name holding blanks,
// quotes or control bytes is quoted, C style); empty when the texts are equal.
std::string UnifiedDiff(std::string_view name, std::string_view oldText, std::string_view newText);

} // namespace wendo
