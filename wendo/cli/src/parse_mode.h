// wendo-run --parse: the command language checker. Reads command lines and prints what each
// parses to, one JSON object per line.
#pragma once

#include <iosfwd>
#include <string>

namespace wendo::cli {

// The --parse part of --help.
extern const char* const kParseModeHelp;

// Parses every command line of the file at path (a native path) and writes one JSON object per
// non-blank line to out. Returns the exit status: 0 when the file was read (commands in error
// included), 2 when it cannot be read (message on err), 1 when out could not be written.
int RunParseMode(const std::string& path, std::ostream& out, std::ostream& err);

} // namespace wendo::cli
