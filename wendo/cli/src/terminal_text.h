// Text from files and file names made safe to print: a name may hold any byte but the
// separator, and a terminal must neither run an escape sequence from it nor see a line split.
#pragma once

#include <string>
#include <string_view>

namespace wendo::cli {

// text with control characters (C0, DEL, C1), bytes that are not UTF-8, backslashes and double
// quotes escaped as in C (\n, \x1b, \u009b, \\, \"); valid UTF-8 otherwise unchanged.
std::string ForTerminal(std::string_view text);

// text cut to at most its last width bytes (with "..." in front), never inside a character.
std::string LastPart(const std::string& text, std::size_t width);

} // namespace wendo::cli
