// wendo-run --check: loads a command file as the desktop program opens it and prints what the
// document holds, as one JSON object.
#pragma once

#include <iosfwd>
#include <string>

namespace wendo::cli {

// The --check part of --help.
extern const char* const kCheckModeHelp;

// How a command that cannot be parsed is answered.
enum class ReadErrorAnswer
{
    AskOrNo, // ask on the terminal when one is attached, else No
    Yes,
};

// Loads the command file at path (a native path) and writes the JSON object to out; questions
// and the load failure go to err, answers come from the terminal. Returns 0 when it loaded, 2 when
// it did not, 1 when out could not be written.
int RunCheckMode(const std::string& path, ReadErrorAnswer answer, bool terminal, std::ostream& out,
                 std::ostream& err);

} // namespace wendo::cli
